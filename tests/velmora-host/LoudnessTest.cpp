// Loudness and true peak against what BS.1770 / EBU R128 say of simple signals.
#include "tools/velmora-host/Loudness.h"
#include "tools/velmora-host/LoudnessThread.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using velmora_host::Loudness;
using velmora_host::LoudnessMeter;
using velmora_host::LoudnessThread;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRate = 48000.0;

// Measures `seconds` of a stereo signal given per frame, fed in uneven blocks.
Loudness measure(double seconds, double (*signal)(std::size_t frame)) {
  LoudnessMeter meter(2, kRate);
  const auto frames = static_cast<std::size_t>(seconds * kRate);
  std::vector<double> left(1000), right(1000);
  double* channels[2] = {left.data(), right.data()};
  for (std::size_t start = 0; start < frames;) {
    const std::size_t n = std::min<std::size_t>(start % 7 == 0 ? 1000 : 333, frames - start);
    for (std::size_t i = 0; i < n; ++i) left[i] = right[i] = signal(start + i);
    meter.add(channels, n);
    start += n;
  }
  return meter.result();
}

double sine997(std::size_t n, double dbfs) {
  return std::pow(10.0, dbfs / 20.0) * std::sin(2.0 * kPi * 997.0 * static_cast<double>(n) / kRate);
}

// A 997 Hz sine at -20 dBFS on both channels of a stereo pair reads -20 LUFS (0 dBFS on one
// channel alone would be -3.01 LUFS), with no range to speak of and its peak as true peak.
TEST(LoudnessMeter, SteadySineReadsItsLevel) {
  const Loudness l = measure(10.0, [](std::size_t n) { return sine997(n, -20.0); });
  EXPECT_NEAR(l.integratedLufs, -20.0, 0.1);
  EXPECT_NEAR(l.rangeLu, 0.0, 0.2);
  EXPECT_NEAR(l.truePeakDbtp, -20.0, 0.05);
}

// Ten seconds 10 dB apart: the range spans the two levels.
TEST(LoudnessMeter, TwoLevelsMakeARange) {
  const Loudness l = measure(20.0, [](std::size_t n) { return sine997(n, n < 10 * 48000 ? -20.0 : -30.0); });
  EXPECT_NEAR(l.rangeLu, 10.0, 0.5);
  EXPECT_NEAR(l.integratedLufs, -22.6, 0.3);  // the gated mean power of -20 and -30 LUFS
}

// A sine at a quarter of the rate, sampled 45 degrees off its crests: every sample sits 3 dB under
// the peak the waveform reaches between them, which the true peak finds.
TEST(LoudnessMeter, TruePeakFindsThePeakBetweenSamples) {
  const Loudness l =
      measure(2.0, [](std::size_t n) { return 0.5 * std::sin(2.0 * kPi * static_cast<double>(n) / 4.0 + kPi / 4.0); });
  EXPECT_NEAR(l.truePeakDbtp, 20.0 * std::log10(0.5), 0.3);
}

TEST(LoudnessMeter, SilenceAndShortAudioHaveNoLoudness) {
  const Loudness silent = measure(5.0, [](std::size_t) { return 0.0; });
  EXPECT_TRUE(std::isinf(silent.integratedLufs) && silent.integratedLufs < 0);
  EXPECT_TRUE(std::isinf(silent.truePeakDbtp) && silent.truePeakDbtp < 0);
  EXPECT_EQ(silent.rangeLu, 0.0);
  const Loudness blip = measure(0.2, [](std::size_t n) { return sine997(n, -6.0); });  // under one 400 ms block
  EXPECT_TRUE(std::isinf(blip.integratedLufs));
  EXPECT_NEAR(blip.truePeakDbtp, -6.0, 0.1);
}

// Measured on a thread of its own, the audio is measured in the order it came: exactly the in-line
// result, however the renderer cuts its blocks. A measurement abandoned half-way (a failed render)
// stops without waiting for the rest.
TEST(CrossThreadLoudness, GivesExactlyTheInLineResult) {
  const std::size_t frames = 8 * 48000;
  std::vector<double> left(frames), right(frames);
  for (std::size_t n = 0; n < frames; ++n) {
    left[n] = sine997(n, n < 4 * 48000 ? -14.0 : -31.0);
    right[n] = 0.3 * std::sin(2.0 * kPi * 61.0 * static_cast<double>(n) / kRate) * (n % 9000 < 4500 ? 1.0 : 0.2);
  }
  LoudnessMeter inLine(2, kRate);
  LoudnessThread threaded(2, kRate);
  std::size_t block = 1;
  for (std::size_t start = 0; start < frames; start += block, block = block * 7 % 9973 + 1) {
    const std::size_t n = std::min(block, frames - start);
    const double* channels[2] = {left.data() + start, right.data() + start};
    inLine.add(channels, n);
    threaded.add(channels, n);
  }
  const Loudness expected = inLine.result();
  const Loudness measured = threaded.result();
  EXPECT_EQ(measured.integratedLufs, expected.integratedLufs);
  EXPECT_EQ(measured.rangeLu, expected.rangeLu);
  EXPECT_EQ(measured.truePeakDbtp, expected.truePeakDbtp);
  EXPECT_GT(expected.rangeLu, 3.0);  // something to measure, not silence

  LoudnessThread abandoned(2, kRate);
  const double* channels[2] = {left.data(), right.data()};
  abandoned.add(channels, frames);
}

}  // namespace
