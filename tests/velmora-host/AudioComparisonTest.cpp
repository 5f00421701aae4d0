// The null test's arithmetic on audio held in memory.
#include "tools/support/AudioComparison.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

using velmora_host::AudioData;
using velmora_host::AudioDifference;
using velmora_host::CompareAudio;
using velmora_host::MemorySource;

namespace {

AudioDifference compare(const AudioData& a, const AudioData& b, double tolerance = 0.0) {
  MemorySource sa(a), sb(b);
  std::string error;
  const std::optional<AudioDifference> d = CompareAudio(sa, sb, tolerance, &error);
  EXPECT_TRUE(d) << error;
  return d.value_or(AudioDifference{});
}

// Audio held in memory whose reading fails once `failAt` frames are delivered.
class FailingSource : public MemorySource {
public:
  FailingSource(const AudioData& audio, std::size_t failAt) : MemorySource(audio), mLeft(failAt) {}
  std::size_t Read(double* const* out, std::size_t n, std::string* error) override {
    const std::size_t got = MemorySource::Read(out, std::min(n, mLeft), error);
    mLeft -= got;
    if (got < n) *error = "cannot read audio file broken.wav: Unspecified internal error.";
    return got;
  }

private:
  std::size_t mLeft;
};

// Long enough to span several of the comparison's blocks.
AudioData ramp(std::size_t frames) {
  AudioData audio = AudioData::Silent(2, frames, 44100.0);
  for (std::size_t i = 0; i < frames; ++i) {
    audio.channels[0][i] = 0.5 * std::sin(0.001 * static_cast<double>(i));
    audio.channels[1][i] = -audio.channels[0][i];
  }
  return audio;
}

TEST(CompareAudio, IdenticalAudioHasNoDifference) {
  const AudioData a = ramp(20000);
  const AudioDifference d = compare(a, a);
  EXPECT_FALSE(d.differs);
  EXPECT_FALSE(d.hasFirst);
  EXPECT_EQ(d.largest, 0.0);
  EXPECT_EQ(d.rms, 0.0);
  EXPECT_EQ(d.framesA, 20000u);
}

// Two changed samples: the largest is found where it is, the first where it is (earlier frame
// first, whatever the channel), and the RMS counts every sample of every channel.
TEST(CompareAudio, FindsLargestAndFirstDifferences) {
  const AudioData a = ramp(20000);
  AudioData b = a;
  b.channels[1][9000] += 0.001;
  b.channels[0][17000] -= 0.25;
  const AudioDifference d = compare(a, b);
  EXPECT_TRUE(d.differs);
  EXPECT_NEAR(d.largest, 0.25, 1e-12);
  EXPECT_EQ(d.largestFrame, 17000u);
  EXPECT_EQ(d.largestChannel, 0);
  ASSERT_TRUE(d.hasFirst);
  EXPECT_EQ(d.firstFrame, 9000u);
  EXPECT_EQ(d.firstChannel, 1);
  EXPECT_EQ(d.firstA, a.channels[1][9000]);
  EXPECT_NEAR(d.rms, std::sqrt((0.25 * 0.25 + 0.001 * 0.001) / 40000.0), 1e-12);

  // Within a tolerance the small difference vanishes; the large one stays.
  const AudioDifference tolerant = compare(a, b, 0.01);
  EXPECT_TRUE(tolerant.differs);
  EXPECT_EQ(tolerant.firstFrame, 17000u);
  EXPECT_FALSE(compare(a, b, 0.3).differs);
}

// A shorter file goes on as silence: its missing tail is the difference, and differing lengths
// never count as identical.
TEST(CompareAudio, ShorterAudioContinuesAsSilence) {
  const AudioData a = ramp(20000);
  AudioData b = a;
  for (auto& channel : b.channels) channel.resize(12000);
  const AudioDifference d = compare(a, b, 1.0);
  EXPECT_EQ(d.framesA, 20000u);
  EXPECT_EQ(d.framesB, 12000u);
  EXPECT_TRUE(d.differs);
  EXPECT_FALSE(d.hasFirst);  // nothing beyond the tolerance of 1
  const AudioDifference strict = compare(b, a);
  EXPECT_EQ(strict.firstFrame, 12000u);
  EXPECT_EQ(strict.firstB, a.channels[0][12000]);
}

// A source that cannot be read to its end is answered with its reason, whichever side it is on,
// and not taken for a shorter file.
TEST(CompareAudio, ReadFailureIsAnsweredWithItsReason) {
  const AudioData audio = ramp(20000);
  for (const bool failingFirst : {true, false}) {
    MemorySource intact(audio);
    FailingSource broken(audio, 10000);
    std::string error;
    const std::optional<AudioDifference> d =
        failingFirst ? CompareAudio(broken, intact, 0.0, &error) : CompareAudio(intact, broken, 0.0, &error);
    EXPECT_FALSE(d) << failingFirst;
    EXPECT_EQ(error, "cannot read audio file broken.wav: Unspecified internal error.") << failingFirst;
  }
}

}  // namespace
