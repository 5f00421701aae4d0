#include "bitmap/LICE_Blit.h"
#include "bitmap/LICE_MemBitmap.h"
#include "bitmap/LICE_SysBitmap.h"
#include "tests/bitmap/BottomUpBitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

LICE_pixel Px(int r, int g, int b, int a) { return LICE_MakePixel(r, g, b, a); }

void Fill(LICE_IBitmap& bm, LICE_pixel p) {
  for (int y = 0; y < bm.Height(); ++y)
    for (int x = 0; x < bm.Width(); ++x) LICE_RowAddress(bm, y)[x] = p;
}

LICE_pixel At(const LICE_IBitmap& bm, int x, int y) { return LICE_RowAddress(bm, y)[x]; }

std::string Show(LICE_pixel p) {
  return "(r" + std::to_string(LICE_PixelR(p)) + " g" + std::to_string(LICE_PixelG(p)) + " b" +
         std::to_string(LICE_PixelB(p)) + " a" + std::to_string(LICE_PixelA(p)) + ")";
}

struct PixelCase {
  const char* name;
  int mode;
  float weight;
  LICE_pixel src, dst, expected;
};

// Expected values worked out by hand from the per-channel rules.
const PixelCase kPixelCases[] = {
    // s + (255 - s) x 127 / 256 per channel, alpha saturates.
    {"alpha 128 over white", LICE_BLIT_USE_ALPHA, 1.0f, Px(100, 50, 200, 128), Px(255, 255, 255, 255),
     Px(176, 151, 227, 255)},
    {"alpha 100, keep 155", LICE_BLIT_USE_ALPHA, 1.0f, Px(0, 255, 10, 100), Px(255, 0, 10, 100), Px(154, 101, 10, 200)},
    {"alpha 0 leaves the pixel", LICE_BLIT_USE_ALPHA, 1.0f, Px(1, 2, 3, 0), Px(9, 8, 7, 6), Px(9, 8, 7, 6)},
    {"alpha 255 stores the source", LICE_BLIT_USE_ALPHA, 1.0f, Px(1, 2, 3, 255), Px(9, 8, 7, 6), Px(1, 2, 3, 255)},
    // k = 128 x 129 / 256 = 64, keep 192.
    {"alpha at weight 0.5", LICE_BLIT_USE_ALPHA, 0.5f, Px(200, 0, 100, 128), Px(0, 200, 100, 100),
     Px(50, 150, 100, 164)},
    {"alpha 0 at weight 0.5", LICE_BLIT_USE_ALPHA, 0.5f, Px(200, 0, 100, 0), Px(0, 200, 100, 100),
     Px(0, 200, 100, 100)},
    // (d >> 1) + (s >> 1) per byte.
    {"copy at 0.5 halves and adds", LICE_BLIT_COPY, 0.5f, Px(255, 1, 3, 255), Px(0, 1, 101, 0), Px(127, 0, 51, 127)},
    // keep 192; alpha 255 - 255 x 192 / 256 truncates toward zero: 255 - 191.
    {"copy at 0.25", LICE_BLIT_COPY, 0.25f, Px(200, 0, 100, 255), Px(0, 200, 100, 0), Px(50, 150, 100, 64)},
    {"copy below 1/256 does nothing", LICE_BLIT_COPY, 0.003f, Px(200, 0, 100, 255), Px(0, 200, 100, 0),
     Px(0, 200, 100, 0)},
    {"add clamps", LICE_BLIT_ADD, 1.0f, Px(200, 10, 0, 100), Px(100, 10, 5, 200), Px(255, 20, 5, 255)},
    {"add at 0.5", LICE_BLIT_ADD, 0.5f, Px(200, 10, 0, 100), Px(100, 10, 5, 100), Px(200, 15, 5, 150)},
    // k = 256 x 128 / 256 = 128.
    {"add with alpha", LICE_BLIT_ADD | LICE_BLIT_USE_ALPHA, 1.0f, Px(200, 10, 0, 127), Px(100, 250, 5, 200),
     Px(200, 255, 5, 255)},
    {"add with alpha 0", LICE_BLIT_ADD | LICE_BLIT_USE_ALPHA, 1.0f, Px(200, 10, 0, 0), Px(100, 250, 5, 200),
     Px(100, 250, 5, 200)},
    // t = 128: d x 2; t = 200: clamps; t = 255: d x 256 clamped (0 stays 0).
    {"dodge", LICE_BLIT_DODGE, 1.0f, Px(128, 200, 255, 0), Px(100, 100, 0, 50), Px(200, 255, 0, 50)},
    // k = 128: t = 64, 127, 0, 63.
    {"dodge with alpha", LICE_BLIT_DODGE | LICE_BLIT_USE_ALPHA, 1.0f, Px(128, 255, 0, 127), Px(100, 100, 100, 60),
     Px(133, 198, 100, 79)},
    {"multiply", LICE_BLIT_MULTIPLY, 1.0f, Px(128, 255, 0, 255), Px(200, 200, 200, 255), Px(100, 199, 0, 254)},
    {"channel copy red to alpha", LICE_ChannelCopyMode(2, 3), 1.0f, Px(77, 1, 2, 3), Px(9, 8, 7, 6), Px(9, 8, 7, 77)},
    {"hue adjust draws nothing", LICE_BLIT_HSV_ADJUST, 1.0f, Px(77, 1, 2, 3), Px(9, 8, 7, 6), Px(9, 8, 7, 6)},
};

}  // namespace

