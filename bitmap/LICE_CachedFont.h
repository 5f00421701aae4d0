#pragma once
// A font that wraps a platform font and either lets the platform draw, or draws from its own
// cache of glyph coverage (needed for translucent text and effects). Glyphs are rendered one at a
// time into a 256 x 256 bitmap shared by all cached fonts of the module.

#include "bitmap/LICE_IFont.h"
#include "bitmap/LICE_TextFlags.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class LICE_SysBitmap;
class LICE_TextRun;

class LICE_CachedFont final : public LICE_IFont {
public:
  LICE_CachedFont();
  ~LICE_CachedFont() override;
  LICE_CachedFont(const LICE_CachedFont&) = delete;
  LICE_CachedFont& operator=(const LICE_CachedFont&) = delete;

  void SetFromPlatformFont(LICE_PlatformFont font, int flags) override;
  LICE_pixel SetTextColour(LICE_pixel colour) override;
  LICE_pixel SetBackColour(LICE_pixel colour) override;
  LICE_pixel SetSecondColour(LICE_pixel colour) override;
  int SetBackMode(int mode) override;
  void SetCombine(int mode, float alpha) override;
  int DrawTextUtf8(LICE_IBitmap* dest, const char* text, int length, LICE_Rect* rect, int flags) override;
  LICE_pixel TextColour() const override { return mTextColour; }
  LICE_PlatformFont PlatformFont() const override { return mPlatformFont; }
  int LineHeight() const override { return mLineHeight; }
  bool DrawGlyph(LICE_IBitmap* dest, unsigned int character, int x, int y, const LICE_Rect& clip) override;

  // Extra pixels between lines on the glyph path; 0 (the default) leaves drawing to the platform.
  void SetLineSpacing(int pixels) { mLineSpacing = pixels; }
  // Whether a call with these drawing flags is drawn by the platform rather than from the cache.
  bool PlatformDraws(int flags) const;
  // Glyphs rendered so far (for tests and diagnostics).
  int CachedGlyphCount() const;

  // Live cached fonts in the module, and the shared glyph bitmap (null while no font has a
  // platform font).
  static int LiveFontCount();
  static const LICE_SysBitmap* SharedGlyphBitmap();

private:
  struct Glyph {
    char32_t character = 0;
    uint8_t state = kUnknown;
    int advance = 0;
    int left = 0;
    int width = 0;
    int height = 0;
    size_t coverage = 0;  // offset into mCoverage
  };
  enum : uint8_t { kUnknown = 0, kReady = 1, kUnavailable = 2 };

  const Glyph* FindGlyph(char32_t ch);
  bool RenderInto(Glyph* glyph);
  void ClearGlyphs();
  int DrawFromCache(LICE_IBitmap* dest, const LICE_TextRun& text, LICE_Rect* rect, int flags);
  bool PaintGlyph(LICE_IBitmap* dest, const Glyph& glyph, int x, int y, const LICE_Rect& clip, int opacity);

  LICE_pixel mTextColour = 0;
  LICE_pixel mBackColour = 0xFFFFFFFF;
  LICE_pixel mSecondColour = 0xFFFFFFFF;
  int mBackMode = LICE_BACK_TRANSPARENT;
  int mCombineMode = 0;
  float mCombineAlpha = 1.0f;
  int mLineHeight = 0;
  int mFlags = 0;
  int mLineSpacing = 0;
  Glyph mAscii[128];
  std::vector<Glyph> mExtraGlyphs;  // sorted by character
  std::vector<uint8_t> mCoverage;
  LICE_PlatformFont mPlatformFont = nullptr;
};
