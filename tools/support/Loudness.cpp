#include "tools/support/Loudness.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace velmora_host {

namespace {
// Frames handed to the library per call: its input is interleaved, ours planar.
constexpr std::size_t kChunkFrames = 4096;
constexpr int kMode = EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_HISTOGRAM;
}  // namespace

struct LoudnessMeter::State {
  ebur128_state* library;
  ~State() { ebur128_destroy(&library); }
};

namespace {
ebur128_state* NewLibraryState(std::size_t channels, double sampleRate) {
  return ebur128_init(static_cast<unsigned>(channels), static_cast<unsigned long>(std::lround(sampleRate)), kMode);
}
}  // namespace

bool LoudnessMeter::Measurable(std::size_t channels, double sampleRate, std::string* error) {
  // The library alone knows its limits: it is asked by making a state.
  ebur128_state* library = NewLibraryState(channels, sampleRate);
  if (library) {
    ebur128_destroy(&library);
    return true;
  }
  *error = "cannot measure loudness of " + std::to_string(channels) + " channels at " +
           std::to_string(std::lround(sampleRate)) + " Hz";
  return false;
}

LoudnessMeter::LoudnessMeter(std::size_t channels, double sampleRate)
    : mChannels(channels), mInterleaved(kChunkFrames * channels), mTruePeak(channels, sampleRate) {
  if (ebur128_state* library = NewLibraryState(channels, sampleRate)) mState.reset(new State{library});
}

LoudnessMeter::~LoudnessMeter() = default;

void LoudnessMeter::Add(const double* const* frames, std::size_t n) {
  if (!mState) return;
  mTruePeak.Add(frames, n);
  for (std::size_t start = 0; start < n; start += kChunkFrames) {
    const std::size_t count = std::min(kChunkFrames, n - start);
    for (std::size_t c = 0; c < mChannels; ++c) {
      const double* from = frames[c] + start;
      double* to = mInterleaved.data() + c;
      for (std::size_t f = 0; f < count; ++f) to[f * mChannels] = from[f];
    }
    ebur128_add_frames_double(mState->library, mInterleaved.data(), count);
  }
}

Loudness LoudnessMeter::Result() const {
  constexpr double kSilent = -std::numeric_limits<double>::infinity();
  Loudness loudness{kSilent, 0.0, kSilent};
  if (!mState) return loudness;
  double value = 0.0;
  if (ebur128_loudness_global(mState->library, &value) == EBUR128_SUCCESS && std::isfinite(value))
    loudness.integratedLufs = value;
  if (ebur128_loudness_range(mState->library, &value) == EBUR128_SUCCESS && std::isfinite(value))
    loudness.rangeLu = value;
  const double peak = mTruePeak.Peak();
  if (peak > 0.0) loudness.truePeakDbtp = 20.0 * std::log10(peak);
  return loudness;
}

}  // namespace velmora_host
