// Loudness and true peak against what BS.1770 / EBU R128 say of simple signals.
#include "tools/support/Loudness.h"
#include "tools/support/LoudnessThread.h"
#include "tools/support/TruePeak.h"

#include <ebur128.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
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
    meter.Add(channels, n);
    start += n;
  }
  return meter.Result();
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

// What the measurement cannot take is said before any audio, with the reason; a meter made for it
// anyway measures silence instead of failing.
TEST(LoudnessMeter, SaysWhatItCannotMeasure) {
  struct Case {
    std::size_t channels;
    double rate;
    const char* refusal;  // null: measurable
  };
  for (const Case& c : {Case{2, kRate, nullptr}, Case{1, 8000.0, nullptr},
                        Case{0, kRate, "cannot measure loudness of 0 channels at 48000 Hz"},
                        Case{2, 8.0, "cannot measure loudness of 2 channels at 8 Hz"}}) {
    std::string error;
    EXPECT_EQ(LoudnessMeter::Measurable(c.channels, c.rate, &error), c.refusal == nullptr)
        << c.channels << " " << c.rate;
    EXPECT_EQ(error, c.refusal ? c.refusal : "");
    if (!c.refusal) continue;
    LoudnessMeter meter(c.channels, c.rate);
    std::vector<std::vector<double>> audio(c.channels, std::vector<double>(64, 0.5));
    std::vector<double*> pointers;
    for (auto& channel : audio) pointers.push_back(channel.data());
    meter.Add(pointers.data(), 64);
    const Loudness none = meter.Result();
    EXPECT_TRUE(std::isinf(none.integratedLufs) && std::isinf(none.truePeakDbtp));
  }
}

double libebur128TruePeak(const std::vector<double>& left, const std::vector<double>& right, double rate) {
  std::vector<double> interleaved;
  for (std::size_t n = 0; n < left.size(); ++n) interleaved.insert(interleaved.end(), {left[n], right[n]});
  ebur128_state* library = ebur128_init(2, static_cast<unsigned long>(rate), EBUR128_MODE_TRUE_PEAK);
  if (!library) return std::nan("");
  ebur128_add_frames_double(library, interleaved.data(), left.size());
  double peak = 0.0, value = 0.0;
  for (unsigned channel = 0; channel < 2; ++channel)
    if (ebur128_true_peak(library, channel, &value) == EBUR128_SUCCESS) peak = std::max(peak, value);
  ebur128_destroy(&library);
  return peak;
}

// Our true peak at the rates of each oversampling factor: on signals whose peak is known it finds
// that peak between the samples, and on a cluster of tones across the band it reads what
// libebur128 (the reference implementation of the recommendation's true peak) reads.
TEST(TruePeakMeter, FindsKnownPeaksAndAgreesWithLibebur128) {
  struct Case {
    const char* name;
    double knownPeak;  // 0: unknown, compared with libebur128
    double (*signal)(double t, double rate);
  };
  const Case cases[] = {
      {"quarter-rate sine off its crests", 0.5,
       [](double t, double rate) { return 0.5 * std::sin(2.0 * kPi * rate / 4.0 * t + kPi / 4.0); }},
      {"sweep to 0.4 of the rate", 0.7,
       [](double t, double rate) { return 0.7 * std::sin(2.0 * kPi * (20.0 * t + 0.5 * 0.2 * rate * t * t)); }},
      {"tone cluster", 0.0,
       [](double t, double rate) {
         double sum = 0.0;
         for (int k = 1; k <= 7; ++k) sum += 0.12 * std::sin(2.0 * kPi * rate * 0.05 * k * t + k * k);
         return sum;
       }},
  };
  for (double rate : {44100.0, 48000.0, 96000.0, 192000.0}) {
    for (const Case& c : cases) {
      // At 192 kHz the recommendation measures the samples themselves: a tone at a quarter of that
      // rate (48 kHz) is beyond what it asks to find between them.
      if (rate >= 192000.0 && c.knownPeak == 0.5) continue;
      const auto frames = static_cast<std::size_t>(rate);
      std::vector<double> left(frames), right(frames);
      for (std::size_t n = 0; n < frames; ++n) {
        // Faded in over 50 ms: a sine switched on at full level overshoots between its first samples.
        const double t = static_cast<double>(n) / rate;
        left[n] = c.signal(t, rate) * (t < 0.05 ? 0.5 - 0.5 * std::cos(kPi * t / 0.05) : 1.0);
        right[n] = 0.5 * left[n];
      }
      velmora_host::TruePeakMeter ours(2, rate);
      const double* channels[2] = {left.data(), right.data()};
      ours.Add(channels, frames);
      const double expected = c.knownPeak > 0.0 ? c.knownPeak : libebur128TruePeak(left, right, rate);
      EXPECT_NEAR(20.0 * std::log10(ours.Peak()), 20.0 * std::log10(expected), 0.03)
          << c.name << " at " << rate << " Hz";
    }
  }
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
    inLine.Add(channels, n);
    threaded.Add(channels, n);
  }
  const Loudness expected = inLine.Result();
  const Loudness measured = threaded.Result();
  EXPECT_EQ(measured.integratedLufs, expected.integratedLufs);
  EXPECT_EQ(measured.rangeLu, expected.rangeLu);
  EXPECT_EQ(measured.truePeakDbtp, expected.truePeakDbtp);
  EXPECT_GT(expected.rangeLu, 3.0);  // something to measure, not silence

  LoudnessThread abandoned(2, kRate);
  const double* channels[2] = {left.data(), right.data()};
  abandoned.Add(channels, frames);
}

}  // namespace
