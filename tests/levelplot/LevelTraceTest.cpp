#include "tools/levelplot/LevelTrace.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr double kRate = 48000.0;

// Interleaved stereo: a 1 kHz sine at amplitude, both channels alike.
std::vector<float> Sine(double amplitude, size_t frames) {
  std::vector<float> s(frames * 2);
  for (size_t i = 0; i < frames; ++i)
    s[2 * i] = s[2 * i + 1] = static_cast<float>(amplitude * std::sin(2.0 * M_PI * 1000.0 * double(i) / kRate));
  return s;
}

std::vector<float> Scaled(std::vector<float> s, double gain) {
  for (float& v : s) v = static_cast<float>(v * gain);
  return s;
}

TEST(LevelTrace, SineAtMinus6DbfsReadsMinus9RmsAndMinus6Peak) {
  const double amplitude = std::pow(10.0, -6.0 / 20.0);
  const std::vector<float> in = Sine(amplitude, 48000);
  const std::vector<float> out = Scaled(in, 0.5);  // 6.02 dB down
  const LevelTrace t = ComputeLevelTrace(in.data(), out.data(), 48000, 2, kRate, 10.0);

  ASSERT_EQ(t.WindowCount(), 100u);
  EXPECT_DOUBLE_EQ(t.windowSeconds, 0.01);
  EXPECT_DOUBLE_EQ(t.totalSeconds, 1.0);
  for (size_t i = 0; i < t.WindowCount(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(t.inRmsDb[i], -9.03, 0.02);  // a sine's RMS sits 3.01 dB under its peak
    EXPECT_NEAR(t.inPeakDb[i], -6.0, 0.02);
    EXPECT_NEAR(t.outRmsDb[i], -15.05, 0.02);
    EXPECT_NEAR(t.outPeakDb[i], -12.02, 0.02);
    EXPECT_NEAR(t.gainChangeDb[i], -6.02, 0.001);  // output minus input
  }
}

TEST(LevelTrace, PlanarAndInterleavedAgreeAndTheLastWindowHoldsTheRest) {
  const size_t frames = 1000;  // 2.5 windows of 8 ms at 50 kHz
  std::vector<float> inI(frames * 2), outI(frames * 2);
  std::vector<double> inL(frames), inR(frames), outL(frames), outR(frames);
  for (size_t i = 0; i < frames; ++i) {
    inL[i] = inI[2 * i] = static_cast<float>(0.25 * std::sin(0.05 * double(i)));
    inR[i] = inI[2 * i + 1] = static_cast<float>(0.5 * std::cos(0.03 * double(i)));
    outL[i] = outI[2 * i] = static_cast<float>(2.0 * inL[i]);
    outR[i] = outI[2 * i + 1] = static_cast<float>(inR[i]);
  }
  const double* in[] = {inL.data(), inR.data()};
  const double* out[] = {outL.data(), outR.data()};
  const LevelTrace a = ComputeLevelTrace(inI.data(), outI.data(), frames, 2, 50000.0, 8.0);
  const LevelTrace b = ComputeLevelTrace(in, out, frames, 2, 50000.0, 8.0);
  // A host's planar vectors: a longer output (a tail) is measured as far as the input goes.
  std::vector<double> tailL = outL, tailR = outR;
  tailL.resize(frames + 300, 0.0);
  tailR.resize(frames + 300, 0.0);
  const LevelTrace c = ComputeLevelTrace({inL, inR}, {tailL, tailR}, 50000.0, 8.0);
  ASSERT_EQ(a.WindowCount(), 3u);
  EXPECT_DOUBLE_EQ(a.totalSeconds, 0.02);
  EXPECT_EQ(a.inRmsDb, b.inRmsDb);
  EXPECT_EQ(a.outPeakDb, b.outPeakDb);
  EXPECT_EQ(a.gainChangeDb, b.gainChangeDb);
  EXPECT_EQ(a.outRmsDb, c.outRmsDb);
  EXPECT_DOUBLE_EQ(c.totalSeconds, 0.02);
  // The louder right channel decides the peak; both channels pool into the RMS.
  EXPECT_NEAR(a.inPeakDb[0], -6.02, 0.05);
}

TEST(LevelTrace, SilenceHasAFloorAndNoGainChange) {
  // First half silent, second half -20 dBFS peaks; the output is a copy.
  std::vector<float> in(960 * 2, 0.0f);
  for (size_t i = 480; i < 960; ++i) in[2 * i] = in[2 * i + 1] = (i % 2) ? 0.1f : -0.1f;
  const LevelTrace t = ComputeLevelTrace(in.data(), in.data(), 960, 2, kRate, 10.0);
  ASSERT_EQ(t.WindowCount(), 2u);
  EXPECT_EQ(t.inRmsDb[0], kSilenceDb);
  EXPECT_EQ(t.inPeakDb[0], kSilenceDb);
  EXPECT_TRUE(std::isnan(t.gainChangeDb[0]));
  EXPECT_NEAR(t.inRmsDb[1], -20.0, 1e-4);
  EXPECT_EQ(t.gainChangeDb[1], 0.0f);

  // A window just under the floor has no gain change either.
  std::vector<float> quiet(480 * 2, 0.0009f), louder(480 * 2, 0.009f);  // -60.9 dBFS in, +20 dB out
  const LevelTrace q = ComputeLevelTrace(quiet.data(), louder.data(), 480, 2, kRate, 10.0);
  ASSERT_EQ(q.WindowCount(), 1u);
  EXPECT_TRUE(std::isnan(q.gainChangeDb[0]));
}

TEST(LevelTrace, NothingToMeasureGivesAnEmptyTrace) {
  const std::vector<float> s(100, 0.5f);
  const double* none[] = {nullptr};
  EXPECT_EQ(ComputeLevelTrace(s.data(), s.data(), 0, 1, kRate).WindowCount(), 0u);
  EXPECT_EQ(ComputeLevelTrace(s.data(), s.data(), 100, 0, kRate).WindowCount(), 0u);
  EXPECT_EQ(ComputeLevelTrace(s.data(), s.data(), 100, 1, 0.0).WindowCount(), 0u);
  EXPECT_EQ(ComputeLevelTrace(s.data(), s.data(), 100, 1, kRate, 0.0).WindowCount(), 0u);
  EXPECT_EQ(ComputeLevelTrace(nullptr, s.data(), 100, 1, kRate).WindowCount(), 0u);
  EXPECT_EQ(ComputeLevelTrace(none, none, 100, 1, kRate).WindowCount(), 0u);
  // A window shorter than a sample still measures sample by sample.
  EXPECT_EQ(ComputeLevelTrace(s.data(), s.data(), 100, 1, kRate, 0.001).WindowCount(), 100u);
}

}  // namespace
