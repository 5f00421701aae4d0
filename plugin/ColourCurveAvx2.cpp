// The colour curve over a span on AVX2, four doubles per instruction. Compiled for AVX2 (see
// CMakeLists.txt) and entered only once the processor has been found to have it; it instantiates
// the lane templates for VectorLanes<4> alone, which no baseline file uses.
#include "plugin/ColourCurveLanes.h"

namespace colourcurve {
void Avx2Span(const double* x, double* out, int count) { ColourCurveSpanOf<kernel::VectorLanes<4>>(x, out, count); }
}  // namespace colourcurve
