#include "plugin/FilterSection.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double kRate = 44100.0;

FilterSection Make(int32_t kind, double hz, double q, double gainDb) {
  FilterSection s;
  s.kind = kind;
  s.fc = hz / kRate;
  s.q = q;
  s.gainDb = gainDb;
  s.SetCoefficients();
  return s;
}

// Gain in dB of a steady sine at hz: one second to settle, then the power ratio over one
// second (a whole number of cycles for whole-Hz frequencies).
double MeasureDb(FilterSection s, double hz) {
  const int n = static_cast<int>(kRate);
  double inPower = 0.0, outPower = 0.0;
  for (int i = 0; i < 2 * n; ++i) {
    const float x = static_cast<float>(0.5 * std::sin(2.0 * 3.141592653589793 * hz * i / kRate));
    const float y = s.ProcessSample(x);
    if (i >= n) {
      inPower += double(x) * x;
      outPower += double(y) * y;
    }
  }
  return 10.0 * std::log10(outPower / inPower);
}

struct ResponseCase {
  int32_t kind;
  double cornerHz, q, gainDb;
  double probeHz;
  double lowDb, highDb;  // accepted range of the measured gain
};

TEST(FilterSection, Responses) {
  using F = FilterSection;
  const ResponseCase cases[] = {
      // DC blocker of the main path: transparent at 1 kHz, blocks 1 Hz.
      {F::kHighPass, 10, 0.8, 0, 1000, -0.01, 0.01},
      {F::kHighPass, 10, 0.8, 0, 1, -200, -30},
      // Detector shelf at 20 Hz, -7 dB: everything from 20 Hz up is 7.0 to 7.15 dB down.
      {F::kHighShelf, 20, 0.207, -7, 20, -7.16, -7.0},
      {F::kHighShelf, 20, 0.207, -7, 50, -7.16, -7.0},
      {F::kHighShelf, 20, 0.207, -7, 1000, -7.16, -6.995},
      {F::kHighShelf, 20, 0.207, -7, 15000, -7.16, -6.995},
      // The same shelf at 360 Hz.
      {F::kHighShelf, 360, 0.207, -7, 50, -3.55, -3.45},
      {F::kHighShelf, 360, 0.207, -7, 100, -5.68, -5.58},
      {F::kHighShelf, 360, 0.207, -7, 500, -7.16, -7.0},
      {F::kHighShelf, 360, 0.207, -7, 1000, -7.17, -7.12},
      {F::kHighShelf, 360, 0.207, -7, 10000, -7.16, -7.0},
      // The broad +0.3 dB presence peak.
      {F::kPeak, 1500, 0.107, 0.3, 1500, 0.295, 0.305},
      {F::kPeak, 1500, 0.107, 0.3, 500, 0.27, 0.29},
      {F::kPeak, 1500, 0.107, 0.3, 5000, 0.26, 0.28},
      {F::kPeak, 1500, 0.107, 0.3, 100, 0.0, 0.1},
      {F::kPeak, 1500, 0.107, 0.3, 15000, 0.0, 0.1},
      // Cuts mirror boosts; boosting shelf lifts the top.
      {F::kPeak, 1500, 0.207, -8, 1500, -8.01, -7.99},
      {F::kHighShelf, 80, 0.207, 4.5, 5000, 4.49, 4.6},
  };
  for (const ResponseCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << c.kind << " at " << c.cornerHz << " Hz, gain " << c.gainDb
                                    << ", probe " << c.probeHz << " Hz");
    const double dB = MeasureDb(Make(c.kind, c.cornerHz, c.q, c.gainDb), c.probeHz);
    EXPECT_GE(dB, c.lowDb);
    EXPECT_LE(dB, c.highDb);
  }
}

TEST(FilterSection, ZeroGainIsFlatForBothSignsOfZero) {
  for (double zero : {0.0, -0.0}) {
    for (int32_t kind : {FilterSection::kPeak, FilterSection::kHighShelf}) {
      const FilterSection s = Make(kind, 1000, 0.207, zero);
      // Flat: numerator equals denominator.
      EXPECT_NEAR(s.a1, s.b1, 1e-15);
      EXPECT_NEAR(s.a2, s.b2, 1e-15);
      EXPECT_NEAR(s.a0, 1.0, 1e-15);
    }
  }
}

TEST(FilterSection, CoefficientChangeKeepsTheState) {
  FilterSection s = Make(FilterSection::kHighPass, 10, 0.8, 0);
  for (int i = 0; i < 100; ++i) s.ProcessSample(0.25f);
  const double z1 = s.z1, z2 = s.z2;
  s.fc = 80 / kRate;
  s.SetCoefficients();
  EXPECT_EQ(s.z1, z1);
  EXPECT_EQ(s.z2, z2);
}

TEST(FilterSection, SamplesEnterAndLeaveInSinglePrecision) {
  // a1 = 1 puts the widened input straight into the double state.
  FilterSection s;
  s.a0 = 0.0;
  s.a1 = 1.0;
  s.ProcessSample(static_cast<float>(0.1));
  EXPECT_EQ(s.z1, static_cast<double>(0.1f));
  EXPECT_NE(s.z1, 0.1);

  // The double result is rounded on the way out while the state keeps every bit.
  FilterSection t;
  t.a0 = 1.0 / 3.0;
  t.a1 = 1.0 / 3.0;
  EXPECT_EQ(t.ProcessSample(1.0f), static_cast<float>(1.0 / 3.0));
  EXPECT_EQ(t.z1, 1.0 / 3.0);
}

TEST(FilterSection, UnknownKindKeepsItsCoefficients) {
  FilterSection s;
  s.kind = 3;
  s.SetCoefficients();
  EXPECT_EQ(s.a0, 1.0);
  EXPECT_EQ(s.a1, 0.0);
  EXPECT_EQ(s.b2, 0.0);
}

}  // namespace
