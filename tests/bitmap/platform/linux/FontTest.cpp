#include "bitmap/LICE_CachedFont.h"
#include "bitmap/LICE_FontCache.h"
#include "bitmap/LICE_FontPlatform.h"
#include "bitmap/LICE_SysBitmap.h"
#include "bitmap/LICE_TextRun.h"
#include "tests/bitmap/TextTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

namespace {

// Each test keeps its fonts in a cache of its own, so fonts never outlive the test.
class FontTest : public ::testing::Test {
protected:
  LICE_CachedFont* Font(int size, const char* face = "DejaVu Sans", int style = 0) {
    LICE_CachedFont* f = mCache.FontFor(size, 0, style, 0, face);
    if (f) f->SetTextColour(kBlack);
    return f;
  }
  LICE_FontCache mCache;
};

int MeasureWidth(LICE_CachedFont* font, const char* text, int flags = 0) {
  LICE_Rect r;
  font->DrawTextUtf8(nullptr, text, -1, &r, flags | LICE_TEXT_MEASURE);
  return r.R;
}

}  // namespace

TEST_F(FontTest, MissingFaceFallsBackToDejaVuSans) {
  for (const char* face : {"No Such Face Velmora", "", "Verdana"}) {
    LICE_CachedFont* f = Font(14, face);
    ASSERT_NE(f, nullptr) << face;
    EXPECT_EQ(LICE_Platform::PlatformFontFamily(f->PlatformFont()), "DejaVu Sans") << face;
    EXPECT_GT(MeasureWidth(f, "Velmora"), 0);
  }
  LICE_CachedFont* mono = Font(14, "DejaVu Sans Mono");
  ASSERT_NE(mono, nullptr);
  EXPECT_EQ(LICE_Platform::PlatformFontFamily(mono->PlatformFont()), "DejaVu Sans Mono");
  EXPECT_EQ(MeasureWidth(mono, "iiii"), MeasureWidth(mono, "WWWW"));
}

TEST_F(FontTest, MeasuringGivesTheTextsRectangle) {
  LICE_CachedFont* f = Font(20);
  ASSERT_NE(f, nullptr);
  EXPECT_GE(f->LineHeight(), 19);
  EXPECT_LE(f->LineHeight(), 21);

  for (int path : {0, LICE_TEXT_GLYPHS_ONLY}) {
    LICE_Rect r(5, 7, 5, 7);
    EXPECT_EQ(f->DrawTextUtf8(nullptr, "Velmora", -1, &r, LICE_TEXT_MEASURE | path), f->LineHeight());
    EXPECT_EQ(r.L, 5);
    EXPECT_EQ(r.T, 7);
    EXPECT_GT(r.R - r.L, 40);
    EXPECT_EQ(r.B - r.T, f->LineHeight());
    EXPECT_EQ(MeasureWidth(f, "Vel", path) + MeasureWidth(f, "mora", path), MeasureWidth(f, "Velmora", path));
    // A length cuts the text.
    LICE_Rect cut;
    f->DrawTextUtf8(nullptr, "Velmora", 3, &cut, LICE_TEXT_MEASURE | path);
    EXPECT_EQ(cut.R, MeasureWidth(f, "Vel", path));
    // Lines stack unless the text is drawn as one line.
    LICE_Rect two;
    EXPECT_EQ(f->DrawTextUtf8(nullptr, "Vel\nmora", -1, &two, LICE_TEXT_MEASURE | path), 2 * f->LineHeight());
    EXPECT_EQ(two.R, MeasureWidth(f, "mora", path));
    LICE_Rect one;
    f->DrawTextUtf8(nullptr, "Vel\nmora", -1, &one, LICE_TEXT_MEASURE | LICE_TEXT_SINGLE_LINE | path);
    EXPECT_EQ(one.B, f->LineHeight());
    EXPECT_EQ(one.R, MeasureWidth(f, "Velmora", path));
  }
  // Both paths measure alike.
  EXPECT_EQ(MeasureWidth(f, "Velmora"), MeasureWidth(f, "Velmora", LICE_TEXT_GLYPHS_ONLY));
}

