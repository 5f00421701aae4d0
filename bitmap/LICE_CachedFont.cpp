#include "bitmap/LICE_CachedFont.h"

#include "bitmap/LICE_FontPlatform.h"
#include "bitmap/LICE_SysBitmap.h"
#include "bitmap/LICE_TextLayout.h"
#include "bitmap/LICE_TextPaint.h"
#include "bitmap/LICE_TextRun.h"

#include <algorithm>
#include <climits>
#include <mutex>
#include <new>

namespace {

constexpr int kGlyphBitmapSide = 256;

// The count of live fonts and the glyph bitmap they share. Never destroyed, so fonts that die
// during static destruction (the module-wide cache) still find them.
struct SharedGlyphs {
  std::mutex mutex;
  int liveFonts = 0;
  LICE_SysBitmap* bitmap = nullptr;
};

SharedGlyphs& Shared() {
  static auto* shared = new SharedGlyphs;
  return *shared;
}

const LICE_Rect kUnlimited(INT_MIN, INT_MIN, INT_MAX, INT_MAX);

// Pen positions this far inside the int range leave room for any glyph and line around them.
bool InPaintRange(long long v) { return v > INT_MIN / 2 && v < INT_MAX / 2; }

int Opacity(float alpha) {
  if (!(alpha > 0.0f)) return 0;
  return alpha >= 1.0f ? 256 : static_cast<int>(alpha * 256.0f);
}

}  // namespace

LICE_CachedFont::LICE_CachedFont() {
  std::lock_guard<std::mutex> lock(Shared().mutex);
  ++Shared().liveFonts;
}

LICE_CachedFont::~LICE_CachedFont() {
  if (mPlatformFont && (mFlags & LICE_FONT_OWNS_PLATFORM_FONT)) LICE_Platform::DeletePlatformFont(mPlatformFont);
  std::lock_guard<std::mutex> lock(Shared().mutex);
  if (--Shared().liveFonts == 0) {
    delete Shared().bitmap;
    Shared().bitmap = nullptr;
  }
}

int LICE_CachedFont::LiveFontCount() {
  std::lock_guard<std::mutex> lock(Shared().mutex);
  return Shared().liveFonts;
}

const LICE_SysBitmap* LICE_CachedFont::SharedGlyphBitmap() {
  std::lock_guard<std::mutex> lock(Shared().mutex);
  return Shared().bitmap;
}

void LICE_CachedFont::SetFromPlatformFont(LICE_PlatformFont font, int flags) {
  if (mPlatformFont && mPlatformFont != font && (mFlags & LICE_FONT_OWNS_PLATFORM_FONT))
    LICE_Platform::DeletePlatformFont(mPlatformFont);
  mPlatformFont = font;
  mFlags = flags;
  mLineHeight = font ? LICE_Platform::PlatformFontLineHeight(font) : 0;
  ClearGlyphs();
  if (font) {
    std::lock_guard<std::mutex> lock(Shared().mutex);
    if (!Shared().bitmap) Shared().bitmap = new (std::nothrow) LICE_SysBitmap(kGlyphBitmapSide, kGlyphBitmapSide);
  }
  if (font && (flags & LICE_FONT_PRERENDER))
    for (char32_t c = 0; c < 128; ++c) FindGlyph(c);
}

LICE_pixel LICE_CachedFont::SetTextColour(LICE_pixel colour) {
  const LICE_pixel old = mTextColour;
  mTextColour = colour;
  return old;
}

LICE_pixel LICE_CachedFont::SetBackColour(LICE_pixel colour) {
  const LICE_pixel old = mBackColour;
  mBackColour = colour;
  return old;
}

LICE_pixel LICE_CachedFont::SetSecondColour(LICE_pixel colour) {
  const LICE_pixel old = mSecondColour;
  mSecondColour = colour;
  return old;
}

int LICE_CachedFont::SetBackMode(int mode) {
  const int old = mBackMode;
  mBackMode = mode;
  return old;
}

void LICE_CachedFont::SetCombine(int mode, float alpha) {
  mCombineMode = mode;
  mCombineAlpha = alpha;
}

bool LICE_CachedFont::PlatformDraws(int flags) const {
  if (!mPlatformFont) return false;
  // The glyph bitmap cannot hold lines this tall.
  if (mLineHeight > kGlyphBitmapSide - 1) return true;
  return (mFlags & LICE_FONT_PLATFORM_MAY_DRAW) && !(flags & LICE_TEXT_GLYPHS_ONLY) &&
         !LICE_Platform::RunsUnderWine() && !(flags & LICE_TEXT_USE_COLOUR_ALPHA) &&
         !(mFlags & LICE_FONT_EFFECT_MASK) && (mLineSpacing == 0 || (flags & LICE_TEXT_SINGLE_LINE));
}

int LICE_CachedFont::DrawTextUtf8(LICE_IBitmap* dest, const char* text, int length, LICE_Rect* rect, int flags) {
  if (!rect || (!dest && !(flags & LICE_TEXT_MEASURE))) return 0;
  const LICE_TextRun run(text, length);
  if (PlatformDraws(flags)) {
    LICE_PlatformTextStyle style;
    style.colour = mTextColour;
    style.backMode = mBackMode;
    style.backColour = mBackColour;
    return LICE_Platform::DrawPlatformText(mPlatformFont, dest, run, rect, flags, style);
  }
  return DrawFromCache(dest, run, rect, flags);
}

