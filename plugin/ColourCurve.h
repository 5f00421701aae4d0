#pragma once
// The faint static saturation of the main path and the sidechain: a sine and two hyperbolic
// tangents of high powers of x, scaled down by 10^-2.25, so it only bends loud material. The
// functions are the maths kernel's, one value at a time or over a span at once (the same bits).

#include "kernel/Lanes.h"
#include "kernel/Maths.h"

inline constexpr double kColourAmount = 0.005623413251903491;  // 10^-2.25

inline double ColourCurve(double x) {
  const double x3 = x * x * x;
  const double x4 = x3 * x;
  return x + kColourAmount * (kernel::Sin(x4) - (kernel::Tanh(x3) - kernel::Tanh(x4)));
}

// out[i] = ColourCurve(x[i]) for i < count <= kColourSpanMax (x and out may be the same memory).
// The powers and the final sum run two values per SSE2 instruction, each lane through exactly
// the operations ColourCurve performs on one value.
inline constexpr int kColourSpanMax = 64;
inline void ColourCurveSpan(const double* x, double* out, int count) {
  using L = kernel::VectorLanes<2>;
  if (count <= 0) return;
  double x3[kColourSpanMax], x4[kColourSpanMax], sine[kColourSpanMax];
  int i = 0;
  for (; i + 2 <= count; i += 2) {
    const L::V v = L::Load(x + i);
    const L::V cube = v * v * v;
    L::Store(x3 + i, cube);
    L::Store(x4 + i, cube * v);
  }
  for (; i < count; ++i) {
    x3[i] = x[i] * x[i] * x[i];
    x4[i] = x3[i] * x[i];
  }
  kernel::SinSpan(x4, sine, count);
  kernel::TanhSpan(x3, x3, count);
  kernel::TanhSpan(x4, x4, count);
  for (i = 0; i + 2 <= count; i += 2) {
    const L::V sum = L::Load(x + i) + kColourAmount * (L::Load(sine + i) - (L::Load(x3 + i) - L::Load(x4 + i)));
    L::Store(out + i, sum);
  }
  for (; i < count; ++i) out[i] = x[i] + kColourAmount * (sine[i] - (x3[i] - x4[i]));
}
