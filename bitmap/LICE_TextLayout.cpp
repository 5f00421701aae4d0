#include "bitmap/LICE_TextLayout.h"

#include "bitmap/LICE_TextFlags.h"

#include <algorithm>
#include <climits>

LICE_TextLayout::LICE_TextLayout(const char32_t* chars, int count, int flags, int lineHeight, int lineSpacing,
                                 const std::function<int(char32_t)>& advance)
    : mLineHeight(lineHeight), mLineSpacing(lineSpacing), mFlags(flags) {
  const bool singleLine = (flags & LICE_TEXT_SINGLE_LINE) != 0;
  // Sums saturate: a pathological text must not wrap around to a small size.
  constexpr long long kLimit = INT_MAX / 4;
  LICE_TextLine line{0, 0, 0};
  long long width = 0;
  for (int i = 0; i < count; ++i) {
    const char32_t c = chars[i];
    if (c == U'\n' && !singleLine) {
      line.end = i;
      line.width = static_cast<int>(width);
      mLines.push_back(line);
      line = LICE_TextLine{i + 1, i + 1, 0};
      width = 0;
      continue;
    }
    if (!Skipped(c)) width = std::min(kLimit, width + advance(c));
  }
  line.end = count;
  line.width = static_cast<int>(width);
  mLines.push_back(line);

  for (const LICE_TextLine& l : mLines) mWidth = std::max(mWidth, l.width);
  const long long n = static_cast<long long>(mLines.size());
  mHeight = static_cast<int>(std::min(kLimit, n * lineHeight + (n - 1) * lineSpacing));
}

long long LICE_TextLayout::LineX(int i, const LICE_Rect& rect) const {
  const long long w = mLines[static_cast<size_t>(i)].width;
  if (mFlags & LICE_TEXT_CENTRE) return rect.L + (static_cast<long long>(rect.R) - rect.L - w) / 2;
  if (mFlags & LICE_TEXT_RIGHT) return rect.R - w;
  return rect.L;
}

namespace {
int Saturate(long long v) { return static_cast<int>(std::max<long long>(INT_MIN, std::min<long long>(INT_MAX, v))); }
}  // namespace

void LICE_TextLayout::Measure(LICE_Rect* rect) const {
  rect->R = Saturate(static_cast<long long>(rect->L) + mWidth);
  rect->B = Saturate(static_cast<long long>(rect->T) + mHeight);
}
