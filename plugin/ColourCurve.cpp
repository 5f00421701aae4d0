// The colour curve's span path follows the maths kernel's: AVX2 where the kernel uses it.
#include "plugin/ColourCurve.h"

void ColourCurveSpan(const double* x, double* out, int count) {
  if (count <= 0) return;
  kernel::SpansUseAvx2() ? colourcurve::Avx2Span(x, out, count) : colourcurve::Sse2Span(x, out, count);
}