TEST_F(FontTest, DrawsInsideTheRectangleOnly) {
  LICE_CachedFont* f = Font(20);
  ASSERT_NE(f, nullptr);
  LICE_SysBitmap bm(240, 80);
  struct Case {
    const char* name;
    int flags;
  } cases[] = {{"platform, left", 0},
               {"platform, centre", LICE_TEXT_CENTRE},
               {"platform, right", LICE_TEXT_RIGHT},
               {"glyphs, left", LICE_TEXT_GLYPHS_ONLY},
               {"glyphs, centre", LICE_TEXT_GLYPHS_ONLY | LICE_TEXT_CENTRE},
               {"glyphs, right", LICE_TEXT_GLYPHS_ONLY | LICE_TEXT_RIGHT}};
  const int width = MeasureWidth(f, "Velmora");
  for (const Case& c : cases) {
    Fill(bm, kWhite);
    LICE_Rect rect(30, 20, 210, 60);
    EXPECT_EQ(f->DrawTextUtf8(&bm, "Velmora", -1, &rect, c.flags), f->LineHeight()) << c.name;
    const Ink ink = FindInk(bm, kWhite);
    ASSERT_GT(ink.count, 50) << c.name;
    EXPECT_TRUE(Inside(ink.box, rect)) << c.name;
    EXPECT_LT(ink.darkest, 40) << c.name;  // opaque black text
    // Alignment puts the ink at the left, middle or right of the rectangle.
    const int expectedLeft = (c.flags & LICE_TEXT_CENTRE)  ? 30 + (180 - width) / 2
                             : (c.flags & LICE_TEXT_RIGHT) ? 210 - width
                                                           : 30;
    EXPECT_NEAR(ink.box.L, expectedLeft, 3) << c.name;
    EXPECT_NEAR(ink.box.R, expectedLeft + width, 3) << c.name;
    EXPECT_LE(ink.box.B, 20 + f->LineHeight()) << c.name;
  }
}

TEST_F(FontTest, ClipsToTheRectangleUnlessToldNotTo) {
  LICE_CachedFont* f = Font(30);
  ASSERT_NE(f, nullptr);
  LICE_SysBitmap bm(200, 60);
  for (int path : {0, LICE_TEXT_GLYPHS_ONLY}) {
    // A rectangle narrower and lower than the text.
    LICE_Rect rect(10, 10, 40, 25);
    Fill(bm, kWhite);
    f->DrawTextUtf8(&bm, "WWWW", -1, &rect, path);
    Ink ink = FindInk(bm, kWhite);
    EXPECT_GT(ink.count, 0);
    EXPECT_TRUE(Inside(ink.box, rect)) << path;

    Fill(bm, kWhite);
    f->DrawTextUtf8(&bm, "WWWW", -1, &rect, path | LICE_TEXT_NO_CLIP);
    ink = FindInk(bm, kWhite);
    EXPECT_GT(ink.box.R, 40) << path;
    EXPECT_GT(ink.box.B, 25) << path;

    // Text running off the bitmap is cut at its edges.
    LICE_Rect off(-15, -10, 400, 400);
    Fill(bm, kWhite);
    f->DrawTextUtf8(&bm, "WWWWWWWWWWWW", -1, &off, path);
    EXPECT_GT(FindInk(bm, kWhite).count, 0);
    LICE_Rect far(INT_MAX - 10, INT_MAX - 10, INT_MAX, INT_MAX);
    f->DrawTextUtf8(&bm, "WW", -1, &far, path | LICE_TEXT_NO_CLIP | LICE_TEXT_RIGHT);
  }
}

TEST_F(FontTest, GlyphCacheDrawsWhatThePlatformDraws) {
  LICE_CachedFont* f = Font(18);
  ASSERT_NE(f, nullptr);
  LICE_SysBitmap direct(220, 40), cached(220, 40);
  Fill(direct, kWhite);
  Fill(cached, kWhite);
  f->SetTextColour(LICE_MakePixel(20, 90, 200, 255));
  LICE_Rect r1(4, 4, 216, 36), r2 = r1;
  f->DrawTextUtf8(&direct, "Gain -6.0 dB (Mix)", -1, &r1, LICE_TEXT_CENTRE);
  EXPECT_EQ(f->CachedGlyphCount(), 0);  // the platform drew it
  f->DrawTextUtf8(&cached, "Gain -6.0 dB (Mix)", -1, &r2, LICE_TEXT_CENTRE | LICE_TEXT_GLYPHS_ONLY);
  EXPECT_GT(f->CachedGlyphCount(), 10);
  for (int y = 0; y < 40; ++y)
    ASSERT_TRUE(std::equal(LICE_RowAddress(direct, y), LICE_RowAddress(direct, y) + 220, LICE_RowAddress(cached, y)))
        << "row " << y;
}

