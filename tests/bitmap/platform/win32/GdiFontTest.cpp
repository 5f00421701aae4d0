// The Windows text seam: GDI fonts made as asked, text measured and drawn inside its clip on
// both drawing paths (the platform's DrawText and the glyph cache), and the font cache's sharing.

#include "bitmap/LICE_CachedFont.h"
#include "bitmap/LICE_FontCache.h"
#include "bitmap/LICE_FontPlatform.h"
#include "bitmap/LICE_MemBitmap.h"
#include "bitmap/LICE_SysBitmap.h"
#include "bitmap/LICE_TextRun.h"
#include "tests/bitmap/TextTestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

namespace {

// Any face serves: GDI substitutes one it has for a face it lacks.
constexpr const char* kFace = "DejaVu Sans";

class GdiFontTest : public ::testing::Test {
protected:
  LICE_CachedFont* Font(int size, int style = 0) {
    LICE_CachedFont* f = mCache.FontFor(size, 0, style, 0, kFace);
    if (f) f->SetTextColour(kBlack);
    return f;
  }
  LICE_FontCache mCache;
};

LOGFONTA Description(LICE_PlatformFont font) {
  LOGFONTA lf{};
  GetObjectA(static_cast<HFONT>(font), sizeof(lf), &lf);
  return lf;
}

int DrawDirect(LICE_PlatformFont font, LICE_IBitmap* bm, const char* text, LICE_Rect* rect, int flags) {
  const LICE_TextRun run(text, -1);
  LICE_PlatformTextStyle style;
  style.colour = kBlack;
  return LICE_Platform::DrawPlatformText(font, bm, run, rect, flags, style);
}

bool SamePixels(const LICE_IBitmap& a, const LICE_IBitmap& b) {
  for (int y = 0; y < a.Height(); ++y)
    if (!std::equal(LICE_RowAddress(a, y), LICE_RowAddress(a, y) + a.Width(), LICE_RowAddress(b, y))) return false;
  return true;
}

}  // namespace

TEST(GdiFont, RequestsBecomeTheFontsDescription) {
  struct Case {
    int height, escapement, weight;
    bool italic;
    int quality;
    BYTE gdiQuality;
  } cases[] = {
      {16, 0, 400, false, 0, DEFAULT_QUALITY},
      {16, 0, 700, false, 1, NONANTIALIASED_QUALITY},
      {-20, 900, 400, true, 2, ANTIALIASED_QUALITY},
      {12, 0, 400, false, 3, CLEARTYPE_QUALITY},
  };
  for (const Case& c : cases) {
    LICE_FontRequest request;
    request.height = c.height;
    request.escapement = c.escapement;
    request.weight = c.weight;
    request.italic = c.italic;
    request.quality = c.quality;
    request.face = kFace;
    LICE_PlatformFont font = LICE_Platform::CreatePlatformFont(request);
    ASSERT_NE(font, nullptr);
    const LOGFONTA lf = Description(font);
    EXPECT_EQ(lf.lfHeight, c.height);
    EXPECT_EQ(lf.lfWidth, 0);
    EXPECT_EQ(lf.lfEscapement, c.escapement);
    EXPECT_EQ(lf.lfOrientation, c.escapement);
    EXPECT_EQ(lf.lfWeight, c.weight);
    EXPECT_EQ(lf.lfItalic != 0, c.italic);
    EXPECT_EQ(lf.lfUnderline, 0);
    EXPECT_EQ(lf.lfStrikeOut, 0);
    EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(lf.lfQuality, c.gdiQuality) << "quality " << c.quality;
    EXPECT_STREQ(lf.lfFaceName, kFace);
    EXPECT_FALSE(LICE_Platform::PlatformFontFamily(font).empty());
    EXPECT_GT(LICE_Platform::PlatformFontLineHeight(font), 0);
    LICE_Platform::DeletePlatformFont(font);
  }
}