int LICE_CachedFont::DrawFromCache(LICE_IBitmap* dest, const LICE_TextRun& text, LICE_Rect* rect, int flags) {
  const LICE_TextLayout layout(text.Chars(), text.CharCount(), flags, mLineHeight, mLineSpacing, [this](char32_t c) {
    const Glyph* g = FindGlyph(c);
    return g ? g->advance : 0;
  });
  if (flags & LICE_TEXT_MEASURE) {
    layout.Measure(rect);
    return layout.Height();
  }

  const LICE_Rect clip = LICE_ClipToBitmap(*dest, (flags & LICE_TEXT_NO_CLIP) ? kUnlimited : *rect);
  int opacity = Opacity(mCombineAlpha);
  if (flags & LICE_TEXT_USE_COLOUR_ALPHA) opacity = opacity * LICE_PixelA(mTextColour) / 255;

  const auto& lines = layout.Lines();
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    const long long y = layout.LineY(i, *rect);
    long long x = layout.LineX(i, *rect);
    if (!InPaintRange(y) || !InPaintRange(x)) continue;
    if (mBackMode == LICE_BACK_OPAQUE)
      LICE_FillRect(dest,
                    LICE_Rect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(x + lines[i].width),
                              static_cast<int>(y + mLineHeight)),
                    mBackColour, clip);
    for (int c = lines[i].begin; c < lines[i].end && InPaintRange(x); ++c) {
      const char32_t ch = text.Chars()[c];
      if (LICE_TextLayout::Skipped(ch)) continue;
      const Glyph* g = FindGlyph(ch);
      if (!g) continue;
      PaintGlyph(dest, *g, static_cast<int>(x), static_cast<int>(y), clip, opacity);
      x += g->advance;
    }
  }
  return layout.Height();
}

bool LICE_CachedFont::DrawGlyph(LICE_IBitmap* dest, unsigned int character, int x, int y, const LICE_Rect& clip) {
  if (!dest) return false;
  const Glyph* g = FindGlyph(static_cast<char32_t>(character));
  if (!g) return false;
  return PaintGlyph(dest, *g, x, y, LICE_ClipToBitmap(*dest, clip), Opacity(mCombineAlpha));
}

bool LICE_CachedFont::PaintGlyph(LICE_IBitmap* dest, const Glyph& glyph, int x, int y, const LICE_Rect& clip,
                                 int opacity) {
  if (glyph.width == 0) return x >= clip.L && x < clip.R && y >= clip.T && y < clip.B;
  LICE_TextPaint paint;
  paint.colour = mTextColour;
  paint.opacity = opacity;
  paint.operation = mCombineMode;
  return LICE_PaintCoverage(dest, x + glyph.left, y, mCoverage.data() + glyph.coverage, glyph.width, glyph.height,
                            glyph.width, clip, paint);
}

const LICE_CachedFont::Glyph* LICE_CachedFont::FindGlyph(char32_t ch) {
  Glyph* g;
  if (ch < 128) {
    g = &mAscii[ch];
    g->character = ch;
  } else {
    auto it = std::lower_bound(mExtraGlyphs.begin(), mExtraGlyphs.end(), ch,
                               [](const Glyph& a, char32_t c) { return a.character < c; });
    if (it == mExtraGlyphs.end() || it->character != ch) {
      Glyph fresh;
      fresh.character = ch;
      try {
        it = mExtraGlyphs.insert(it, fresh);
      } catch (const std::bad_alloc&) {
        return nullptr;
      }
    }
    g = &*it;
  }
  if (g->state == kUnknown) RenderInto(g);
  return g->state == kReady ? g : nullptr;
}

// Renders the character alone into the shared glyph bitmap and keeps its coverage: the grey
// level of white text on black.
bool LICE_CachedFont::RenderInto(Glyph* glyph) {
  glyph->state = kUnavailable;
  LICE_SysBitmap* bitmap = Shared().bitmap;
  if (!mPlatformFont || !bitmap || !bitmap->Pixels() || mLineHeight <= 0) return false;
  LICE_GlyphBox box;
  if (!LICE_Platform::RenderGlyph(mPlatformFont, glyph->character, bitmap, &box)) return false;

  const int w = std::max(0, std::min(box.width, bitmap->Width()));
  const int h = std::min(mLineHeight, bitmap->Height());
  const size_t offset = mCoverage.size();
  try {
    mCoverage.resize(offset + static_cast<size_t>(w) * static_cast<size_t>(h));
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (int y = 0; y < h; ++y) {
    const LICE_pixel* row = LICE_RowAddress(*bitmap, y);
    uint8_t* out = mCoverage.data() + offset + static_cast<size_t>(y) * static_cast<size_t>(w);
    for (int x = 0; x < w; ++x)
      out[x] = static_cast<uint8_t>((LICE_PixelR(row[x]) + LICE_PixelG(row[x]) + LICE_PixelB(row[x])) / 3);
  }
  glyph->advance = box.advance;
  glyph->left = box.left;
  glyph->width = w;
  glyph->height = h;
  glyph->coverage = offset;
  glyph->state = kReady;
  return true;
}

void LICE_CachedFont::ClearGlyphs() {
  for (Glyph& g : mAscii) g = Glyph();
  mExtraGlyphs.clear();
  mCoverage.clear();
}

int LICE_CachedFont::CachedGlyphCount() const {
  int n = 0;
  for (const Glyph& g : mAscii) n += g.state == kReady;
  for (const Glyph& g : mExtraGlyphs) n += g.state == kReady;
  return n;
}
