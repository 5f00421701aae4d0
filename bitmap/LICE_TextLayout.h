#pragma once
// Lines, widths and positions of a text inside a rectangle, shared by every way of drawing it.

#include "bitmap/LICE_Rect.h"

#include <functional>
#include <vector>

struct LICE_TextLine {
  int begin;  // first character
  int end;    // one past the last character
  int width;  // pixels
};

class LICE_TextLayout {
public:
  // Splits at '\n' (unless LICE_TEXT_SINGLE_LINE is in flags, which drops breaks) and measures
  // each line with advance(character). '\r' takes no room.
  LICE_TextLayout(const char32_t* chars, int count, int flags, int lineHeight, int lineSpacing,
                  const std::function<int(char32_t)>& advance);

  const std::vector<LICE_TextLine>& Lines() const { return mLines; }
  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  // Top-left pen position of line i inside rect, by the alignment in flags.
  // 64-bit, since rectangles near the ends of the int range may put text beyond them.
  long long LineX(int i, const LICE_Rect& rect) const;
  long long LineY(int i, const LICE_Rect& rect) const {
    return rect.T + static_cast<long long>(i) * (mLineHeight + mLineSpacing);
  }
  // Sets rect's right and bottom so it just holds the text (saturating at the int range).
  void Measure(LICE_Rect* rect) const;

  static bool Skipped(char32_t c) { return c == U'\n' || c == U'\r'; }

private:
  std::vector<LICE_TextLine> mLines;
  int mWidth = 0;
  int mHeight = 0;
  int mLineHeight;
  int mLineSpacing;
  int mFlags;
};
