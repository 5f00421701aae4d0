// The kernel's three ways of computing a value, one at a time, over spans with SSE2 and over spans
// with AVX2, must give the same bits for every argument, and the values at the edges are the ones
// IEEE arithmetic calls for. A digest of many results pins the bits themselves, so the Windows
// build, which runs this test too, is held to the same values as the Linux one.
#include "kernel/Maths.h"
#include "tests/kernel/KernelArguments.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

using namespace kerneltest;

namespace {

using Scalar = double (*)(double);
using Span = void (*)(const double*, double*, int);

struct Function {
  const char* name;
  Scalar scalar;
  Span dispatched, sse2, avx2;
  std::vector<double> arguments;
};

std::vector<double> Common() {
  std::vector<double> x = Edges();
  Append(x, Binades(-1074, 1023, 20000, 1, true));
  Append(x, Uniform(-4.0, 4.0, 20000, 2));
  return x;
}

std::vector<Function> Functions() {
  std::vector<Function> f;
  std::vector<double> sin = Common();
  Append(sin, Uniform(0.0, 300.0, 20000, 3));
  Append(sin, Binades(19, 24, 2000, 4, true));  // both sides of the slow reduction's threshold
  Append(sin, NearQuarterTurns(3000));
  f.push_back({"sin", kernel::Sin, kernel::SinSpan, kernel::sse2::SinSpan, kernel::avx2::SinSpan, sin});
  std::vector<double> tanh = Common();
  Append(tanh, Uniform(-45.0, 45.0, 20000, 5));
  Append(tanh, Uniform(0.5, 0.6, 2000, 6));  // around the change of method
  f.push_back({"tanh", kernel::Tanh, kernel::TanhSpan, kernel::sse2::TanhSpan, kernel::avx2::TanhSpan, tanh});
  std::vector<double> exp = Common();
  Append(exp, Uniform(-760.0, 720.0, 20000, 7));
  Append(exp, Uniform(-746.0, -707.0, 2000, 8));  // subnormal results
  f.push_back({"exp", kernel::Exp, kernel::ExpSpan, kernel::sse2::ExpSpan, kernel::avx2::ExpSpan, exp});
  std::vector<double> log = Common();
  Append(log, Uniform(0.5, 2.0, 20000, 9));
  f.push_back({"log", kernel::Log, kernel::LogSpan, kernel::sse2::LogSpan, kernel::avx2::LogSpan, log});
  return f;
}

// Mixed-length spans starting at every offset, some computed in place.
void RunSpans(Span span, const std::vector<double>& x, std::vector<double>& out) {
  out.assign(x.size(), 0.0);
  size_t i = 0;
  int length = 0;
  while (i < x.size()) {
    const int n = static_cast<int>(std::min<size_t>(static_cast<size_t>(length % 37), x.size() - i));
    if (length % 3 == 0) {
      for (int k = 0; k < n; ++k) out[i + static_cast<size_t>(k)] = x[i + static_cast<size_t>(k)];
      span(out.data() + i, out.data() + i, n);
    } else {
      span(x.data() + i, out.data() + i, n);
    }
    i += static_cast<size_t>(n);
    ++length;
  }
}

std::string FirstDifference(const Function& f, const std::vector<double>& got, const char* path) {
  for (size_t i = 0; i < f.arguments.size(); ++i) {
    const double expected = f.scalar(f.arguments[i]);
    if (Bits(got[i]) != Bits(expected)) {
      char text[200];
      std::snprintf(text, sizeof text, "%s %s(%a) = %a, one at a time %a", path, f.name, f.arguments[i], got[i],
                    expected);
      return text;
    }
  }
  return "";
}

TEST(KernelPaths, SpansGiveTheBitsOfSingleValues) {
  for (const Function& f : Functions()) {
    std::vector<double> out;
    RunSpans(f.sse2, f.arguments, out);
    EXPECT_EQ(FirstDifference(f, out, "sse2"), "");
    RunSpans(f.dispatched, f.arguments, out);
    EXPECT_EQ(FirstDifference(f, out, "dispatched"), "");
    if (kernel::ProcessorHasAvx2()) {
      RunSpans(f.avx2, f.arguments, out);
      EXPECT_EQ(FirstDifference(f, out, "avx2"), "");
    }
  }
  if (!kernel::ProcessorHasAvx2()) GTEST_SKIP() << "no AVX2 on this processor: its path was not compared";
}

TEST(KernelPaths, EdgesAreTheIeeeValues) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double tiny = 4.9406564584124654e-324;
  struct Case {
    const char* what;
    double got, expected;
  };
  const Case cases[] = {
      {"sin(+0)", kernel::Sin(0.0), 0.0},
      {"sin(-0)", kernel::Sin(-0.0), -0.0},
      {"sin(tiny)", kernel::Sin(tiny), tiny},
      {"sin(-1e-300)", kernel::Sin(-1e-300), -1e-300},
      {"tanh(+0)", kernel::Tanh(0.0), 0.0},
      {"tanh(-0)", kernel::Tanh(-0.0), -0.0},
      {"tanh(-tiny)", kernel::Tanh(-tiny), -tiny},
      {"tanh(inf)", kernel::Tanh(inf), 1.0},
      {"tanh(-inf)", kernel::Tanh(-inf), -1.0},
      {"tanh(-25)", kernel::Tanh(-25.0), -1.0},
      {"exp(0)", kernel::Exp(0.0), 1.0},
      {"exp(-0)", kernel::Exp(-0.0), 1.0},
      {"exp(inf)", kernel::Exp(inf), inf},
      {"exp(-inf)", kernel::Exp(-inf), 0.0},
      {"exp(710)", kernel::Exp(710.0), inf},
      {"exp(-746)", kernel::Exp(-746.0), 0.0},
      {"exp(-745)", kernel::Exp(-745.0), tiny},
      {"exp(1e-300)", kernel::Exp(1e-300), 1.0},
      {"log(1)", kernel::Log(1.0), 0.0},
      {"log(0)", kernel::Log(0.0), -inf},
      {"log(-0)", kernel::Log(-0.0), -inf},
      {"log(inf)", kernel::Log(inf), inf},
      {"log(tiny)", kernel::Log(tiny), -744.44007192138122},
      {"log(2)", kernel::Log(2.0), 0.69314718055994531},
      {"tan(0)", kernel::Tan(0.0), 0.0},
      {"tan(-0)", kernel::Tan(-0.0), -0.0},
      {"0.01^0", kernel::PowHundredth(0.0), 1.0},
      {"0.01^1", kernel::PowHundredth(1.0), 0.01},
      {"0.01^inf", kernel::PowHundredth(inf), 0.0},
      {"0.01^1e300", kernel::PowHundredth(1e300), 0.0},
      {"0.01^-inf", kernel::PowHundredth(-inf), inf},
      {"10^0", kernel::PowTen(0.0), 1.0},
      {"10^1", kernel::PowTen(1.0), 10.0},
      {"10^2", kernel::PowTen(2.0), 100.0},
      {"10^-1", kernel::PowTen(-1.0), 0.1},
      {"10^400", kernel::PowTen(400.0), inf},
  };
  for (const Case& c : cases) EXPECT_EQ(Bits(c.got), Bits(c.expected)) << c.what << " = " << c.got;

