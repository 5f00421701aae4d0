#include "bitmap/LICE_MemBitmap.h"
#include "bitmap/LICE_Resample.h"
#include "tests/bitmap/BottomUpBitmap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

LICE_pixel At(const LICE_IBitmap& bm, int x, int y) { return LICE_RowAddress(bm, y)[x]; }

void Fill(LICE_IBitmap& bm, LICE_pixel p) {
  for (int y = 0; y < bm.Height(); ++y)
    for (int x = 0; x < bm.Width(); ++x) LICE_RowAddress(bm, y)[x] = p;
}

// Flat colour stays exactly that colour at every size, up and down, in either row order.
TEST(ResampleBitmap, FlatColourStaysExactlyFlat) {
  const LICE_pixel colour = LICE_MakePixel(200, 37, 90, 255);
  LICE_MemBitmap src(7, 5);
  Fill(src, colour);
  for (const auto& size : {std::pair{14, 10}, std::pair{3, 2}, std::pair{7, 5}, std::pair{20, 3}}) {
    BottomUpBitmap dest(size.first, size.second);
    ResampleBitmap(&dest, &src);
    for (int y = 0; y < dest.Height(); ++y)
      for (int x = 0; x < dest.Width(); ++x) ASSERT_EQ(At(dest, x, y), colour) << x << "," << y;
  }
}

// The cubic filter reproduces a linear ramp exactly away from the edges: every destination pixel
// takes the ramp's value at its centre.
TEST(ResampleBitmap, DoublingKeepsALinearRampLinear) {
  LICE_MemBitmap src(12, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 12; ++x) LICE_RowAddress(src, y)[x] = LICE_MakePixel(10 + 20 * x, 0, 250 - 20 * x, 255);
  LICE_MemBitmap dest(24, 6);
  ResampleBitmap(&dest, &src);
  for (int x = 4; x < 20; ++x) {
    const double centre = (x + 0.5) / 2.0 - 0.5;
    EXPECT_NEAR(LICE_PixelR(At(dest, x, 3)), 10 + 20 * centre, 0.51) << x;
    EXPECT_NEAR(LICE_PixelB(At(dest, x, 3)), 250 - 20 * centre, 0.51) << x;
    EXPECT_EQ(LICE_PixelA(At(dest, x, 3)), 255);
  }
}

// A hard edge stays within the two colours (the filter's overshoot is clipped) and changes
// monotonically, with the step where it was.
TEST(ResampleBitmap, HardEdgeStaysInRangeAndInPlace) {
  LICE_MemBitmap src(8, 1);
  for (int x = 0; x < 8; ++x)
    LICE_RowAddress(src, 0)[x] = x < 4 ? LICE_MakePixel(0, 0, 0, 255) : LICE_MakePixel(255, 255, 255, 255);
  LICE_MemBitmap dest(16, 2);
  ResampleBitmap(&dest, &src);
  EXPECT_EQ(At(dest, 0, 0), LICE_MakePixel(0, 0, 0, 255));
  EXPECT_EQ(At(dest, 15, 1), LICE_MakePixel(255, 255, 255, 255));
  EXPECT_LT(LICE_PixelR(At(dest, 7, 0)), 128);
  EXPECT_GT(LICE_PixelR(At(dest, 8, 0)), 128);
}

// Premultiplied filtering: the colour of fully transparent pixels never tints their neighbours,
// and where nothing is opaque the result is transparent.
TEST(ResampleBitmap, TransparentColourDoesNotBleed) {
  LICE_MemBitmap src(6, 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x)
      LICE_RowAddress(src, y)[x] = x < 3 ? LICE_MakePixel(255, 0, 0, 0) : LICE_MakePixel(0, 0, 255, 255);
  LICE_MemBitmap dest(12, 12);
  ResampleBitmap(&dest, &src);
  for (int x = 0; x < 12; ++x) {
    const LICE_pixel p = At(dest, x, 6);
    if (LICE_PixelA(p) == 0) {
      EXPECT_EQ(p, 0u) << x;
    } else {
      EXPECT_EQ(LICE_PixelR(p), 0) << x;
      EXPECT_EQ(LICE_PixelB(p), 255) << x;
    }
  }
  EXPECT_EQ(At(dest, 0, 0), 0u);
  EXPECT_EQ(LICE_PixelA(At(dest, 11, 11)), 255);
}

TEST(ResampleBitmap, MissingOrEmptyBitmapsAreLeftAlone) {
  LICE_MemBitmap src(4, 4), empty;
  Fill(src, LICE_MakePixel(1, 2, 3, 4));
  LICE_MemBitmap dest(2, 2);
  Fill(dest, LICE_MakePixel(9, 9, 9, 9));
  ResampleBitmap(&dest, &empty);
  ResampleBitmap(&dest, nullptr);
  ResampleBitmap(nullptr, &src);
  ResampleBitmap(&empty, &src);
  EXPECT_EQ(At(dest, 1, 1), LICE_MakePixel(9, 9, 9, 9));
}

}  // namespace