TEST(BlitPixels, OperationsFollowTheirRules) {
  for (const PixelCase& c : kPixelCases) {
    LICE_MemBitmap src(3, 2), dst(3, 2);
    Fill(src, c.src);
    Fill(dst, c.dst);
    BlitBitmap(&dst, &src, 0, 0, nullptr, c.weight, c.mode);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) EXPECT_EQ(Show(At(dst, x, y)), Show(c.expected)) << c.name << " at " << x << "," << y;
  }
}

// The full-weight paths and the general rule evaluated at w = 256 (a weight just above 1.0
// truncates to the same w) agree wherever the rules coincide.
TEST(BlitPixels, FullWeightPathsMatchTheGeneralRule) {
  const int w = 37, h = 5;
  LICE_MemBitmap src(w, h), fast(w, h), general(w, h);
  uint32_t seed = 12345;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      seed = seed * 1664525u + 1013904223u;
      LICE_pixel s = seed;
      if (x % 3 == 0) s &= 0x00FFFFFFu;  // transparent
      if (x % 3 == 1) s |= 0xFF000000u;  // opaque
      LICE_RowAddress(src, y)[x] = s;
      LICE_RowAddress(fast, y)[x] = LICE_RowAddress(general, y)[x] = ~seed;
    }
  const float justAbove = 1.0000001f;
  ASSERT_NE(justAbove, 1.0f);

  BlitBitmap(&fast, &src, 0, 0, nullptr, 1.0f, LICE_BLIT_COPY);
  BlitBitmap(&general, &src, 0, 0, nullptr, justAbove, LICE_BLIT_COPY);
  for (int y = 0; y < h; ++y)
    EXPECT_EQ(std::memcmp(LICE_RowAddress(fast, y), LICE_RowAddress(general, y), w * 4), 0) << "row " << y;
  for (int y = 0; y < h; ++y)
    EXPECT_EQ(std::memcmp(LICE_RowAddress(fast, y), LICE_RowAddress(src, y), w * 4), 0) << "row " << y;

  Fill(fast, Px(10, 120, 240, 90));
  Fill(general, Px(10, 120, 240, 90));
  BlitBitmap(&fast, &src, 0, 0, nullptr, 1.0f, LICE_BLIT_USE_ALPHA);
  BlitBitmap(&general, &src, 0, 0, nullptr, justAbove, LICE_BLIT_USE_ALPHA);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const LICE_pixel f = At(fast, x, y), g = At(general, x, y);
      const int a = LICE_PixelA(At(src, x, y));
      if (a == 0 || a == 255) {
        EXPECT_EQ(f, g) << x << "," << y;
      } else {
        // Colour agrees; the full-weight rule adds a to the alpha, the general one a + 1.
        EXPECT_EQ(f & 0x00FFFFFFu, g & 0x00FFFFFFu) << x << "," << y;
        EXPECT_EQ(LICE_PixelA(f), std::min(a + 90, 255));
        EXPECT_EQ(LICE_PixelA(g), std::min(a + 1 + 90, 255));
      }
    }
}

