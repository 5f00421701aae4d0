#include "plugin/compressor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

namespace {

double Coef(double ms, double rate) { return std::pow(0.01, 1.0 / (ms * rate * 0.001)); }
double FromDb(double dB) { return std::pow(10.0, dB / 20.0); }

// Holds the envelope exactly at `level` (a level equal to the envelope releases onto itself)
// and answers the gain computer's result.
double GainAtLevel(compressor& cell, double level) {
  cell.envelope = level;
  return cell.processLinked(level, level);
}

TEST(GainCell, ConstructedState) {
  compressor cell;
  EXPECT_EQ(cell.attackCoef, Coef(5.0, 44100.0));
  EXPECT_EQ(cell.releaseCoef, Coef(50.0, 44100.0));
  EXPECT_EQ(cell.sampleRate, 44100.0);
  EXPECT_EQ(cell.envelope, 0.0);
  EXPECT_EQ(cell.holdSamples, 0);
  EXPECT_EQ(cell.ratio, 4.0);
  EXPECT_EQ(cell.slope, 0.75);
  EXPECT_EQ(cell.threshold, 0.0);
  EXPECT_EQ(cell.kneeFactor, 0.0);
  EXPECT_EQ(cell.kneeWidth, 0.0);
  EXPECT_EQ(cell.hardLimit, 0);
  EXPECT_EQ(cell.gainDb, 0.0);
}

struct GainCase {
  const char* what;
  double threshold, knee, ratio;
  int hardLimit;
  double envelopeDb;
  double expectedDb;
};

TEST(GainCell, GainComputer) {
  const GainCase cases[] = {
      {"knee centre", -20, 1, 3, 0, -20, -10.0 * 10.0 * (2.0 / 3.0) / 40.0},
      {"knee top joins the line", -20, 1, 3, 0, -10, -20.0 / 3.0},
      {"knee bottom", -20, 1, 3, 0, -30, 0.0},
      {"above the knee", -20, 1, 3, 0, 0, -40.0 / 3.0},
      {"below the knee", -20, 1, 3, 0, -40, 0.0},
      {"0 dB threshold is a hard knee, over", 0, 1, 4, 0, 6, -4.5},
      {"0 dB threshold is a hard knee, under", 0, 1, 4, 0, -0.5, 0.0},
      {"hard limit ignores the ratio", -10, 0, 2, 1, 0, -10.0},
  };
  for (const GainCase& c : cases) {
    SCOPED_TRACE(c.what);
    compressor cell;
    cell.setThreshold(c.threshold);
    cell.setKnee(c.knee);
    cell.setRatio(c.ratio);
    cell.setHardLimit(c.hardLimit);
    EXPECT_NEAR(GainAtLevel(cell, FromDb(c.envelopeDb)), c.expectedDb, 1e-9);
    EXPECT_EQ(cell.gainDb, GainAtLevel(cell, FromDb(c.envelopeDb)));
  }
}

TEST(GainCell, SilenceNeverBoosts) {
  compressor cell;
  cell.setThreshold(-20);
  cell.setKnee(1);
  EXPECT_EQ(cell.processLinked(0.0, 0.0), 0.0);
  // A ratio below 1 (the chain's ratio smoother rising from 0) inverts the slope: silence then
  // lands on +inf x negative slope, which is a full cut rather than a boost.
  cell.setRatio(0.5);
  EXPECT_EQ(cell.processLinked(0.0, 0.0), -INFINITY);
}

TEST(GainCell, KneeFollowsThresholdAndFactor) {
  compressor cell;
  cell.setKnee(0.5);
  cell.setThreshold(-20);
  EXPECT_EQ(cell.kneeWidth, 10.0);
  EXPECT_EQ(cell.kneeLow, -25.0);
  EXPECT_EQ(cell.kneeHigh, -15.0);
  cell.setKnee(2);
  EXPECT_EQ(cell.kneeWidth, 40.0);
  EXPECT_EQ(cell.kneeLow, -40.0);
  EXPECT_EQ(cell.kneeHigh, 0.0);
  cell.setHardLimit(1);
  cell.setRatio(2);
  EXPECT_EQ(cell.slope, 1.0);
  cell.setHardLimit(0);
  EXPECT_EQ(cell.slope, 0.5);
}

TEST(GainCell, LinkedLevelIsTheLargerSignedInput) {
  struct {
    double a, b, level;
  } cases[] = {{-0.9, 0.1, 0.1}, {0.1, -0.9, 0.1}, {-0.9, -0.3, 0.3}, {-0.5, -0.5, 0.5}};
  for (const auto& c : cases) {
    compressor cell;
    cell.processLinked(c.a, c.b);
    EXPECT_EQ(cell.envelope, (0.0 - c.level) * cell.attackCoef + c.level) << c.a << ", " << c.b;
  }
}

TEST(GainCell, ProcessScalesTheSampleByTheGain) {
  compressor cell;
  cell.setThreshold(-6);
  const double x = 0.8;
  cell.envelope = x;
  const double y = cell.process(x);
  EXPECT_LT(cell.gainDb, 0.0);
  EXPECT_EQ(y, x * std::exp(cell.gainDb * 0.1151292546497));
}

TEST(GainCell, TimesAreNinetyNinePercentSettlingTimes) {
  struct {
    double ms, rate;
    int samples;
  } cases[] = {{10, 44100, 441}, {5, 88200, 441}, {20, 48000, 960}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ms);
    compressor cell;
    cell.setup(0, c.ms, c.ms, 0, c.rate);
    for (int i = 0; i < c.samples; ++i) cell.processLinked(0.5, 0.5);
    EXPECT_NEAR(cell.envelope, 0.99 * 0.5, 1e-12);
    for (int i = 0; i < c.samples; ++i) cell.processLinked(0.0, 0.0);
    EXPECT_NEAR(cell.envelope, 0.01 * 0.99 * 0.5, 1e-12);
  }
}

TEST(GainCell, HoldDelaysTheRelease) {
  compressor cell;
  cell.setHold(1.0);  // 44 samples at 44100 Hz
  ASSERT_EQ(cell.holdSamples, 44);
  cell.envelope = 0.5;
  for (int i = 0; i < 44; ++i) cell.processLinked(0.0, 0.0);
  EXPECT_EQ(cell.envelope, 0.5);
  cell.processLinked(0.0, 0.0);
  EXPECT_EQ(cell.envelope, 0.5 * cell.releaseCoef);
  // A rise restarts the hold.
  cell.processLinked(0.9, 0.9);
  EXPECT_EQ(cell.holdCount, 0);
}

TEST(GainCell, HoldTimesOutsideTheIntegerRangeAreDefined) {
  compressor cell;
  cell.setHold(std::nan(""));
  EXPECT_EQ(cell.holdSamples, 0);
  cell.setHold(1e300);
  EXPECT_EQ(cell.holdSamples, INT32_MAX);
  cell.setup(0, 5.0, 50.0, -1e300, 44100.0);
  EXPECT_EQ(cell.holdSamples, INT32_MIN);
}

}  // namespace
