#include "bitmap/LICE_Resample.h"

#include "bitmap/LICE_IBitmap.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Keys' cubic convolution kernel with a = -0.5; zero from |x| = 2 on.
float CubicWeight(float x) {
  x = std::fabs(x);
  if (x < 1.0f) return (1.5f * x - 2.5f) * x * x + 1.0f;
  if (x < 2.0f) return ((-0.5f * x + 2.5f) * x - 4.0f) * x + 2.0f;
  return 0.0f;
}

// For each destination position along one axis: the first source index and the weights of the
// source pixels from there on (indices already clamped into the source).
struct AxisTaps {
  std::vector<int> first;    // per destination position
  std::vector<int> indices;  // taps per position, clamped source indices
  std::vector<float> weights;
  int taps = 0;
};

AxisTaps MakeTaps(int srcSize, int dstSize) {
  AxisTaps axis;
  const float scale = static_cast<float>(dstSize) / static_cast<float>(srcSize);
  // Below 1:1 the kernel stretches over 1/scale source pixels, so it averages what it skips.
  const float stretch = scale < 1.0f ? 1.0f / scale : 1.0f;
  const float support = 2.0f * stretch;
  axis.taps = static_cast<int>(std::ceil(2.0f * support)) + 1;
  axis.first.resize(static_cast<size_t>(dstSize));
  axis.indices.resize(static_cast<size_t>(dstSize) * static_cast<size_t>(axis.taps));
  axis.weights.resize(axis.indices.size());
  for (int d = 0; d < dstSize; ++d) {
    // Pixel centres line up: destination centre d + 0.5 sits at source coordinate (d + 0.5) / scale.
    const float centre = (static_cast<float>(d) + 0.5f) / scale - 0.5f;
    const int start = static_cast<int>(std::floor(centre - support)) + 1;
    float sum = 0.0f;
    for (int t = 0; t < axis.taps; ++t) {
      const size_t at = static_cast<size_t>(d) * static_cast<size_t>(axis.taps) + static_cast<size_t>(t);
      const int s = start + t;
      axis.weights[at] = CubicWeight((static_cast<float>(s) - centre) / stretch);
      axis.indices[at] = std::clamp(s, 0, srcSize - 1);
      sum += axis.weights[at];
    }
    // The weights of a position add up to exactly one, so flat areas stay exactly flat.
    for (int t = 0; t < axis.taps; ++t)
      axis.weights[static_cast<size_t>(d) * static_cast<size_t>(axis.taps) + static_cast<size_t>(t)] /= sum;
  }
  return axis;
}

// Premultiplied RGBA as floats, blue green red alpha like the pixels.
struct Premultiplied {
  float c[4];
};

Premultiplied Premultiply(LICE_pixel p) {
  const float a = static_cast<float>(LICE_PixelA(p));
  const float k = a / 255.0f;
  return {{static_cast<float>(LICE_PixelB(p)) * k, static_cast<float>(LICE_PixelG(p)) * k,
           static_cast<float>(LICE_PixelR(p)) * k, a}};
}

int ToByte(float v) { return static_cast<int>(std::lround(std::clamp(v, 0.0f, 255.0f))); }

LICE_pixel Unpremultiply(const Premultiplied& v) {
  const int a = ToByte(v.c[3]);
  if (a == 0) return 0;
  // Divided by the filtered alpha itself, not its rounded byte, so an opaque colour keeps its
  // exact value wherever the alpha is partial.
  const float k = 255.0f / v.c[3];
  return LICE_MakePixel(ToByte(v.c[2] * k), ToByte(v.c[1] * k), ToByte(v.c[0] * k), a);
}

}  // namespace

void ResampleBitmap(LICE_IBitmap* dest, const LICE_IBitmap* src) {
  if (!dest || !src || !dest->Pixels() || !src->Pixels()) return;
  const int sw = src->Width(), sh = src->Height(), dw = dest->Width(), dh = dest->Height();
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
  const AxisTaps across = MakeTaps(sw, dw);
  const AxisTaps down = MakeTaps(sh, dh);

  // Rows first: every source row resampled to the destination width.
  std::vector<Premultiplied> rows(static_cast<size_t>(dw) * static_cast<size_t>(sh));
  std::vector<Premultiplied> line(static_cast<size_t>(sw));
  for (int y = 0; y < sh; ++y) {
    const LICE_pixel* in = LICE_RowAddress(*src, y);
    for (int x = 0; x < sw; ++x) line[static_cast<size_t>(x)] = Premultiply(in[x]);
    for (int x = 0; x < dw; ++x) {
      Premultiplied sum{};
      for (int t = 0; t < across.taps; ++t) {
        const size_t at = static_cast<size_t>(x) * static_cast<size_t>(across.taps) + static_cast<size_t>(t);
        const Premultiplied& p = line[static_cast<size_t>(across.indices[at])];
        for (int k = 0; k < 4; ++k) sum.c[k] += across.weights[at] * p.c[k];
      }
      rows[static_cast<size_t>(y) * static_cast<size_t>(dw) + static_cast<size_t>(x)] = sum;
    }
  }
  // Then columns, straight into the destination.
  for (int y = 0; y < dh; ++y) {
    LICE_pixel* out = LICE_RowAddress(*dest, y);
    for (int x = 0; x < dw; ++x) {
      Premultiplied sum{};
      for (int t = 0; t < down.taps; ++t) {
        const size_t at = static_cast<size_t>(y) * static_cast<size_t>(down.taps) + static_cast<size_t>(t);
        const Premultiplied& p =
            rows[static_cast<size_t>(down.indices[at]) * static_cast<size_t>(dw) + static_cast<size_t>(x)];
        for (int k = 0; k < 4; ++k) sum.c[k] += down.weights[at] * p.c[k];
      }
      out[x] = Unpremultiply(sum);
    }
  }
}
