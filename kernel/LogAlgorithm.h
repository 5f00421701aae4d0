#pragma once
// Natural logarithm for every double.
//
// x = 2^k m with m in [sqrt(1/2), sqrt(2)), read from x's bits (subnormals are first scaled by
// 2^64). With f = m - 1 (exact) and s = f / (2 + f):
//   ln m = 2 atanh(s) = f - (f^2/2 - s (f^2/2 + R(s^2))),
// where the first term is exact and the bracket small. k ln 2 + f is formed exactly as a
// double-double, so the result is rounded essentially once plus the bracket's roundings: within
// about 0.85 ulp.

#include "kernel/Coefficients.h"
#include "kernel/ExactArithmetic.h"
#include "kernel/Lanes.h"
#include "kernel/Polynomial.h"

namespace kernel {

template <class L>
KERNEL_INLINE typename L::V LogOf(typename L::V x) {
  using V = typename L::V;
  using U = typename L::U;
  namespace c = coefficients;
  const V inf = L::Splat(__builtin_inf());

  // Subnormals (and zero and negatives, whose result is replaced below) scaled into range.
  const typename L::M tiny = L::Lt(x, L::Splat(0x1p-1022));
  const V xs = L::Select(tiny, x * 0x1p64, x);
  const V kAdjust = L::Select(tiny, L::Splat(64.0), L::Splat(0.0));

  // The offset puts the exponent step at sqrt(1/2) instead of 1: kb - 1022 is k.
  const U ix = L::Bits(xs);
  const U kb = (ix - 0x0006A09E667F3BCDu) >> 52;
  const V m = L::FromBits(ix - ((kb - 1022u) << 52));
  const V kd = ((L::FromBits(kb | 0x4330000000000000u) - 0x1p52) - 1022.0) - kAdjust;

  const V f = m - 1.0;
  const V s = f / (f + 2.0);
  const V z = s * s;
  const V poly = Polynomial(z, c::kLogR);
  const V halfSquare = 0.5 * f * f;
  const V small = halfSquare - s * (halfSquare + z * poly);

  V head, headError;
  TwoSum(kd * c::kLn2_1, f, head, headError);
  const V result = head + ((kd * c::kLn2_2 - small) + headError);

  // 0 gives -inf, negatives NaN, +inf and NaN themselves.
  const typename L::M ordinary = L::And(L::Lt(L::Splat(0.0), x), L::Lt(x, inf));
  const V special =
      L::Select(L::Eq(x, L::Splat(0.0)), -inf, L::Select(L::Lt(x, L::Splat(0.0)), L::Splat(__builtin_nan("")), x + x));
  return L::Select(ordinary, result, special);
}

}  // namespace kernel
