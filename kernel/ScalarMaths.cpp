// The single-value functions: the algorithms on ScalarLanes, plus the tangent and the fixed-base
// powers, which the effect needs once per block or per setting rather than per sample.
#include "kernel/ExpAlgorithm.h"
#include "kernel/Lanes.h"
#include "kernel/LogAlgorithm.h"
#include "kernel/Maths.h"
#include "kernel/SinAlgorithm.h"
#include "kernel/TanhAlgorithm.h"

namespace kernel {
namespace {

using S = ScalarLanes;

// base^y = e^(y ln base) with y ln base formed as a double-double (ln base given as one).
double PowerOfBase(double y, double lnBaseHigh, double lnBaseLow) {
  double product, productError;
  TwoProduct(y, lnBaseHigh, product, productError);
  double low = productError + y * lnBaseLow;
  // Far beyond the range where e^x is finite and non-zero (or for a NaN or infinite y) only the
  // leading part matters, and the split of y may have overflowed.
  if (!(S::Abs(product) < 1000.0)) low = 0.0;
  return ExpOf<S>(product, low);
}

// n / d for double-doubles, rounded essentially once.
double Quotient(double n, double nLow, double d, double dLow) {
  const double q = n / d;
  double qd, qdError;
  TwoProduct(q, d, qd, qdError);
  const double remainder = (((n - qd) - qdError) + nLow) - q * dLow;
  return q + remainder / d;
}

}  // namespace

double Sin(double x) { return SinOf<S>(x); }
double Tanh(double x) { return TanhOf<S>(x); }
double Exp(double x) { return ExpOf<S>(x); }
double Log(double x) { return LogOf<S>(x); }

// tan x = sin r / cos r in even quadrants, -cos r / sin r in odd ones, both sides as
// double-doubles.
double Tan(double x) {
  const uint64_t sign = S::Bits(x) & (uint64_t{1} << 63);
  const QuarterTurns<S> q = ReduceQuarterTurnsOf<S>(S::Abs(x));
  double s, sLow, c, cLow;
  SinOfReduced<S>(q.r, q.rLow, s, sLow);
  CosOfReduced<S>(q.r, q.rLow, c, cLow);
  FastTwoSum(s, sLow, s, sLow);
  FastTwoSum(c, cLow, c, cLow);
  const double t = (q.quadrant & 1u) ? -Quotient(c, cLow, s, sLow) : Quotient(s, sLow, c, cLow);
  return S::FromBits(S::Bits(t) ^ sign);
}

double PowHundredth(double y) { return PowerOfBase(y, coefficients::kLnHundredthHi, coefficients::kLnHundredthLo); }

double PowTen(double y) { return PowerOfBase(y, coefficients::kLnTenHi, coefficients::kLnTenLo); }

}  // namespace kernel
