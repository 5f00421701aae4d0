#include "bitmap/LICE_TextPaint.h"

#include "bitmap/LICE_Blit.h"

#include <algorithm>

LICE_Rect LICE_ClipToBitmap(const LICE_IBitmap& dest, const LICE_Rect& clip) {
  return LICE_Rect(std::max(clip.L, 0), std::max(clip.T, 0), std::min(clip.R, dest.Width()),
                   std::min(clip.B, dest.Height()));
}

bool LICE_PaintCoverage(LICE_IBitmap* dest, int x, int y, const uint8_t* coverage, int w, int h, int stride,
                        const LICE_Rect& clip, const LICE_TextPaint& paint) {
  // 64-bit edges: a pen far outside the bitmap must not wrap around.
  const long long x0 = std::max<long long>(x, clip.L), y0 = std::max<long long>(y, clip.T);
  const long long x1 = std::min<long long>(static_cast<long long>(x) + w, clip.R);
  const long long y1 = std::min<long long>(static_cast<long long>(y) + h, clip.B);
  if (x0 >= x1 || y0 >= y1) return false;
  if (!dest->Pixels() || paint.opacity <= 0) return true;

  const int cr = LICE_PixelR(paint.colour), cg = LICE_PixelG(paint.colour), cb = LICE_PixelB(paint.colour);
  const bool add = (paint.operation & LICE_BLIT_OPERATION_MASK) == LICE_BLIT_ADD;
  for (long long py = y0; py < y1; ++py) {
    const uint8_t* cov = coverage + (py - y) * stride;
    auto* d = reinterpret_cast<uint8_t*>(LICE_RowAddress(*dest, static_cast<int>(py)) + x0);
    for (long long px = x0; px < x1; ++px, d += 4) {
      const int a = cov[px - x] * paint.opacity / 256;  // 0..255
      if (a == 0) continue;
      if (add) {
        d[LICE_PIXEL_B] = static_cast<uint8_t>(std::min(255, d[LICE_PIXEL_B] + cb * a / 255));
        d[LICE_PIXEL_G] = static_cast<uint8_t>(std::min(255, d[LICE_PIXEL_G] + cg * a / 255));
        d[LICE_PIXEL_R] = static_cast<uint8_t>(std::min(255, d[LICE_PIXEL_R] + cr * a / 255));
      } else {
        d[LICE_PIXEL_B] = static_cast<uint8_t>(d[LICE_PIXEL_B] + (cb - d[LICE_PIXEL_B]) * a / 255);
        d[LICE_PIXEL_G] = static_cast<uint8_t>(d[LICE_PIXEL_G] + (cg - d[LICE_PIXEL_G]) * a / 255);
        d[LICE_PIXEL_R] = static_cast<uint8_t>(d[LICE_PIXEL_R] + (cr - d[LICE_PIXEL_R]) * a / 255);
      }
      d[LICE_PIXEL_A] = static_cast<uint8_t>(d[LICE_PIXEL_A] + (255 - d[LICE_PIXEL_A]) * a / 255);
    }
  }
  return true;
}

void LICE_FillRect(LICE_IBitmap* dest, const LICE_Rect& r, LICE_pixel colour, const LICE_Rect& clip) {
  const int x0 = std::max(r.L, clip.L), y0 = std::max(r.T, clip.T);
  const int x1 = std::min(r.R, clip.R), y1 = std::min(r.B, clip.B);
  if (x0 >= x1 || y0 >= y1 || !dest->Pixels()) return;
  const LICE_pixel opaque = colour | 0xFF000000u;
  for (int y = y0; y < y1; ++y) std::fill_n(LICE_RowAddress(*dest, y) + x0, x1 - x0, opaque);
}