TEST_F(GdiFontTest, CacheSharesAFontPerKeyAndMakesOneForEveryOtherKey) {
  LICE_CachedFont* a = mCache.FontFor(16, 0, 0, 0, kFace);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(mCache.FontFor(16, 0, 0, 3, kFace), a);  // quality is no part of the key
  EXPECT_EQ(mCache.FontFor(16, 0, 0, 0, kFace), a);
  EXPECT_EQ(mCache.Count(), 1);
  LICE_CachedFont* bigger = mCache.FontFor(24, 0, 0, 0, kFace);
  LICE_CachedFont* bold = mCache.FontFor(16, 0, 1, 0, kFace);
  LICE_CachedFont* italic = mCache.FontFor(16, 0, 2, 0, kFace);
  for (LICE_CachedFont* f : {bigger, bold, italic}) {
    ASSERT_NE(f, nullptr);
    EXPECT_NE(f, a);
  }
  EXPECT_EQ(mCache.Count(), 4);
  // Asked again, each key answers its own font.
  EXPECT_EQ(mCache.FontFor(24, 0, 0, 2, kFace), bigger);
  EXPECT_EQ(mCache.FontFor(16, 0, 1, 1, kFace), bold);
  EXPECT_EQ(mCache.FontFor(16, 0, 2, 0, kFace), italic);
  EXPECT_EQ(mCache.Count(), 4);
  EXPECT_GT(bigger->LineHeight(), a->LineHeight());
  EXPECT_EQ(Description(bold->PlatformFont()).lfWeight, 700);
  EXPECT_NE(Description(italic->PlatformFont()).lfItalic, 0);
}

TEST_F(GdiFontTest, WineDrawsFromTheGlyphCacheInARealDibSection) {
  LICE_CachedFont* f = Font(20);
  ASSERT_NE(f, nullptr);
  // Wine's own text drawing is not trusted, so there the glyph cache draws everything.
  EXPECT_EQ(f->PlatformDraws(0), !LICE_Platform::RunsUnderWine());
  LICE_SysBitmap bm(40, 30);
  Fill(bm, kWhite);
  LICE_Rect r(0, 0, 40, 30);
  f->DrawTextUtf8(&bm, "W", -1, &r, LICE_TEXT_GLYPHS_ONLY);
  const LICE_SysBitmap* glyphs = LICE_CachedFont::SharedGlyphBitmap();
  ASSERT_NE(glyphs, nullptr);
  EXPECT_NE(glyphs->DrawingContext(), nullptr);
  EXPECT_NE(glyphs->SurfaceHandle(), nullptr);
  EXPECT_EQ(f->CachedGlyphCount(), 1);
}

