#pragma once
// The one pixel format of the bitmap layer: 32 bits, bytes blue, green, red, alpha in memory
// (the little-endian value A<<24 | R<<16 | G<<8 | B), straight alpha.

#include <cstdint>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "the bitmap layer stores pixels as little-endian 32-bit values");

using LICE_pixel = uint32_t;

// Byte offsets of the channels inside one pixel.
constexpr int LICE_PIXEL_B = 0;
constexpr int LICE_PIXEL_G = 1;
constexpr int LICE_PIXEL_R = 2;
constexpr int LICE_PIXEL_A = 3;

constexpr LICE_pixel LICE_MakePixel(int r, int g, int b, int a) {
  return static_cast<LICE_pixel>(a & 0xFF) << 24 | static_cast<LICE_pixel>(r & 0xFF) << 16 |
         static_cast<LICE_pixel>(g & 0xFF) << 8 | static_cast<LICE_pixel>(b & 0xFF);
}
constexpr int LICE_PixelB(LICE_pixel p) { return static_cast<int>(p & 0xFF); }
constexpr int LICE_PixelG(LICE_pixel p) { return static_cast<int>((p >> 8) & 0xFF); }
constexpr int LICE_PixelR(LICE_pixel p) { return static_cast<int>((p >> 16) & 0xFF); }
constexpr int LICE_PixelA(LICE_pixel p) { return static_cast<int>(p >> 24); }
