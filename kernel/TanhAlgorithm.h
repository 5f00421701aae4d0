#pragma once
// tanh x for every double.
//
// |x| < 0.55 (where tanh stays below 1/2): tanh x = x + x z P(z), z = x^2, a leading term plus a
// correction of at most a tenth of it. Beyond: tanh |x| = 1 - 2 / (e^2|x| + 1), with e^2|x| as a
// double-double, the quotient corrected by its exact remainder and 1 - q formed exactly, so the
// result is rounded essentially once. Both within about 0.6 ulp. From |x| = 40 on the result is 1
// (1 - tanh 40 is below 2^-115); the sign is put back at the end.
//
// A vector whose lanes all lie below 0.55 skips the exponential side: each lane's value is what
// the full path selects for it.

#include "kernel/Coefficients.h"
#include "kernel/Lanes.h"
#include "kernel/Polynomial.h"
#include "kernel/ExactArithmetic.h"
#include "kernel/ExpAlgorithm.h"

namespace kernel {

inline constexpr double kTanhPolynomialLimit = 0.55;

template <class L>
KERNEL_INLINE typename L::V TanhOf(typename L::V x) {
  using V = typename L::V;
  using U = typename L::U;
  const U sign = L::Bits(x) & (uint64_t{1} << 63);
  const V ax = L::Abs(x);

  const typename L::M small = L::Lt(ax, L::Splat(kTanhPolynomialLimit));
  V result = ax;
  if (L::Any(small)) {
    const V z = ax * ax;
    const V poly = Polynomial(z, coefficients::kTanhP);
    result = ax + (ax * z) * poly;
  }
  if (!L::All(small)) {
    const V a = L::Select(L::Lt(L::Splat(40.0), ax), L::Splat(40.0), ax);  // NaN passes
    V e, eLow;
    ExpDoubleDouble<L>(a + a, e, eLow);
    V d, dLow;
    FastTwoSum(e, L::Splat(1.0), d, dLow);
    dLow = dLow + eLow;
    const V q = 2.0 / d;
    V qd, qdError;
    TwoProduct(q, d, qd, qdError);
    const V remainder = ((2.0 - qd) - qdError) - q * dLow;  // 2 - q (d + dLow)
    const V qLow = remainder * (q * 0.5);                    // remainder / (d + dLow)
    V oneMinusQ, oneMinusQError;
    FastTwoSum(L::Splat(1.0), -q, oneMinusQ, oneMinusQError);
    const V large = oneMinusQ + (oneMinusQError - qLow);
    result = L::All(L::Not(small)) ? large : L::Select(small, result, large);
  }
  return L::FromBits(L::Bits(result) ^ sign);
}

}  // namespace kernel
