#include "bitmap/LICE_Blit.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// The overlapping rectangle of one blit, as row pointers and steps (negative for bitmaps that
// store their rows bottom up).
struct BlitRegion {
  LICE_pixel* dstRow;
  const LICE_pixel* srcRow;
  intptr_t dstStep;
  intptr_t srcStep;
  int width;
  int height;
};

template <class PixelOp>
void ForEachPixel(const BlitRegion& r, PixelOp op) {
  for (int y = 0; y < r.height; ++y) {
    auto* d = reinterpret_cast<uint8_t*>(r.dstRow + y * r.dstStep);
    const auto* s = reinterpret_cast<const uint8_t*>(r.srcRow + y * r.srcStep);
    for (int x = 0; x < r.width; ++x, d += 4, s += 4) op(d, s);
  }
}

inline uint8_t Clamp255(int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

// d = s + (d - s) * keep / 256, for keep in 0..256 the result lies between s and d.
inline uint8_t Mix(int d, int s, int keep) { return static_cast<uint8_t>(s + (d - s) * keep / 256); }

// Weight of a source pixel scaled by its alpha: w * (a + 1) / 256.
inline int AlphaWeight(int w, int a) { return w * (a + 1) / 256; }

void CopyRows(const BlitRegion& r) {
  const size_t bytes = static_cast<size_t>(r.width) * sizeof(LICE_pixel);
  // memmove: a bitmap blitted onto itself may overlap within a row.
  for (int y = 0; y < r.height; ++y) std::memmove(r.dstRow + y * r.dstStep, r.srcRow + y * r.srcStep, bytes);
}

void CopyHalf(const BlitRegion& r) {
  for (int y = 0; y < r.height; ++y) {
    LICE_pixel* d = r.dstRow + y * r.dstStep;
    const LICE_pixel* s = r.srcRow + y * r.srcStep;
    for (int x = 0; x < r.width; ++x) d[x] = ((d[x] >> 1) & 0x7F7F7F7Fu) + ((s[x] >> 1) & 0x7F7F7F7Fu);
  }
}

void CopyWeighted(const BlitRegion& r, int w) {
  if (w < 1) return;
  const int keep = 256 - std::min(w, 256);
  ForEachPixel(r, [keep](uint8_t* d, const uint8_t* s) {
    for (int c = 0; c < 4; ++c) d[c] = Mix(d[c], s[c], keep);
  });
}

// Full weight: transparent pixels are skipped and opaque ones stored as they are.
void CopyAlphaFull(const BlitRegion& r) {
  ForEachPixel(r, [](uint8_t* d, const uint8_t* s) {
    const int a = s[LICE_PIXEL_A];
    if (a == 0) return;
    if (a == 255) {
      std::memcpy(d, s, 4);
      return;
    }
    const int keep = 255 - a;
    d[LICE_PIXEL_B] = Mix(d[LICE_PIXEL_B], s[LICE_PIXEL_B], keep);
    d[LICE_PIXEL_G] = Mix(d[LICE_PIXEL_G], s[LICE_PIXEL_G], keep);
    d[LICE_PIXEL_R] = Mix(d[LICE_PIXEL_R], s[LICE_PIXEL_R], keep);
    d[LICE_PIXEL_A] = static_cast<uint8_t>(std::min(a + d[LICE_PIXEL_A], 255));
  });
}

void CopyAlphaWeighted(const BlitRegion& r, int w) {
  w = std::max(0, std::min(w, 256));
  ForEachPixel(r, [w](uint8_t* d, const uint8_t* s) {
    const int a = s[LICE_PIXEL_A];
    if (a == 0) return;
    const int k = AlphaWeight(w, a);
    const int keep = 256 - k;
    d[LICE_PIXEL_B] = Mix(d[LICE_PIXEL_B], s[LICE_PIXEL_B], keep);
    d[LICE_PIXEL_G] = Mix(d[LICE_PIXEL_G], s[LICE_PIXEL_G], keep);
    d[LICE_PIXEL_R] = Mix(d[LICE_PIXEL_R], s[LICE_PIXEL_R], keep);
    d[LICE_PIXEL_A] = static_cast<uint8_t>(std::min(k + d[LICE_PIXEL_A], 255));
  });
}

inline void AddPixel(uint8_t* d, const uint8_t* s, int w) {
  for (int c = 0; c < 4; ++c) d[c] = Clamp255(d[c] + s[c] * w / 256);
}

inline void DodgePixel(uint8_t* d, const uint8_t* s, int w) {
  for (int c = 0; c < 4; ++c) {
    const int t = s[c] * w / 256;
    d[c] = Clamp255(t < 255 ? d[c] * 256 / (256 - t) : d[c] * 256);
  }
}

inline void MultiplyPixel(uint8_t* d, const uint8_t* s, int w) {
  for (int c = 0; c < 4; ++c) {
    const long long factor = static_cast<long long>(w) * (s[c] - 256) + 65536;
    d[c] = Clamp255(static_cast<int>((d[c] * factor) >> 16));
  }
}

// Overlay: darkens where the destination is dark, lightens where it is light, then mixes the
// result in by the weight.
inline void OverlayPixel(uint8_t* d, const uint8_t* s, int w) {
  const int keep = 256 - std::max(0, std::min(w, 256));
  for (int c = 0; c < 4; ++c) {
    const int dv = d[c];
    const int sv = s[c];
    const int o = dv < 128 ? 2 * sv * dv / 255 : 255 - 2 * (255 - sv) * (255 - dv) / 255;
    d[c] = Mix(dv, o, keep);
  }
}

template <void (*Op)(uint8_t*, const uint8_t*, int)>
void Plain(const BlitRegion& r, int w) {
  ForEachPixel(r, [w](uint8_t* d, const uint8_t* s) { Op(d, s, w); });
}

// The operation weighted per pixel by k = w * (a + 1) / 256; transparent pixels are skipped
// where skipping changes nothing or is wanted.
template <void (*Op)(uint8_t*, const uint8_t*, int)>
void WithAlpha(const BlitRegion& r, int w, bool skipTransparent) {
  ForEachPixel(r, [w, skipTransparent](uint8_t* d, const uint8_t* s) {
    const int a = s[LICE_PIXEL_A];
    if (a == 0 && skipTransparent) return;
    Op(d, s, AlphaWeight(w, a));
  });
}

void CopyChannel(const BlitRegion& r, int w, int mode) {
  if (w < 1) return;
  const int from = mode & 3;
  const int to = (mode >> 2) & 3;
  const int keep = 256 - std::min(w, 256);
  ForEachPixel(r, [=](uint8_t* d, const uint8_t* s) { d[to] = Mix(d[to], s[from], keep); });
}

// trunc(weight * 256), held within +-16 (+-4096) so the integer arithmetic cannot overflow.
int WeightToInt(float weight) {
  const float scaled = weight * 256.0f;
  if (scaled >= 4096.0f) return 4096;
  if (scaled <= -4096.0f) return -4096;
  return static_cast<int>(scaled);
}

}  // namespace