TEST_F(FontTest, TranslucentColourTakesTheGlyphPathAndBlends) {
  LICE_CachedFont* f = Font(24);
  ASSERT_NE(f, nullptr);
  const LICE_pixel halfBlack = LICE_MakePixel(0, 0, 0, 128);
  const int flags = LICE_RenderTextFlags(0, halfBlack, false);
  EXPECT_TRUE(flags & LICE_TEXT_USE_COLOUR_ALPHA);
  EXPECT_TRUE(flags & LICE_TEXT_NO_CLIP);
  EXPECT_FALSE(LICE_RenderTextFlags(0, kBlack, false) & LICE_TEXT_USE_COLOUR_ALPHA);
  EXPECT_EQ(LICE_RenderTextFlags(1, kBlack, true), LICE_TEXT_NO_CLIP | LICE_TEXT_CENTRE | LICE_TEXT_MEASURE);
  EXPECT_EQ(LICE_RenderTextFlags(2, kBlack, false), LICE_TEXT_NO_CLIP | LICE_TEXT_RIGHT);

  EXPECT_TRUE(f->PlatformDraws(LICE_RenderTextFlags(0, kBlack, false)));
  EXPECT_FALSE(f->PlatformDraws(flags));

  LICE_SysBitmap bm(120, 40);
  Fill(bm, kWhite);
  f->SetTextColour(halfBlack);
  LICE_Rect r(2, 2, 118, 38);
  f->DrawTextUtf8(&bm, "IIll", -1, &r, flags);
  const Ink ink = FindInk(bm, kWhite);
  ASSERT_GT(ink.count, 0);
  // Full coverage at alpha 128 takes white half-way to black.
  EXPECT_NEAR(ink.darkest, 128, 1);
  EXPECT_GT(f->CachedGlyphCount(), 0);

  // The combine alpha scales as well.
  Fill(bm, kWhite);
  f->SetTextColour(kBlack);
  f->SetCombine(0, 0.5f);
  f->DrawTextUtf8(&bm, "IIll", -1, &r, LICE_TEXT_GLYPHS_ONLY);
  EXPECT_NEAR(FindInk(bm, kWhite).darkest, 128, 1);
}

TEST_F(FontTest, OpaqueBackgroundFillsBehindTheText) {
  LICE_CachedFont* f = Font(16);
  ASSERT_NE(f, nullptr);
  const LICE_pixel red = LICE_MakePixel(255, 0, 0, 255);
  EXPECT_EQ(f->SetBackMode(LICE_BACK_OPAQUE), LICE_BACK_TRANSPARENT);
  EXPECT_EQ(f->SetBackColour(red), 0xFFFFFFFFu);
  const int width = MeasureWidth(f, "ab");
  for (int path : {0, LICE_TEXT_GLYPHS_ONLY}) {
    LICE_SysBitmap bm(100, 30);
    Fill(bm, kWhite);
    LICE_Rect r(10, 5, 90, 25);
    f->DrawTextUtf8(&bm, "ab", -1, &r, path);
    EXPECT_EQ(LICE_RowAddress(bm, 5)[10], red) << path;
    EXPECT_EQ(LICE_RowAddress(bm, 5)[10 + width - 1], red) << path;
    EXPECT_EQ(LICE_RowAddress(bm, 5)[10 + width], kWhite) << path;
    EXPECT_EQ(LICE_RowAddress(bm, 4)[10], kWhite) << path;
  }
}

TEST_F(FontTest, StylesDifferingOnlyInQualityShareAFont) {
  LICE_CachedFont* a = mCache.FontFor(16, 0, 0, 0, "DejaVu Sans");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(mCache.FontFor(16, 0, 0, 2, "DejaVu Sans"), a);
  EXPECT_EQ(mCache.FontFor(16, 0, 0, 1, "DejaVu Sans"), a);
  EXPECT_EQ(mCache.Find(16, 0, 0, "DejaVu Sans"), a);
  EXPECT_EQ(mCache.Count(), 1);
  // Every other part of the key makes a font of its own.
  EXPECT_NE(mCache.FontFor(17, 0, 0, 0, "DejaVu Sans"), a);
  EXPECT_NE(mCache.FontFor(16, 90, 0, 0, "DejaVu Sans"), a);
  EXPECT_NE(mCache.FontFor(16, 0, 1, 0, "DejaVu Sans"), a);
  EXPECT_NE(mCache.FontFor(16, 0, 0, 0, "DejaVu Sans Mono"), a);
  EXPECT_EQ(mCache.Count(), 5);
  // Bold is wider.
  EXPECT_GT(MeasureWidth(mCache.Find(16, 0, 1, "DejaVu Sans"), "Velmora"), MeasureWidth(a, "Velmora"));
  EXPECT_EQ(&LICE_FontCache::Module(), &LICE_FontCache::Module());
}