namespace {

constexpr LICE_pixel kUntouched = 0xDEADBEEF;

// Source pixel (x, y) carries its own coordinates.
LICE_pixel Coded(int x, int y) { return LICE_MakePixel(x, y, 0x5A, 255); }

struct ClipCase {
  const char* name;
  bool hasRect;
  LICE_Rect srcRect;
  int dstX, dstY;
  LICE_Rect expectDst;  // destination pixels written (empty when nothing is drawn)
  int srcX, srcY;       // source pixel landing at expectDst's top-left corner
};

// A 96 x 95 source frame into a 200 x 200 destination.
const ClipCase kClipCases[] = {
    {"whole source", false, {}, 20, 30, {20, 30, 116, 125}, 0, 0},
    {"source left of 0 moves the destination right", true, {-10, 0, 86, 95}, 20, 30, {30, 30, 116, 125}, 0, 0},
    {"source above 0 moves the destination down", true, {0, -5, 96, 90}, 20, 30, {20, 35, 116, 125}, 0, 0},
    {"source past right and bottom is cut", true, {50, 60, 200, 300}, 0, 0, {0, 0, 46, 35}, 50, 60},
    {"inner source rectangle", true, {10, 20, 30, 25}, 5, 6, {5, 6, 25, 11}, 10, 20},
    {"destination left of and above 0", false, {}, -10, -20, {0, 0, 86, 75}, 10, 20},
    {"destination past right and bottom", false, {}, 150, 180, {150, 180, 200, 200}, 0, 0},
    {"both cuts add up", true, {-4, -6, 96, 95}, -10, -10, {0, 0, 90, 91}, 6, 4},
    {"destination beyond the right edge", false, {}, 200, 0, {}, 0, 0},
    {"destination above by more than the height", false, {}, 0, -95, {}, 0, 0},
    {"reversed source rectangle", true, {50, 50, 40, 60}, 0, 0, {}, 0, 0},
    {"source rectangle outside the source", true, {96, 0, 120, 95}, 0, 0, {}, 0, 0},
    {"extreme coordinates", true, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, INT_MAX, INT_MAX, {}, 0, 0},
    {"extreme cuts cancel out", true, {INT_MIN, 0, 10, 10}, INT_MIN, 0, {0, 0, 10, 10}, 0, 0},
};

void CheckClip(const ClipCase& c, LICE_IBitmap& dst, const LICE_IBitmap& src) {
  Fill(dst, kUntouched);
  BlitBitmap(&dst, &src, c.dstX, c.dstY, c.hasRect ? &c.srcRect : nullptr, 1.0f, LICE_BLIT_COPY);
  const LICE_Rect& e = c.expectDst;
  int wrong = 0;
  for (int y = 0; y < dst.Height(); ++y)
    for (int x = 0; x < dst.Width(); ++x) {
      const bool inside = x >= e.L && x < e.R && y >= e.T && y < e.B;
      const LICE_pixel want = inside ? Coded(c.srcX + x - e.L, c.srcY + y - e.T) : kUntouched;
      if (At(dst, x, y) != want && wrong++ < 3)
        ADD_FAILURE() << c.name << ": pixel " << x << "," << y << " is " << Show(At(dst, x, y)) << ", want "
                      << Show(want);
    }
}

}  // namespace

