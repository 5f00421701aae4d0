// Accuracy of the kernel's functions against GNU MPFR (200-bit arithmetic, then the exact value's
// distance to ours in units in the last place of the exact value). For each function: more than a
// million arguments spread over the range the effect can feed it, plus the edges (zeros, the
// smallest subnormals, range ends, infinities, NaN). The worst error found is printed; every
// function must stay within 1 ulp everywhere.
//
// The ranges the effect feeds (documented with the kernel in README.md):
//   sin     x^4 of a sample of the colour curve: [0, 2^20] for any level up to +30 dBFS, beyond
//           that up to overflow for hostile samples (taken by the exact slow reduction);
//   tanh    x^3 and x^4 of the same: any sign, saturating to +-1 from 19.1 on;
//   exp     gains in dB times ln 10 / 20: [-746, 0] and, while the ratio glides up from 0 after
//           construction, small positive values; the meter's rate factor in [-1, 0];
//   log     envelopes: every positive double, 0 (silence) and infinity;
//   tan     pi fc for the filters: (0, pi / 2);
//   0.01^y  the cells' time constants, y = 1 / (ms rate / 1000): every positive double;
//   10^y    the filters' V = 10^(|dB| / 20) and the make-up gain 10^(step / 10): [0, 1].
#include "kernel/Maths.h"
#include "tests/kernel/KernelArguments.h"

#include <gtest/gtest.h>
#include <mpfr.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <string>
#include <vector>

using namespace kerneltest;