TEST_F(FontTest, UnusableSizesMakeNoFont) {
  EXPECT_EQ(mCache.FontFor(100000, 0, 0, 0, "DejaVu Sans"), nullptr);
  EXPECT_EQ(mCache.FontFor(-100000, 0, 0, 0, "DejaVu Sans"), nullptr);
  EXPECT_EQ(mCache.Count(), 0);
  // Height 0 is the default size; negative heights are character heights.
  LICE_CachedFont* byDefault = mCache.FontFor(0, 0, 0, 0, "DejaVu Sans");
  ASSERT_NE(byDefault, nullptr);
  EXPECT_GT(byDefault->LineHeight(), 0);
  LICE_CachedFont* character = mCache.FontFor(-20, 0, 0, 0, "DejaVu Sans");
  ASSERT_NE(character, nullptr);
  EXPECT_GT(character->LineHeight(), 20);
}

TEST_F(FontTest, TallFontsAreDrawnByThePlatform) {
  LICE_CachedFont* f = Font(300);
  ASSERT_NE(f, nullptr);
  EXPECT_GT(f->LineHeight(), 255);
  EXPECT_TRUE(f->PlatformDraws(LICE_TEXT_USE_COLOUR_ALPHA | LICE_TEXT_GLYPHS_ONLY));
  LICE_SysBitmap bm(400, 320);
  Fill(bm, kWhite);
  LICE_Rect r(0, 0, 400, 320);
  EXPECT_EQ(f->DrawTextUtf8(&bm, "g", -1, &r, 0), f->LineHeight());
  EXPECT_GT(FindInk(bm, kWhite).count, 1000);
  EXPECT_EQ(f->CachedGlyphCount(), 0);
}

TEST_F(FontTest, DrawGlyphAnswersWhetherItDrewAnything) {
  LICE_CachedFont* f = Font(20);
  ASSERT_NE(f, nullptr);
  LICE_SysBitmap bm(60, 40);
  Fill(bm, kWhite);
  const LICE_Rect all(0, 0, 60, 40);
  EXPECT_TRUE(f->DrawGlyph(&bm, 'W', 5, 5, all));
  EXPECT_GT(FindInk(bm, kWhite).count, 0);
  EXPECT_FALSE(f->DrawGlyph(&bm, 'W', 100, 5, all));
  EXPECT_FALSE(f->DrawGlyph(&bm, 'W', 5, 5, LICE_Rect(40, 0, 60, 40)));
  EXPECT_FALSE(f->DrawGlyph(nullptr, 'W', 5, 5, all));

  LICE_CachedFont bare;  // no platform font: nothing is available
  EXPECT_FALSE(bare.DrawGlyph(&bm, 'W', 5, 5, all));
  LICE_Rect r(0, 0, 60, 40);
  EXPECT_EQ(bare.DrawTextUtf8(&bm, "W", -1, &r, 0), 0);
  EXPECT_EQ(bare.DrawTextUtf8(nullptr, "W", -1, &r, 0), 0);
}

TEST(CachedFont, StartsWithTheDocumentedSettings) {
  LICE_CachedFont f;
  EXPECT_EQ(f.SetTextColour(1), 0u);
  EXPECT_EQ(f.TextColour(), 1u);
  EXPECT_EQ(f.SetBackColour(1), 0xFFFFFFFFu);
  EXPECT_EQ(f.SetSecondColour(1), 0xFFFFFFFFu);
  EXPECT_EQ(f.SetBackMode(LICE_BACK_OPAQUE), LICE_BACK_TRANSPARENT);
  EXPECT_EQ(f.PlatformFont(), nullptr);
  EXPECT_EQ(f.LineHeight(), 0);
  EXPECT_FALSE(f.PlatformDraws(0));
}