TEST(BlitClipping, SourceAndDestinationAreClipped) {
  LICE_MemBitmap src(96, 95), dst(200, 200);
  for (int y = 0; y < 95; ++y)
    for (int x = 0; x < 96; ++x) LICE_RowAddress(src, y)[x] = Coded(x, y);
  for (const ClipCase& c : kClipCases) CheckClip(c, dst, src);
}

TEST(BlitClipping, BottomUpBitmapsAreWalkedByRowMeaning) {
  BottomUpBitmap src(96, 95), dst(200, 200);
  for (int y = 0; y < 95; ++y)
    for (int x = 0; x < 96; ++x) LICE_RowAddress(src, y)[x] = Coded(x, y);
  // Row 0 of a bottom-up bitmap is the last one in memory.
  EXPECT_EQ(src.Pixels()[94 * 96], Coded(0, 0));
  for (const ClipCase& c : kClipCases) CheckClip(c, dst, src);
}

TEST(BlitClipping, NothingHappensWithoutBitmapsWeightOrPixels) {
  LICE_MemBitmap src(4, 4), dst(4, 4);
  Fill(src, Px(1, 2, 3, 255));
  Fill(dst, kUntouched);
  BlitBitmap(&dst, &src, 0, 0, nullptr, 0.0f, LICE_BLIT_COPY);
  BlitBitmap(&dst, &src, 0, 0, nullptr, std::nanf(""), LICE_BLIT_COPY);
  BlitBitmap(&dst, nullptr, 0, 0, nullptr, 1.0f, LICE_BLIT_COPY);
  BlitBitmap(nullptr, &src, 0, 0, nullptr, 1.0f, LICE_BLIT_COPY);
  LICE_SysBitmap empty;  // 0 x 0, no surface
  BlitBitmap(&dst, &empty, 0, 0, nullptr, 1.0f, LICE_BLIT_COPY);
  BlitBitmap(&empty, &src, 0, 0, nullptr, 1.0f, LICE_BLIT_COPY);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(At(dst, x, y), kUntouched);
}

TEST(BlitClipping, SystemBitmapDestinationUsesItsAllocatedSpan) {
  LICE_SysBitmap back(404, 634);
  back.Resize(10, 3);  // keeps the 404-pixel span
  Fill(back, kUntouched);
  LICE_MemBitmap src(12, 5);
  Fill(src, Px(1, 2, 3, 255));
  BlitBitmap(&back, &src, 1, 1, nullptr, 1.0f, LICE_BLIT_USE_ALPHA);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 10; ++x)
      EXPECT_EQ(At(back, x, y), (x >= 1 && y >= 1) ? Px(1, 2, 3, 255) : kUntouched) << x << "," << y;
  // Nothing was written past the visible width of a row.
  EXPECT_NE(back.Pixels()[404 + 10], Px(1, 2, 3, 255));
}

TEST(BlitPixels, ExtremeWeightsStayInRange) {
  LICE_MemBitmap src(2, 2), dst(2, 2);
  Fill(src, Px(200, 100, 50, 128));
  for (float weight : {1e30f, -1e30f, 3.0f, -0.5f}) {
    for (int mode : {LICE_BLIT_COPY, LICE_BLIT_USE_ALPHA, LICE_BLIT_ADD, LICE_BLIT_DODGE, LICE_BLIT_MULTIPLY,
                     LICE_BLIT_OVERLAY, LICE_BLIT_ADD | LICE_BLIT_USE_ALPHA, LICE_BLIT_DODGE | LICE_BLIT_USE_ALPHA}) {
      Fill(dst, Px(10, 20, 30, 40));
      BlitBitmap(&dst, &src, 0, 0, nullptr, weight, mode);  // must not overflow (checked by the sanitizers)
    }
  }
  // Copy weights above 1 are a plain copy.
  Fill(dst, Px(10, 20, 30, 40));
  BlitBitmap(&dst, &src, 0, 0, nullptr, 3.0f, LICE_BLIT_COPY);
  EXPECT_EQ(At(dst, 1, 1), Px(200, 100, 50, 128));
}
