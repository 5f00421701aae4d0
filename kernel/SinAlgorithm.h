#pragma once
// sin x for every double, and the pieces tan x is built from.
//
// Reduction: x = n pi / 2 + r with n the nearest integer to x 2 / pi, r = x - n pi / 2 with pi / 2
// in four parts (n times each of the first three is exact for n < 2^20), carried as a
// double-double r + rLow: even arguments a hair's breadth from a multiple of pi / 2 keep their
// leading bits. Beyond 2^20, and for infinities and NaN, a lane goes through the exact integer
// reduction of PiReduction.h instead. Then sin r and cos r by polynomials on |r| <= pi / 4, each
// formed as a leading term plus a small correction (cos with its r^2 / 2 split exactly), so the
// result is rounded essentially once: within about 0.6 ulp. Quadrant n mod 4 picks and signs.
//
// A vector whose lanes all have n = 0 skips the reduction and the cosine: those lanes' values are
// exactly what the full path gives them, since it reduces them to r = x, rLow = 0.

#include "kernel/Coefficients.h"
#include "kernel/ExactArithmetic.h"
#include "kernel/ExpAlgorithm.h"
#include "kernel/Lanes.h"
#include "kernel/PiReduction.h"
#include "kernel/Polynomial.h"

namespace kernel {

inline constexpr double kFastReductionLimit = 0x1p20;

// sin(r + rLow) as high + low (unrounded), |r| <= pi / 4 and a little more.
template <class L>
KERNEL_INLINE void SinOfReduced(typename L::V r, typename L::V rLow, typename L::V& high, typename L::V& low) {
  using V = typename L::V;
  const V z = r * r;
  const V poly = Polynomial(z, coefficients::kSinS);
  // sin(r + rLow) = sin r + rLow cos r, and cos r = 1 - z / 2 to the precision rLow needs.
  high = r;
  low = (rLow - rLow * z * 0.5) + (r * z) * poly;
}

// cos(r + rLow) as high + low (unrounded).
template <class L>
KERNEL_INLINE void CosOfReduced(typename L::V r, typename L::V rLow, typename L::V& high, typename L::V& low) {
  using V = typename L::V;
  V square, squareError;
  TwoProduct(r, r, square, squareError);
  const V poly = Polynomial(square, coefficients::kCosC);
  const V half = square * 0.5;
  high = 1.0 - half;
  // cos(r + rLow) = cos r - rLow sin r, and sin r = r to the precision rLow needs.
  low = (((1.0 - high) - half) - squareError * 0.5) + ((square * square) * poly - r * rLow);
}

template <class L>
struct QuarterTurns {
  typename L::V r, rLow;
  typename L::U quadrant;  // n mod 4 in the low two bits
  bool allNearZero;        // every lane has n = 0
};

// |x| = n pi / 2 + (r + rLow), for |x| given (NaN passes through to the result).
template <class L>
KERNEL_INLINE QuarterTurns<L> ReduceQuarterTurnsOf(typename L::V ax) {
  using V = typename L::V;
  namespace c = coefficients;
  QuarterTurns<L> q;
  const typename L::M fast = L::Le(ax, L::Splat(kFastReductionLimit));
  const V x = L::Select(fast, ax, L::Splat(0.0));
  const V t = x * c::kTwoOverPi + kRoundingShift;
  const V n = t - kRoundingShift;
  q.quadrant = L::Bits(t);
  q.allNearZero = L::All(L::And(fast, L::Eq(n, L::Splat(0.0))));
  if (q.allNearZero) {
    q.r = ax;
    q.rLow = L::Splat(0.0);
    return q;
  }
  const V a = x - n * c::kPiOver2_1;  // exact
  V s1, e1, s2, e2;
  TwoSum(a, -(n * c::kPiOver2_2), s1, e1);
  TwoSum(s1, -(n * c::kPiOver2_3), s2, e2);
  const V rest = (e1 + e2) - n * c::kPiOver2_4;
  FastTwoSum(s2, rest, q.r, q.rLow);
  if (!L::All(fast)) {
    for (int i = 0; i < L::kWidth; ++i) {
      if (L::Lane(ax, i) <= kFastReductionLimit) continue;
      double high, low;
      const uint64_t quadrant = ReduceQuarterTurns(L::Lane(ax, i), high, low);
      L::SetLane(q.r, i, high);
      L::SetLane(q.rLow, i, low);
      L::SetLaneU(q.quadrant, i, quadrant);
    }
  }
  return q;
}

template <class L>
KERNEL_INLINE typename L::V SinOf(typename L::V x) {
  using V = typename L::V;
  using U = typename L::U;
  const U sign = L::Bits(x) & (uint64_t{1} << 63);
  const QuarterTurns<L> q = ReduceQuarterTurnsOf<L>(L::Abs(x));
  V high, low;
  SinOfReduced<L>(q.r, q.rLow, high, low);
  V result = high + low;
  if (!q.allNearZero) {
    V cosHigh, cosLow;
    CosOfReduced<L>(q.r, q.rLow, cosHigh, cosLow);
    result = L::Select(L::BitSet(q.quadrant, 1), cosHigh + cosLow, result);
    // Quadrants 2 and 3 are the negatives of 0 and 1.
    result = L::FromBits(L::Bits(result) ^ ((q.quadrant & 2u) << 62));
  }
  return L::FromBits(L::Bits(result) ^ sign);
}

}  // namespace kernel
