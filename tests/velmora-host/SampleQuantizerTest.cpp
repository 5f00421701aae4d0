// Fixed-point output: rounded to the nearest step, clipped at full scale, 16-bit dithered.
#include "tools/support/SampleQuantizer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

using velmora_host::SampleFormat;
using velmora_host::SampleQuantizer;

namespace {

constexpr double kStep16 = 1.0 / 32768.0;
constexpr double kStep24 = 1.0 / 8388608.0;

struct Converted {
  std::vector<std::int32_t> codes;  // interleaved, as libsndfile's int functions take them
  std::vector<double> written;      // channel 0
};

// Converts mono `samples` in blocks of `block` frames.
Converted convert(SampleQuantizer& quantizer, const std::vector<double>& samples, std::size_t block) {
  Converted out{std::vector<std::int32_t>(samples.size()), std::vector<double>(samples.size())};
  for (std::size_t start = 0; start < samples.size(); start += block) {
    const std::size_t n = std::min(block, samples.size() - start);
    const double* in[1] = {samples.data() + start};
    double* written[1] = {out.written.data() + start};
    quantizer.Convert(in, n, written, out.codes.data() + start);
  }
  return out;
}

// Without dither each sample goes to the nearest step (the file library floored them, 0.5 step low
// on average), and what is written is that step exactly.
TEST(SampleQuantizer, RoundsToTheNearestStep) {
  struct Case {
    SampleFormat format;
    double sample;
    std::int32_t step;
  };
  const std::vector<Case> cases{
      {SampleFormat::Pcm16, 100.3 * kStep16, 100},
      {SampleFormat::Pcm16, 100.7 * kStep16, 101},
      {SampleFormat::Pcm16, -100.3 * kStep16, -100},
      {SampleFormat::Pcm16, -100.7 * kStep16, -101},
      {SampleFormat::Pcm16, 0.49 * kStep16, 0},
      {SampleFormat::Pcm16, -0.49 * kStep16, 0},
      {SampleFormat::Pcm24, 7.6 * kStep24, 8},
      {SampleFormat::Pcm24, -7.6 * kStep24, -8},
      {SampleFormat::Pcm24, 0.5 - 0.2 * kStep24, 4194304},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sample);
    SampleQuantizer quantizer(c.format, 1, false);
    const Converted out = convert(quantizer, {c.sample}, 1);
    const int shift = c.format == SampleFormat::Pcm16 ? 16 : 8;
    EXPECT_EQ(out.codes[0], c.step * (1 << shift));
    EXPECT_EQ(out.written[0], c.step * (c.format == SampleFormat::Pcm16 ? kStep16 : kStep24));
    EXPECT_EQ(quantizer.Clipped()[0], 0u);
  }
}

// Beyond full scale a sample is written at the limit and counted; the negative limit itself is a
// step the format holds. Each channel keeps its own count.
TEST(SampleQuantizer, ClipsAtFullScaleAndCountsIt) {
  for (const bool dither : {false, true}) {
    SCOPED_TRACE(dither);
    SampleQuantizer quantizer(SampleFormat::Pcm16, 2, dither);
    const std::vector<double> left{1.0, 1.5, -1.0, -1.2, 0.25, INFINITY};
    const std::vector<double> right(left.size(), 0.5);
    std::vector<double> writtenLeft(left.size()), writtenRight(left.size());
    std::vector<std::int32_t> codes(2 * left.size());
    const double* in[2] = {left.data(), right.data()};
    double* written[2] = {writtenLeft.data(), writtenRight.data()};
    quantizer.Convert(in, left.size(), written, codes.data());
    EXPECT_EQ(quantizer.Clipped(), (std::vector<std::uint64_t>{4, 0}));
    EXPECT_EQ(writtenLeft[0], 32767 * kStep16);
    EXPECT_EQ(writtenLeft[1], 32767 * kStep16);
    EXPECT_EQ(writtenLeft[2], -1.0);
    EXPECT_EQ(writtenLeft[3], -1.0);
    EXPECT_EQ(writtenLeft[5], 32767 * kStep16);
    EXPECT_EQ(codes[2], 32767 * 65536);  // frame 1, left
    EXPECT_EQ(codes[6], INT32_MIN);      // frame 3, left
  }
}

// TPDF dither: a level a quarter step above zero, which rounding alone writes as silence, comes out
// right on average, with the noise TPDF dither adds (a quarter step squared of power: rounding's
// twelfth plus the dither's sixth). The sequence is fixed, whatever the block sizes.
TEST(SampleQuantizer, DitherKeepsSubStepLevelsAndIsReproducible) {
  const std::vector<double> quarter(100000, 0.25 * kStep16);
  SampleQuantizer plain(SampleFormat::Pcm16, 1, false);
  const Converted rounded = convert(plain, quarter, 4096);
  for (const double w : rounded.written) ASSERT_EQ(w, 0.0);

  SampleQuantizer dithered(SampleFormat::Pcm16, 1, true);
  const Converted out = convert(dithered, quarter, 4096);
  double sum = 0.0, power = 0.0;
  for (const double w : out.written) {
    const double error = w / kStep16 - 0.25;
    sum += error;
    power += error * error;
  }
  EXPECT_NEAR(sum / quarter.size(), 0.0, 0.01);
  EXPECT_NEAR(power / quarter.size(), 0.25, 0.01);

  SampleQuantizer again(SampleFormat::Pcm16, 1, true);
  EXPECT_EQ(convert(again, quarter, 37).codes, out.codes);
  // 24-bit output is never dithered.
  EXPECT_FALSE(SampleQuantizer(SampleFormat::Pcm24, 1, true).Dithers());
}

TEST(SampleQuantizer, FloatKeepsTheSamples) {
  const std::vector<double> samples{0.1, 1.5, -3.0, 1e-40};
  SampleQuantizer single(SampleFormat::Float32, 1, true);
  const Converted narrowed = convert(single, samples, 4);
  for (std::size_t i = 0; i < samples.size(); ++i)
    EXPECT_EQ(narrowed.written[i], static_cast<double>(static_cast<float>(samples[i])));
  SampleQuantizer full(SampleFormat::Float64, 1, true);
  EXPECT_EQ(convert(full, samples, 4).written, samples);
  EXPECT_EQ(single.Clipped()[0], 0u);
  EXPECT_FALSE(single.FixedPoint());
}

}  // namespace
