#pragma once
// The faint static saturation of the main path and the sidechain: a sine and two hyperbolic
// tangents of high powers of x, scaled down by 10^-2.25, so it only bends loud material. The
// functions are the maths kernel's, one value at a time or over a span at once (the same bits).

#include "kernel/Maths.h"
#include "plugin/ColourCurveLanes.h"

inline double ColourCurve(double x) {
  const double x3 = x * x * x;
  const double x4 = x3 * x;
  return x + kColourAmount * (kernel::Sin(x4) - (kernel::Tanh(x3) - kernel::Tanh(x4)));
}

// out[i] = ColourCurve(x[i]) for i < count <= kColourSpanMax (x and out may be the same memory),
// on the maths kernel's span path (SSE2, or AVX2 where the processor has it).
void ColourCurveSpan(const double* x, double* out, int count);

// The two paths themselves, for tests and benchmarks; the AVX2 one only where
// kernel::ProcessorHasAvx2() answers true.
namespace colourcurve {
void Sse2Span(const double* x, double* out, int count);
void Avx2Span(const double* x, double* out, int count);
}  // namespace colourcurve