  // Not a number in, not a number out; and where the result is undefined.
  const double nans[] = {kernel::Sin(nan), kernel::Sin(inf), kernel::Sin(-inf),         kernel::Tanh(nan),
                         kernel::Exp(nan), kernel::Log(nan), kernel::Log(-1.0),         kernel::Log(-inf),
                         kernel::Tan(nan), kernel::Tan(inf), kernel::PowHundredth(nan), kernel::PowTen(nan)};
  for (double v : nans) EXPECT_TRUE(std::isnan(v));
}

// FNV-1a over the bits of every result.
uint64_t Digest(double (*f)(double), const std::vector<double>& x) {
  uint64_t h = 1469598103934665603u;
  for (double v : x) {
    const uint64_t b = Bits(f(v));
    for (int i = 0; i < 8; ++i) {
      h ^= (b >> (8 * i)) & 0xFF;
      h *= 1099511628211u;
    }
  }
  return h;
}

// The values themselves: what the effect's output is made of, identical in every build and on
// every platform. A change of any function's bits must change these on purpose.
TEST(KernelPaths, ResultsAreTheSameBitsEverywhere) {
  const std::vector<double> x = Common();
  struct Pinned {
    const char* name;
    double (*f)(double);
    uint64_t digest;
  };
  const Pinned pinned[] = {
      {"sin", kernel::Sin, 0x20ed576ede8c3eb8u},     {"tanh", kernel::Tanh, 0x9a537cae0c25fcebu},
      {"exp", kernel::Exp, 0xe510c0ecce5eb6ceu},     {"log", kernel::Log, 0xed2d26f9ec650fd1u},
      {"tan", kernel::Tan, 0xbdc383aef2a8870bu},     {"0.01^y", kernel::PowHundredth, 0x68a8857e48dd0153u},
      {"10^y", kernel::PowTen, 0x1ac21890fc11ffdfu},
  };
  for (const Pinned& p : pinned) {
    EXPECT_EQ(Digest(p.f, x), p.digest) << p.name << ": 0x" << std::hex << Digest(p.f, x);
  }
}

}  // namespace
