#pragma once
// tanh x for every double.
//
// |x| < 0.55 (where tanh stays below 1/2): tanh x = x + x z P(z), z = x^2, a leading term plus a
// correction of at most a tenth of it. Beyond: tanh |x| = 1 - 2 / (e^2|x| + 1), with e^2|x| as a
// double-double, the quotient corrected by its exact remainder and 1 - q formed exactly, so the
// result is rounded essentially once. Both within about 0.6 ulp. From |x| = 40 on the result is 1
// (1 - tanh 40 is below 2^-115); the sign is put back at the end.
//
// A vector whose lanes all lie on one side computes that side only; over a span, the values that
// need the exponential side are gathered into full vectors (TanhSpanOf). Each value is what the
// full path selects for it.

#include "kernel/Coefficients.h"
#include "kernel/ExactArithmetic.h"
#include "kernel/ExpAlgorithm.h"
#include "kernel/Lanes.h"
#include "kernel/Polynomial.h"
#include "kernel/SpanLoop.h"

namespace kernel {

inline constexpr double kTanhPolynomialLimit = 0.55;

// tanh |x| for |x| < 0.55 (other lanes give values that are not used).
template <class L>
KERNEL_INLINE typename L::V TanhOfSmall(typename L::V ax) {
  using V = typename L::V;
  const V z = ax * ax;
  const V poly = Polynomial(z, coefficients::kTanhP);
  return ax + (ax * z) * poly;
}

// tanh |x| for |x| >= 0.55, infinities and NaN (other lanes give values that are not used).
template <class L>
KERNEL_INLINE typename L::V TanhOfLarge(typename L::V ax) {
  using V = typename L::V;
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
  const V qLow = remainder * (q * 0.5);                   // remainder / (d + dLow)
  V oneMinusQ, oneMinusQError;
  FastTwoSum(L::Splat(1.0), -q, oneMinusQ, oneMinusQError);
  return oneMinusQ + (oneMinusQError - qLow);
}

template <class L>
KERNEL_INLINE typename L::M TanhIsSmall(typename L::V ax) {
  return L::Lt(ax, L::Splat(kTanhPolynomialLimit));
}

template <class L>
KERNEL_INLINE typename L::V TanhOf(typename L::V x) {
  using V = typename L::V;
  using U = typename L::U;
  const U sign = L::Bits(x) & (uint64_t{1} << 63);
  const V ax = L::Abs(x);
  const typename L::M small = TanhIsSmall<L>(ax);
  V result;
  if (L::All(small)) {
    result = TanhOfSmall<L>(ax);
  } else if (!L::Any(small)) {
    result = TanhOfLarge<L>(ax);
  } else {
    result = L::Select(small, TanhOfSmall<L>(ax), TanhOfLarge<L>(ax));
  }
  return L::FromBits(L::Bits(result) ^ sign);
}

// tanh over a span with the two methods each run on full vectors: the polynomial on every value,
// then the exponential side only on the values that need it, gathered together (loud material
// has a few such values scattered over most vectors). Each value gets exactly what TanhOf gives
// it.
template <class L>
inline void TanhSpanOf(const double* x, double* out, int count) {
  constexpr int N = L::kWidth;
  constexpr int kChunk = 64;
  for (int start = 0; start < count; start += kChunk) {
    const int n = count - start < kChunk ? count - start : kChunk;
    double large[kChunk + N];
    int where[kChunk];
    int found = 0;
    for (int i = 0; i < n; ++i) {
      const double v = x[start + i];
      if (!(__builtin_fabs(v) < kTanhPolynomialLimit)) {  // NaN included
        large[found] = v;
        where[found++] = i;
      }
    }
    ForEachVector<L>(
        x + start, out + start, n, [](typename L::V v) __attribute__((always_inline)) {
          const typename L::U sign = L::Bits(v) & (uint64_t{1} << 63);
          return L::FromBits(L::Bits(TanhOfSmall<L>(L::Abs(v))) ^ sign);
        });
    for (int i = found; i % N; ++i) large[i] = 1.0;  // padding that takes the same side
    for (int i = 0; i < found; i += N) {
      const typename L::V v = L::Load(large + i);
      const typename L::U sign = L::Bits(v) & (uint64_t{1} << 63);
      L::Store(large + i, L::FromBits(L::Bits(TanhOfLarge<L>(L::Abs(v))) ^ sign));
    }
    for (int i = 0; i < found; ++i) out[start + where[i]] = large[i];
  }
}

}  // namespace kernel
