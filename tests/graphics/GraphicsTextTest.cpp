#include "GraphicsTestSupport.h"

#include "bitmap/LICE_SysBitmap.h"

#include <gtest/gtest.h>

namespace {

class Text : public ::testing::Test {
protected:
  Text() {
    g.CreateDrawBitmaps();
    LICE_IBitmap* bb = g.BackBuffer();
    for (int y = 0; y < bb->Height(); ++y)
      for (int x = 0; x < bb->Width(); ++x) LICE_RowAddress(*bb, y)[x] = kBack;
  }

  int ChangedPixels(const IRect& r) {
    int n = 0;
    for (int y = r.T; y < r.B; ++y)
      for (int x = r.L; x < r.R; ++x) n += PixelAt(g.BackBuffer(), x, y) != kBack;
    return n;
  }

  static constexpr uint32_t kBack = 0xFFFFFFFFu;
  EditorTestPlug plug;
  TestGraphics g{&plug, 200, 60};
  ITextStyle style{"DejaVu Sans", 14, IArgb(255, 0, 0, 0), ITextStyle::StyleNormal, ITextStyle::AlignLeft};
};

TEST_F(Text, MeasuringPlacesTheRectangleByAlignment) {
  IRect left(10, 5, 110, 40);
  ASSERT_TRUE(g.MeasureText(style, "Threshold", left));
  const int w = left.W(), h = left.H();
  EXPECT_GT(w, 20);
  EXPECT_GT(h, 5);
  EXPECT_EQ(left.L, 10);
  EXPECT_EQ(left.T, 5);

  struct Case {
    int align;
    IRect expected;
  } cases[] = {
      {ITextStyle::AlignCentre, IRect(60 - w / 2, 5, 60 - w / 2 + w, 5 + h)},
      {ITextStyle::AlignRight, IRect(110 - w, 5, 110, 5 + h)},
  };
  for (const Case& c : cases) {
    ITextStyle s = style;
    s.align = c.align;
    IRect r(10, 5, 110, 40);
    ASSERT_TRUE(g.MeasureText(s, "Threshold", r));
    EXPECT_EQ(r, c.expected) << "alignment " << c.align;
  }
  // Measuring draws nothing.
  EXPECT_EQ(ChangedPixels(IRect(0, 0, 200, 60)), 0);
}

TEST_F(Text, DrawingPutsTextIntoTheBackBuffer) {
  IRect r(10, 5, 190, 40);
  ASSERT_TRUE(g.RenderText(style, "Velmora", r, false));
  EXPECT_GT(ChangedPixels(IRect(10, 5, 190, 40)), 20);
  EXPECT_EQ(ChangedPixels(IRect(0, 45, 200, 60)), 0);

  IRect measured(10, 5, 190, 40);
  g.MeasureText(style, "Velmora", measured);
  // Left-aligned text stays left of its measured right edge (plus a pixel of antialiasing).
  EXPECT_EQ(ChangedPixels(IRect(measured.R + 2, 0, 200, 60)), 0);
}

TEST_F(Text, EmptyTextIsDoneAtOnce) {
  IRect r(1, 2, 3, 4);
  EXPECT_TRUE(g.RenderText(style, "", r, false));
  EXPECT_TRUE(g.RenderText(style, nullptr, r, true));
  EXPECT_EQ(r, IRect(1, 2, 3, 4));
  EXPECT_EQ(style.cachedFont, nullptr);
}

TEST_F(Text, StylesThatDifferOnlyInQualityShareOneFont) {
  IRect r(0, 0, 50, 20);
  ASSERT_TRUE(g.MeasureText(style, "x", r));
  // A copied style carries the font it already has; these copies must look it up themselves.
  ITextStyle aliased = style;
  aliased.cachedFont = nullptr;
  aliased.quality = ITextStyle::QualityNonAntiAliased;
  ASSERT_TRUE(g.MeasureText(aliased, "x", r));
  ASSERT_NE(style.cachedFont, nullptr);
  EXPECT_EQ(style.cachedFont, aliased.cachedFont);

  ITextStyle bold = style;
  bold.cachedFont = nullptr;
  bold.style = ITextStyle::StyleBold;
  ASSERT_TRUE(g.MeasureText(bold, "x", r));
  EXPECT_NE(bold.cachedFont, style.cachedFont);
}

TEST_F(Text, TranslucentColourStillDraws) {
  style.colour = IArgb(128, 0, 0, 0);
  IRect r(10, 5, 190, 40);
  ASSERT_TRUE(g.RenderText(style, "Velmora", r, false));
  EXPECT_GT(ChangedPixels(IRect(10, 5, 190, 40)), 20);
}

}  // namespace
