#include "tools/support/SampleQuantizer.h"

#include <cmath>

namespace velmora_host {

namespace {

// Any fixed value: what matters is that every render starts from the same one.
constexpr std::uint64_t kDitherSeed = 0x76656C6D6F726121ull;

}  // namespace

SampleQuantizer::SampleQuantizer(SampleFormat format, std::size_t channels, bool dither)
    : mChannels(channels), mRandom(kDitherSeed), mClipped(channels, 0) {
  mBits = format == SampleFormat::Pcm16 ? 16 : format == SampleFormat::Pcm24 ? 24 : 0;
  mFloat32 = format == SampleFormat::Float32;
  mDither = dither && mBits == 16;
}

// Two uniform values in [0, 1) from one 64-bit draw (splitmix64, a counter through a mixing
// function); their difference is triangular on (-1, 1).
double SampleQuantizer::NextDither() {
  std::uint64_t z = (mRandom += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  constexpr double kUnit = 1.0 / 4294967296.0;
  return static_cast<double>(z >> 32) * kUnit - static_cast<double>(z & 0xFFFFFFFFull) * kUnit;
}

void SampleQuantizer::Convert(const double* const* in, std::size_t n, double* const* written, std::int32_t* codes) {
  if (mBits == 0) {
    for (std::size_t c = 0; c < mChannels; ++c)
      for (std::size_t i = 0; i < n; ++i)
        written[c][i] = mFloat32 ? static_cast<double>(static_cast<float>(in[c][i])) : in[c][i];
    return;
  }
  const double scale = mBits == 16 ? 32768.0 : 8388608.0;
  const double low = -scale, high = scale - 1.0;
  const int shift = 32 - mBits;
  // Frame by frame, so the dither sequence does not depend on how the audio is cut into blocks.
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t c = 0; c < mChannels; ++c) {
      const double x = in[c][i] * scale;
      // Clipping is the signal's: a sample counts when it lies beyond full scale without the
      // dither, whose one step at the limit is noise, not lost signal.
      const double plain = std::nearbyint(x);
      if (plain > high || plain < low) ++mClipped[c];
      double step = mDither ? std::nearbyint(x + NextDither()) : plain;
      step = std::isnan(step) ? 0.0 : step < low ? low : step > high ? high : step;  // no number: silence
      written[c][i] = step / scale;
      codes[i * mChannels + c] = static_cast<std::int32_t>(step) * (1 << shift);
    }
  }
}

}  // namespace velmora_host
