// The colour curve over a span on SSE2, two doubles per instruction.
#include "plugin/ColourCurveLanes.h"

namespace colourcurve {
void Sse2Span(const double* x, double* out, int count) { ColourCurveSpanOf<kernel::VectorLanes<2>>(x, out, count); }
}  // namespace colourcurve
