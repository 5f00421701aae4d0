#include "bitmap/LICE_MemBitmap.h"
#include "bitmap/LICE_SysBitmap.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace {

bool Aligned64(const void* p) { return reinterpret_cast<uintptr_t>(p) % 64 == 0; }

}  // namespace

TEST(MemBitmap, RowSpanRoundsWidthUpToFourPixels) {
  struct Case {
    int w, span;
  } cases[] = {{1, 4}, {4, 4}, {5, 8}, {10, 12}, {404, 404}};
  for (const Case& c : cases) {
    LICE_MemBitmap bm(c.w, 3);
    EXPECT_EQ(bm.RowSpan(), c.span) << "width " << c.w;
    EXPECT_EQ(bm.Width(), c.w);
    EXPECT_EQ(bm.Height(), 3);
    ASSERT_NE(bm.Pixels(), nullptr);
    EXPECT_TRUE(Aligned64(bm.Pixels()));
    EXPECT_EQ(bm.AllocatedBytes(), static_cast<size_t>(c.span) * 3 * 4);
  }
}

TEST(MemBitmap, GrowsByAQuarterAndNeverShrinksItsBuffer) {
  LICE_MemBitmap bm;
  EXPECT_EQ(bm.Pixels(), nullptr);
  EXPECT_TRUE(bm.Resize(10, 10));  // span 12: 480 bytes, allocated exactly
  EXPECT_EQ(bm.AllocatedBytes(), 480u);
  EXPECT_FALSE(bm.Resize(10, 10));

  EXPECT_TRUE(bm.Resize(20, 10));  // 800 bytes needed: 800 / 4 x 5
  EXPECT_EQ(bm.AllocatedBytes(), 1000u);
  EXPECT_TRUE(Aligned64(bm.Pixels()));

  const LICE_pixel* kept = bm.Pixels();
  EXPECT_TRUE(bm.Resize(24, 10));  // 960 bytes fit in 1000
  EXPECT_EQ(bm.AllocatedBytes(), 1000u);
  EXPECT_EQ(bm.Pixels(), kept);
  EXPECT_TRUE(bm.Resize(2, 2));
  EXPECT_EQ(bm.AllocatedBytes(), 1000u);
  EXPECT_EQ(bm.Pixels(), kept);
  EXPECT_EQ(bm.Width(), 2);
  EXPECT_EQ(bm.RowSpan(), 4);
}

TEST(MemBitmap, SizesWithoutABufferLeaveAnEmptyBitmap) {
  struct Case {
    int w, h;
  } cases[] = {{0, 5}, {5, 0}, {-4, 4}, {4, -4}, {INT_MAX, INT_MAX}, {INT_MAX, 1}, {1 << 16, 1 << 16}};
  for (const Case& c : cases) {
    LICE_MemBitmap bm(8, 8);
    EXPECT_TRUE(bm.Resize(c.w, c.h)) << c.w << " x " << c.h;
    EXPECT_EQ(bm.Width(), 0);
    EXPECT_EQ(bm.Height(), 0);
    EXPECT_EQ(bm.Pixels(), nullptr);
    EXPECT_EQ(bm.AllocatedBytes(), 0u);
    // And it comes back to life.
    EXPECT_TRUE(bm.Resize(3, 3));
    EXPECT_NE(bm.Pixels(), nullptr);
  }
}

TEST(MemBitmap, IsATopDownMemoryBitmap) {
  LICE_MemBitmap bm(2, 2);
  EXPECT_FALSE(bm.IsBottomUp());
  EXPECT_EQ(bm.DrawingContext(), nullptr);
  EXPECT_EQ(bm.ExtensionQuery(1, nullptr), 0);
}

TEST(SysBitmap, ShrinkingAndGrowingBackKeepTheSurface) {
  LICE_SysBitmap bm(404, 634);
  ASSERT_NE(bm.DrawingContext(), nullptr);
  ASSERT_NE(bm.Pixels(), nullptr);
  EXPECT_TRUE(Aligned64(bm.Pixels()));
  EXPECT_EQ(bm.RowSpan(), 404);
  const void* surface = bm.SurfaceHandle();
  LICE_pixel* pixels = bm.Pixels();

  EXPECT_TRUE(bm.Resize(200, 100));
  EXPECT_EQ(bm.Width(), 200);
  EXPECT_EQ(bm.Height(), 100);
  EXPECT_EQ(bm.RowSpan(), 404);  // the allocated span, not the width
  EXPECT_EQ(bm.SurfaceHandle(), surface);

  EXPECT_TRUE(bm.Resize(404, 634));
  EXPECT_EQ(bm.SurfaceHandle(), surface);
  EXPECT_EQ(bm.Pixels(), pixels);
  EXPECT_FALSE(bm.Resize(404, 634));

  // The whole surface is writable.
  pixels[404 * 634 - 1] = 0x12345678;
}

TEST(SysBitmap, GrowingPastTheSurfaceReallocatesWithARoundedSpan) {
  LICE_SysBitmap bm(10, 10);
  EXPECT_EQ(bm.RowSpan(), 12);
  EXPECT_TRUE(bm.Resize(13, 10));  // wider than the span: new surface
  EXPECT_EQ(bm.RowSpan(), 16);
  EXPECT_EQ(bm.AllocatedHeight(), 10);
  EXPECT_TRUE(bm.Resize(13, 11));  // taller: new surface with exactly that height
  EXPECT_EQ(bm.AllocatedHeight(), 11);
  ASSERT_NE(bm.Pixels(), nullptr);
  bm.Pixels()[16 * 11 - 1] = 1;
}

TEST(SysBitmap, SizesWithoutASurfaceLeaveAnEmptyBitmap) {
  struct Case {
    int w, h;
    bool result;
  } cases[] = {
      {0, 0, false},
      {0, 10, false},
      {10, 0, false},
      {-8, 10, false},
      // Too large for any surface: the size changed but no surface could be made.
      {INT_MAX, INT_MAX, true},
      {INT_MAX - 1, 2, true},
  };
  for (const Case& c : cases) {
    LICE_SysBitmap bm(16, 16);
    EXPECT_EQ(bm.Resize(c.w, c.h), c.result) << c.w << " x " << c.h;
    EXPECT_EQ(bm.Width(), 0);
    EXPECT_EQ(bm.Height(), 0);
    EXPECT_EQ(bm.Pixels(), nullptr);
    EXPECT_EQ(bm.SurfaceHandle(), nullptr);
    EXPECT_TRUE(bm.Resize(4, 4));
    EXPECT_NE(bm.Pixels(), nullptr);
  }
}

TEST(SysBitmap, StartsEmptyWithAContext) {
  LICE_SysBitmap bm;
  EXPECT_NE(bm.DrawingContext(), nullptr);
  EXPECT_EQ(bm.Pixels(), nullptr);
  EXPECT_EQ(bm.Width(), 0);
  EXPECT_FALSE(bm.IsBottomUp());
  EXPECT_EQ(bm.ExtensionQuery(1, nullptr), 0);
}
