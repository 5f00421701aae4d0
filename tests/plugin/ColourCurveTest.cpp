// The colour curve over a span, on each instruction set's path, must give every value the bits
// the one-value curve gives it: in place or not, at every length and offset a span can have, for
// music-level samples and for what hostile input makes of the powers (beyond single precision,
// overflowing cubes, infinities, NaN).
#include "plugin/ColourCurve.h"
#include "tests/kernel/KernelArguments.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

using namespace kerneltest;

namespace {

using SpanPath = void (*)(const double*, double*, int);

std::vector<double> Arguments() {
  std::vector<double> x = Edges();
  Append(x, Uniform(-1.6, 1.6, 20000, 11));  // music, loud music
  // Where x^3 or x^4 crosses 0.55 (a tangent changes method) and x^4 crosses pi / 4 (the sine
  // reduces its argument), and a few loud runs in a row so whole vectors change method.
  for (double edge : {std::cbrt(0.55), std::pow(0.55, 0.25), std::pow(0.7853981633974483, 0.25)}) {
    Append(x, Uniform(edge - 1e-3, edge + 1e-3, 200, 12));
    Append(x, Uniform(-edge - 1e-3, -edge + 1e-3, 200, 13));
  }
  Append(x, Uniform(0.9, 1.2, 400, 14));
  Append(x, Binades(-1074, 1023, 20000, 15, true));  // tiny, huge and overflowing powers
  Append(x, Binades(4, 7, 2000, 16, true));          // x^4 past the sine's fast reduction
  return x;
}

// Spans of every length up to the longest, at shifting offsets; every third computed in place.
std::string FirstDifference(SpanPath path, const char* name, const std::vector<double>& x) {
  std::vector<double> out(x.size());
  size_t i = 0;
  for (int round = 0; i < x.size(); ++round) {
    const int n = static_cast<int>(std::min<size_t>(static_cast<size_t>(round % (kColourSpanMax + 1)), x.size() - i));
    if (round % 3 == 0) {
      for (int k = 0; k < n; ++k) out[i + static_cast<size_t>(k)] = x[i + static_cast<size_t>(k)];
      path(out.data() + i, out.data() + i, n);
    } else {
      path(x.data() + i, out.data() + i, n);
    }
    i += static_cast<size_t>(n);
  }
  for (size_t k = 0; k < x.size(); ++k) {
    const double expected = ColourCurve(x[k]);
    if (Bits(out[k]) != Bits(expected)) {
      char text[200];
      std::snprintf(text, sizeof text, "%s: ColourCurve(%a) = %a over a span, %a alone", name, x[k], out[k], expected);
      return text;
    }
  }
  return "";
}

TEST(ColourCurve, SpansGiveTheBitsOfSingleValues) {
  const std::vector<double> x = Arguments();
  EXPECT_EQ(FirstDifference(colourcurve::Sse2Span, "sse2", x), "");
  EXPECT_EQ(FirstDifference(ColourCurveSpan, "dispatched", x), "");
  if (!kernel::ProcessorHasAvx2()) GTEST_SKIP() << "no AVX2 on this processor: its path was not compared";
  EXPECT_EQ(FirstDifference(colourcurve::Avx2Span, "avx2", x), "");
}

}  // namespace