void BlitBitmap(LICE_IBitmap* dest, const LICE_IBitmap* src, int dstX, int dstY, const LICE_Rect* srcRect, float weight,
                int mode) {
  if (!dest || !src || weight == 0.0f || std::isnan(weight)) return;

  // Clipping runs in 64 bits: extreme rectangles and positions cannot wrap around.
  const long long srcW = src->Width();
  const long long srcH = src->Height();
  long long left = 0, top = 0, right = srcW, bottom = srcH;
  long long x = dstX, y = dstY;
  if (srcRect) {
    left = srcRect->L;
    top = srcRect->T;
    right = std::min<long long>(srcRect->R, srcW);
    bottom = std::min<long long>(srcRect->B, srcH);
    // Cutting the source on the left (top) keeps the remaining pixels where they would have been.
    if (left < 0) {
      x -= left;
      left = 0;
    }
    if (top < 0) {
      y -= top;
      top = 0;
    }
  }
  if (x < 0) {
    left -= x;
    x = 0;
  }
  if (y < 0) {
    top -= y;
    y = 0;
  }
  const long long width = std::min(right - left, dest->Width() - x);
  const long long height = std::min(bottom - top, dest->Height() - y);
  if (width <= 0 || height <= 0) return;
  if (!dest->Pixels() || !src->Pixels()) return;

  BlitRegion r;
  r.width = static_cast<int>(width);
  r.height = static_cast<int>(height);
  r.dstRow = LICE_RowAddress(*dest, static_cast<int>(y)) + x;
  r.srcRow = LICE_RowAddress(*src, static_cast<int>(top)) + left;
  r.dstStep = dest->IsBottomUp() ? -static_cast<intptr_t>(dest->RowSpan()) : dest->RowSpan();
  r.srcStep = src->IsBottomUp() ? -static_cast<intptr_t>(src->RowSpan()) : src->RowSpan();

  const int w = WeightToInt(weight);
  const int operation = mode & LICE_BLIT_OPERATION_MASK;
  const bool useAlpha = (mode & LICE_BLIT_USE_ALPHA) != 0;

  if (operation >= LICE_BLIT_CHANNEL_COPY) {
    CopyChannel(r, w, operation);
    return;
  }
  switch (operation) {
    case LICE_BLIT_COPY:
      if (useAlpha) {
        if (weight == 1.0f)
          CopyAlphaFull(r);
        else
          CopyAlphaWeighted(r, w);
      } else if (weight == 1.0f) {
        CopyRows(r);
      } else if (weight == 0.5f) {
        CopyHalf(r);
      } else {
        CopyWeighted(r, w);
      }
      break;
    case LICE_BLIT_ADD:
      if (useAlpha)
        WithAlpha<AddPixel>(r, w, true);
      else
        Plain<AddPixel>(r, w);
      break;
    case LICE_BLIT_DODGE:
      if (useAlpha)
        WithAlpha<DodgePixel>(r, w, false);
      else
        Plain<DodgePixel>(r, w);
      break;
    case LICE_BLIT_MULTIPLY:
      if (useAlpha)
        WithAlpha<MultiplyPixel>(r, w, true);
      else
        Plain<MultiplyPixel>(r, w);
      break;
    case LICE_BLIT_OVERLAY:
      if (useAlpha)
        WithAlpha<OverlayPixel>(r, w, true);
      else
        Plain<OverlayPixel>(r, w);
      break;
    default:
      // Hue/saturation/value adjustment and unknown operations draw nothing.
      break;
  }
}
