#pragma once
// The colour curve over a span on one of the maths kernel's lane types (VectorLanes<2> for SSE2,
// VectorLanes<4> for AVX2), a vector of samples at a time with every step in registers: the
// powers, the sine, the polynomial side of both hyperbolic tangents and the sum. A tangent's
// exponential side (|argument| >= 0.55: scattered values of loud material) runs in between on
// just the values that need it, gathered into full vectors. Each lane goes through exactly the
// operations ColourCurve performs on one value, so each result has its bits.
//
// Templates and constants only: the translation unit compiled for an instruction set instantiates
// them for its own lane type and nothing else.

#include "kernel/Lanes.h"
#include "kernel/SinAlgorithm.h"
#include "kernel/TanhAlgorithm.h"

#include <cstdint>

inline constexpr double kColourAmount = 0.005623413251903491;  // 10^-2.25
inline constexpr int kColourSpanMax = 64;

template <class L>
inline void ColourCurveSpanOf(const double* x, double* out, int count) {
  using V = typename L::V;
  constexpr int N = L::kWidth;
  constexpr uint64_t kSign = uint64_t{1} << 63;
  // Whole vectors only: the last one is padded with zeros, its extra lanes computed and dropped.
  double sine[kColourSpanMax + N], cubeTanh[kColourSpanMax + N], fourthTanh[kColourSpanMax + N];
  double padded[N];
  double large[2 * kColourSpanMax + N];  // arguments for the exponential side, then its results
  double* where[2 * kColourSpanMax];     // where each of those results belongs
  int found = 0;

  auto load = [&](const double* from, int i) __attribute__((always_inline)) {
    if (i + N <= count) return L::Load(from + i);
    for (int k = 0; k < N; ++k) padded[k] = i + k < count ? from[i + k] : 0.0;
    return L::Load(padded);
  };
  auto signOf = [](V v, V magnitude) __attribute__((always_inline)) {
    return L::FromBits(L::Bits(magnitude) ^ (L::Bits(v) & kSign));
  };

  for (int i = 0; i < count; i += N) {
    const V v = load(x, i);
    const V cube = v * v * v;
    const V fourth = cube * v;
    L::Store(sine + i, kernel::SinOf<L>(fourth));
    const V cubeMagnitude = L::Abs(cube), fourthMagnitude = L::Abs(fourth);
    L::Store(cubeTanh + i, signOf(cube, kernel::TanhOfSmall<L>(cubeMagnitude)));
    L::Store(fourthTanh + i, signOf(fourth, kernel::TanhOfSmall<L>(fourthMagnitude)));
    if (!L::All(L::And(kernel::TanhIsSmall<L>(cubeMagnitude), kernel::TanhIsSmall<L>(fourthMagnitude)))) {
      for (int k = 0; k < N && i + k < count; ++k) {
        const double c = L::Lane(cube, k), f = L::Lane(fourth, k);
        if (!(__builtin_fabs(c) < kernel::kTanhPolynomialLimit)) {  // NaN included
          large[found] = c;
          where[found++] = cubeTanh + i + k;
        }
        if (!(__builtin_fabs(f) < kernel::kTanhPolynomialLimit)) {
          large[found] = f;
          where[found++] = fourthTanh + i + k;
        }
      }
    }
  }

  for (int k = found; k % N; ++k) large[k] = 1.0;  // padding that takes the same side
  for (int k = 0; k < found; k += N) {
    const V v = L::Load(large + k);
    L::Store(large + k, signOf(v, kernel::TanhOfLarge<L>(L::Abs(v))));
  }
  for (int k = 0; k < found; ++k) *where[k] = large[k];

  for (int i = 0; i < count; i += N) {
    const V sum = load(x, i) + kColourAmount * (L::Load(sine + i) - (L::Load(cubeTanh + i) - L::Load(fourthTanh + i)));
    if (i + N <= count) {
      L::Store(out + i, sum);
    } else {
      L::Store(padded, sum);
      for (int k = 0; i + k < count; ++k) out[i + k] = padded[k];
    }
  }
}