// Both paths: the platform's DrawText (called through the seam, since under Wine the font would
// not choose it) and the glyph cache.
TEST_F(GdiFontTest, MeasuresAndDrawsInsideItsClip) {
  LICE_CachedFont* f = Font(20);
  ASSERT_NE(f, nullptr);
  const LICE_PlatformFont pf = f->PlatformFont();
  for (bool platform : {true, false}) {
    const auto draw = [&](LICE_IBitmap* bm, const char* text, LICE_Rect* rect, int flags) {
      return platform ? DrawDirect(pf, bm, text, rect, flags)
                      : f->DrawTextUtf8(bm, text, -1, rect, flags | LICE_TEXT_GLYPHS_ONLY);
    };
    SCOPED_TRACE(platform ? "platform" : "glyph cache");

    LICE_Rect measured(5, 7, 5, 7);
    EXPECT_EQ(draw(nullptr, "Velmora", &measured, LICE_TEXT_MEASURE), f->LineHeight());
    EXPECT_EQ(measured.L, 5);
    EXPECT_GT(measured.Width(), 40);
    EXPECT_EQ(measured.Height(), f->LineHeight());
    LICE_Rect twoLines;
    EXPECT_EQ(draw(nullptr, "Vel\nmora", &twoLines, LICE_TEXT_MEASURE), 2 * f->LineHeight());

    LICE_SysBitmap bm(240, 80);
    Fill(bm, kWhite);
    LICE_Rect rect(30, 20, 210, 60);
    EXPECT_EQ(draw(&bm, "Velmora", &rect, 0), f->LineHeight());
    Ink ink = FindInk(bm, kWhite);
    ASSERT_GT(ink.count, 50);
    EXPECT_TRUE(Inside(ink.box, rect));
    EXPECT_LT(ink.darkest, 40);
    EXPECT_NEAR(ink.box.L, 30, 3);
    EXPECT_NEAR(ink.box.R, 30 + measured.Width(), 3);

    // A rectangle smaller than the text cuts it; without clipping it runs on.
    LICE_Rect small(10, 10, 40, 25);
    Fill(bm, kWhite);
    draw(&bm, "WWWW", &small, 0);
    ink = FindInk(bm, kWhite);
    EXPECT_GT(ink.count, 0);
    EXPECT_TRUE(Inside(ink.box, small));
    Fill(bm, kWhite);
    draw(&bm, "WWWW", &small, LICE_TEXT_NO_CLIP);
    ink = FindInk(bm, kWhite);
    EXPECT_GT(ink.box.R, 40);
    EXPECT_GT(ink.box.B, 25);

    // Off the bitmap: cut at its edges, nothing written outside it.
    LICE_Rect off(-15, -10, 400, 400);
    Fill(bm, kWhite);
    draw(&bm, "WWWWWWWWWWWW", &off, 0);
    EXPECT_GT(FindInk(bm, kWhite).count, 0);
  }
}

TEST_F(GdiFontTest, PlatformTextIsOpaqueAndAlikeWithOrWithoutADrawingContext) {
  LICE_CachedFont* f = Font(18);
  ASSERT_NE(f, nullptr);
  // GDI clears the alpha byte of what it writes; drawn pixels must come out opaque, untouched
  // ones keep their alpha.
  const LICE_pixel clear = LICE_MakePixel(255, 255, 255, 0);
  LICE_SysBitmap withContext(120, 40);
  LICE_MemBitmap without(120, 40);
  ASSERT_EQ(without.DrawingContext(), nullptr);
  for (LICE_IBitmap* bm : {static_cast<LICE_IBitmap*>(&withContext), static_cast<LICE_IBitmap*>(&without)}) {
    Fill(*bm, clear);
    LICE_Rect r(4, 4, 116, 36);
    EXPECT_EQ(DrawDirect(f->PlatformFont(), bm, "Mix 50%", &r, LICE_TEXT_CENTRE), f->LineHeight());
    const Ink ink = FindInk(*bm, clear);
    EXPECT_GT(ink.count, 30);
    EXPECT_TRUE(Inside(ink.box, LICE_Rect(4, 4, 116, 36)));
    for (int y = 0; y < bm->Height(); ++y)
      for (int x = 0; x < bm->Width(); ++x) {
        const LICE_pixel p = LICE_RowAddress(*bm, y)[x];
        ASSERT_TRUE(p == clear || LICE_PixelA(p) == 255) << x << "," << y;
      }
  }
  EXPECT_TRUE(SamePixels(withContext, without));
}

TEST_F(GdiFontTest, Utf8TextIsDrawnAsCharactersAndOtherTextByteForByte) {
  LICE_CachedFont* f = Font(20);
  ASSERT_NE(f, nullptr);
  const auto width = [&](const char* text) {
    LICE_Rect r;
    DrawDirect(f->PlatformFont(), nullptr, text, &r, LICE_TEXT_MEASURE);
    return r.R;
  };
  // Two bytes of UTF-8 are one character: as wide as the same character alone.
  EXPECT_EQ(width("\xE2\x82\xAC"), width("\xE2\x82\xAC\xE2\x82\xAC") / 2);
  EXPECT_LT(width("\xC3\xA9"), width("\xC3\xA9\xC3"));
  // '&' is no mnemonic prefix here: it takes room like any character.
  EXPECT_GT(width("R&B"), width("RB"));
}
