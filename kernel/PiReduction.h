#pragma once
// The remainder of a huge argument modulo pi / 2, for the trigonometric functions beyond the
// range where subtracting n pi / 2 in four parts is accurate enough (|x| >= 2^20).

#include <cstdint>

namespace kernel {

// For |x| >= 2^20 (smaller arguments are the caller's to reduce): x = (4 j + quadrant) pi / 2 +
// (high + low) with |high + low| <= pi / 4 (a little more at most), within about 2^-70 of the
// true remainder relative to itself. Non-finite x gives high = low = NaN. Exact integer arithmetic on the bits of 2 /
// pi, so the result is the same on every platform; slow, and meant for the rare lanes that need it.
uint64_t ReduceQuarterTurns(double x, double& high, double& low);

}  // namespace kernel
