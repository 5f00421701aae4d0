#pragma once
// e^x for every double, and e^(x + xLow) for a double-double argument.
//
// Reduction: x = k ln 2 + r with k the nearest integer to x / ln 2, found by adding and
// subtracting 1.5 * 2^52 (which rounds to an integer and leaves k in the low bits), and
// r = (x - k ln2_1) + (xLow - k ln2_2) kept as a double-double r + rLow (k ln2_1 is exact, and
// so is the first subtraction). Then e^r = 1 + r + r^2 Q(r) for |r| <= ln 2 / 2, with 1 + r formed exactly,
// so the only sizeable rounding is the last addition: the result is within about 0.55 ulp.
// Scaling by 2^k goes through two factors 2^k1 * 2^k2 (k1 + k2 = k), each a normal number, so
// results that overflow, and results in the subnormal range, are rounded once, like any product.

#include "kernel/Coefficients.h"
#include "kernel/ExactArithmetic.h"
#include "kernel/Lanes.h"
#include "kernel/Polynomial.h"

namespace kernel {

inline constexpr double kRoundingShift = 0x1.8p52;  // x + this - this rounds x to an integer

// e^x = (head + tail) * 2^k, with head = 1 + r rounded and tail everything else.
template <class L>
struct ExpReduced {
  typename L::V head, tail, kd;
  typename L::U k;  // k as a two's complement integer
};

template <class L>
KERNEL_INLINE ExpReduced<L> ReduceExp(typename L::V x, typename L::V xLow) {
  using V = typename L::V;
  namespace c = coefficients;
  const V t = x * c::kInvLn2 + kRoundingShift;
  const V kd = t - kRoundingShift;
  const V a = x - kd * c::kLn2_1;
  const V b = kd * c::kLn2_2;
  // The argument's low part joins r itself (it may be as large as half an ulp of x); what is
  // left in rLow is below half an ulp of r.
  V r, rLow;
  TwoSum(a, xLow - b, r, rLow);

  const V poly = Polynomial(r, c::kExpQ);

  ExpReduced<L> e;
  V oneError;
  FastTwoSum(L::Splat(1.0), r, e.head, oneError);
  // e^(r + rLow) = e^r (1 + rLow) to well below an ulp.
  e.tail = oneError + ((rLow + rLow * r) + (r * r) * poly);
  e.kd = kd;
  e.k = L::Bits(t) - L::Bits(L::Splat(kRoundingShift));
  return e;
}

// 2^k for k in [-1022, 1023] given as a two's complement integer.
template <class L>
KERNEL_INLINE typename L::V PowerOfTwo(typename L::U k) {
  return L::FromBits((k + 1023u) << 52);
}

template <class L>
KERNEL_INLINE typename L::V ExpOf(typename L::V x, typename L::V xLow) {
  using V = typename L::V;
  // Beyond these e^x is 0 or infinite; k stays small enough for the two factors. NaN passes.
  x = L::Select(L::Lt(x, L::Splat(-746.0)), L::Splat(-746.0), x);
  x = L::Select(L::Lt(L::Splat(710.0), x), L::Splat(710.0), x);
  const ExpReduced<L> e = ReduceExp<L>(x, xLow);
  const V p = e.head + e.tail;
  // k1 = k / 2 rounded, k2 = k - k1: both within [-538, 512].
  const V t1 = e.kd * 0.5 + kRoundingShift;
  const typename L::U k1 = L::Bits(t1) - L::Bits(L::Splat(kRoundingShift));
  const typename L::U k2 = e.k - k1;
  return (p * PowerOfTwo<L>(k1)) * PowerOfTwo<L>(k2);
}

template <class L>
KERNEL_INLINE typename L::V ExpOf(typename L::V x) {
  return ExpOf<L>(x, L::Splat(0.0));
}

// e^x as a double-double high + low, for 0 <= x <= 90 (no overflow, no subnormals), accurate to
// about 2^-57 relative.
template <class L>
KERNEL_INLINE void ExpDoubleDouble(typename L::V x, typename L::V& high, typename L::V& low) {
  using V = typename L::V;
  const ExpReduced<L> e = ReduceExp<L>(x, L::Splat(0.0));
  V h, l;
  FastTwoSum(e.head, e.tail, h, l);
  const V scale = PowerOfTwo<L>(e.k);
  high = h * scale;
  low = l * scale;
}

}  // namespace kernel