TEST(CachedFont, SharedGlyphBitmapLivesWithTheFonts) {
  ASSERT_EQ(LICE_CachedFont::LiveFontCount(), 0);
  {
    LICE_CachedFont bare;
    EXPECT_EQ(LICE_CachedFont::LiveFontCount(), 1);
    EXPECT_EQ(LICE_CachedFont::SharedGlyphBitmap(), nullptr);  // no platform font yet

    LICE_FontRequest request;
    request.height = 16;
    request.face = "DejaVu Sans";
    LICE_PlatformFont pf = LICE_Platform::CreatePlatformFont(request);
    ASSERT_NE(pf, nullptr);
    bare.SetFromPlatformFont(pf, LICE_FONT_PRERENDER);  // not owned
    const LICE_SysBitmap* shared = LICE_CachedFont::SharedGlyphBitmap();
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(shared->Width(), 256);
    EXPECT_EQ(shared->Height(), 256);
    EXPECT_GE(bare.CachedGlyphCount(), 95);  // the printable characters at least

    // A pre-rendering font always uses its glyphs.
    EXPECT_FALSE(bare.PlatformDraws(0));
    bare.SetFromPlatformFont(pf, LICE_FONT_PLATFORM_MAY_DRAW);
    EXPECT_EQ(bare.CachedGlyphCount(), 0);
    EXPECT_TRUE(bare.PlatformDraws(0));
    bare.SetLineSpacing(2);
    EXPECT_FALSE(bare.PlatformDraws(0));
    EXPECT_TRUE(bare.PlatformDraws(LICE_TEXT_SINGLE_LINE));
    bare.SetFromPlatformFont(nullptr, 0);
    LICE_Platform::DeletePlatformFont(pf);
  }
  EXPECT_EQ(LICE_CachedFont::LiveFontCount(), 0);
  EXPECT_EQ(LICE_CachedFont::SharedGlyphBitmap(), nullptr);
}

TEST_F(FontTest, Utf8IsHonouredOnlyWhenWellFormed) {
  LICE_CachedFont* f = Font(20);
  ASSERT_NE(f, nullptr);
  // "é" in UTF-8 and as a single Latin-1 byte are the same character.
  EXPECT_EQ(MeasureWidth(f, "\xC3\xA9"), MeasureWidth(f, "\xE9"));
  EXPECT_EQ(MeasureWidth(f, "\xC3\xA9", LICE_TEXT_GLYPHS_ONLY), MeasureWidth(f, "\xE9"));
  // A broken sequence makes the whole text 8-bit: 0xC3 is then "Ã".
  EXPECT_EQ(MeasureWidth(f, "\xC3\xA9\xC3"), MeasureWidth(f, "\xC3\x83\xC2\xA9\xC3\x83"));
}

TEST(TextRun, DecodesStrictUtf8ElseBytes) {
  struct Case {
    std::string bytes;
    bool wide;
    std::u32string chars;
  } cases[] = {
      {"abc", false, U"abc"},
      {"\xC3\xA9t\xC3\xA9", true, U"\u00E9t\u00E9"},
      {"\xE2\x82\xAC", true, U"\u20AC"},
      {"\xF0\x9F\x8E\xB5", true, U"\U0001F3B5"},
      {"\xC3\xA9\xFF", false, U"\u00C3\u00A9\u00FF"},            // a stray byte spoils it
      {"\xC0\xAF", false, U"\u00C0\u00AF"},                      // overlong
      {"\xED\xA0\x80", false, U"\u00ED\u00A0\u0080"},            // surrogate
      {"\xF4\x90\x80\x80", false, U"\u00F4\u0090\u0080\u0080"},  // beyond U+10FFFF
      {"\xE2\x82", false, U"\u00E2\u0082"},                      // cut short
      {"", false, U""},
  };
  for (const Case& c : cases) {
    LICE_TextRun run(c.bytes.data(), static_cast<int>(c.bytes.size()));
    EXPECT_EQ(run.IsWide(), c.wide) << c.bytes;
    EXPECT_EQ(std::u32string(run.Chars(), run.Chars() + run.CharCount()), c.chars) << c.bytes;
  }
  // Long texts leave the fixed buffer.
  const std::string longText(5000, 'x');
  LICE_TextRun run(longText.c_str(), -1);
  EXPECT_EQ(run.CharCount(), 5000);
  EXPECT_EQ(run.Chars()[4999], U'x');
  LICE_TextRun none(nullptr, -1);
  EXPECT_EQ(none.CharCount(), 0);
}