namespace {

constexpr mpfr_prec_t kPrecision = 200;

// The exact function into `result`, rounded to kPrecision bits.
using Exact = std::function<void(mpfr_t result, const mpfr_t x)>;

// |computed - exact| in ulps of the exact value (ulps of the largest binade beyond it).
double UlpError(double computed, const mpfr_t exact) {
  if (mpfr_nan_p(exact)) return std::isnan(computed) ? 0.0 : std::numeric_limits<double>::infinity();
  if (std::isnan(computed)) return std::numeric_limits<double>::infinity();
  // The correctly rounded value (an overflow to infinity or an underflow to zero included).
  const double rounded = mpfr_get_d(exact, MPFR_RNDN);
  if (computed == rounded && std::signbit(computed) == std::signbit(rounded)) return 0.0;
  mpfr_t c, diff, ulp;
  mpfr_inits2(kPrecision, c, diff, ulp, static_cast<mpfr_ptr>(nullptr));
  if (std::isinf(computed)) {
    // An infinite result stands for 2^1024, where rounding up from the largest double lands.
    mpfr_set_ui_2exp(c, 1, 1024, MPFR_RNDN);
    if (computed < 0) mpfr_neg(c, c, MPFR_RNDN);
  } else {
    mpfr_set_d(c, computed, MPFR_RNDN);
  }
  double error;
  if (mpfr_inf_p(exact)) {
    error = mpfr_equal_p(c, exact) || (std::isinf(computed) && (computed > 0) == (mpfr_sgn(exact) > 0))
                ? 0.0
                : std::numeric_limits<double>::infinity();
  } else {
    long e = mpfr_zero_p(exact) ? -1074 : mpfr_get_exp(exact) - 1;  // exact = m 2^e, 1 <= m < 2
    if (e < -1022) e = -1022;
    if (e > 1023) e = 1023;
    mpfr_set_ui_2exp(ulp, 1, e - 52, MPFR_RNDN);
    mpfr_sub(diff, c, exact, MPFR_RNDN);
    mpfr_abs(diff, diff, MPFR_RNDN);
    mpfr_div(diff, diff, ulp, MPFR_RNDN);
    error = mpfr_get_d(diff, MPFR_RNDU);
  }
  mpfr_clears(c, diff, ulp, static_cast<mpfr_ptr>(nullptr));
  return error;
}

struct Worst {
  double error = 0.0;
  double argument = 0.0;
  double computed = 0.0;
};

Worst Measure(double (*f)(double), const Exact& exact, const std::vector<double>& arguments) {
  Worst worst;
  mpfr_t x, y;
  mpfr_inits2(kPrecision, x, y, static_cast<mpfr_ptr>(nullptr));
  for (double a : arguments) {
    mpfr_set_d(x, a, MPFR_RNDN);
    exact(y, x);
    const double c = f(a);
    const double e = UlpError(c, y);
    if (!(e <= worst.error)) worst = {e, a, c};
  }
  mpfr_clears(x, y, static_cast<mpfr_ptr>(nullptr));
  return worst;
}

// The doubles nearest k pi / 2 for k = 1 .. count, and their neighbours.
std::vector<double> ExactNearQuarterTurns(int count) {
  std::vector<double> out;
  mpfr_t q;
  mpfr_init2(q, kPrecision);
  for (int k = 1; k <= count; ++k) {
    mpfr_const_pi(q, MPFR_RNDN);
    mpfr_mul_ui(q, q, static_cast<unsigned long>(k), MPFR_RNDN);
    mpfr_div_2ui(q, q, 1, MPFR_RNDN);
    const double c = mpfr_get_d(q, MPFR_RNDN);
    out.push_back(std::nextafter(c, 0.0));
    out.push_back(c);
    out.push_back(std::nextafter(c, 1e308));
  }
  mpfr_clear(q);
  return out;
}

// base^y with base = num / den, exactly: e^(y ln base) in 200-bit arithmetic.
Exact PowerOf(unsigned long num, unsigned long den) {
  return [num, den](mpfr_t result, const mpfr_t x) {
    mpfr_t lnBase;
    mpfr_init2(lnBase, kPrecision + 64);
    mpfr_set_ui(lnBase, num, MPFR_RNDN);
    mpfr_div_ui(lnBase, lnBase, den, MPFR_RNDN);
    mpfr_log(lnBase, lnBase, MPFR_RNDN);
    mpfr_mul(lnBase, lnBase, x, MPFR_RNDN);
    mpfr_exp(result, lnBase, MPFR_RNDN);
    mpfr_clear(lnBase);
  };
}

struct Function {
  const char* name;
  double (*f)(double);
  Exact exact;
  std::vector<double> arguments;
};

std::vector<Function> Functions() {
  std::vector<Function> list;
  {
    std::vector<double> x = Edges();
    Append(x, Uniform(0.0, 16.0, 400000, 11));         // x^4 of samples up to +6 dBFS
    Append(x, Binades(-1074, 19, 300000, 12, false));  // the fast reduction's whole range
    Append(x, Uniform(0.0, 0x1p20, 100000, 13));
    Append(x, Binades(20, 1023, 100000, 14, true));  // the exact reduction
    Append(x, Binades(-1074, 1023, 50000, 15, true));
    Append(x, ExactNearQuarterTurns(20000));
    list.push_back({"sin", kernel::Sin, [](mpfr_t r, const mpfr_t a) { mpfr_sin(r, a, MPFR_RNDN); }, x});
  }
  {
    std::vector<double> x = Edges();
    Append(x, Uniform(-2.0, 2.0, 400000, 21));
    Append(x, Uniform(-20.0, 20.0, 200000, 22));
    Append(x, Uniform(0.5, 0.6, 100000, 23));  // where the method changes
    Append(x, Binades(-1074, 6, 300000, 24, true));
    list.push_back({"tanh", kernel::Tanh, [](mpfr_t r, const mpfr_t a) { mpfr_tanh(r, a, MPFR_RNDN); }, x});
  }
  {
    std::vector<double> x = Edges();
    Append(x, Uniform(-746.0, 710.0, 500000, 31));
    Append(x, Uniform(-10.0, 1.0, 200000, 32));
    Append(x, Uniform(-745.2, -708.0, 100000, 33));  // subnormal results
    Append(x, Binades(-1074, 9, 250000, 34, true));
    list.push_back({"exp", kernel::Exp, [](mpfr_t r, const mpfr_t a) { mpfr_exp(r, a, MPFR_RNDN); }, x});
  }
  {
    std::vector<double> x = Edges();
    Append(x, Binades(-1074, 1023, 500000, 41, false));
    Append(x, Uniform(0.5, 2.0, 300000, 42));  // near 1, where the result is small
    Append(x, Uniform(0.0, 4.0, 200000, 43));
    list.push_back({"log", kernel::Log, [](mpfr_t r, const mpfr_t a) { mpfr_log(r, a, MPFR_RNDN); }, x});
  }
  {
    std::vector<double> x = Edges();
    Append(x, Uniform(0.0, 1.5707963267948966, 800000, 51));
    Append(x, Binades(-1074, 12, 200000, 52, true));
    Append(x, ExactNearQuarterTurns(2000));
    list.push_back({"tan", kernel::Tan, [](mpfr_t r, const mpfr_t a) { mpfr_tan(r, a, MPFR_RNDN); }, x});
  }
  {
    std::vector<double> x = Edges();
    Append(x, Binades(-150, 8, 800000, 61, false));
    Append(x, Uniform(0.0, 200.0, 200000, 62));
    list.push_back({"0.01^y", kernel::PowHundredth, PowerOf(1, 100), x});
  }
  {
    std::vector<double> x = Edges();
    Append(x, Uniform(0.0, 1.0, 600000, 71));
    Append(x, Uniform(-330.0, 310.0, 200000, 72));
    Append(x, Binades(-80, 8, 200000, 73, true));
    list.push_back({"10^y", kernel::PowTen, PowerOf(10, 1), x});
  }
  return list;
}

TEST(KernelAccuracy, EveryFunctionWithinOneUlp) {
  for (const Function& f : Functions()) {
    const Worst w = Measure(f.f, f.exact, f.arguments);
    std::printf("%-7s %8zu arguments, worst error %.4f ulp at %a (%.17g gives %.17g)\n", f.name, f.arguments.size(),
                w.error, w.argument, w.argument, w.computed);
    EXPECT_LE(w.error, 1.0) << f.name << " at " << w.argument;
  }
}

}  // namespace
