#include "tools/support/AudioStream.h"

#include <algorithm>
#include <cmath>

namespace velmora_host {

std::size_t MemorySource::Read(double* const* out, std::size_t n, std::string*) {
  const std::size_t count = std::min(n, mAudio.FrameCount() - std::min(mPosition, mAudio.FrameCount()));
  for (std::size_t c = 0; c < mAudio.ChannelCount(); ++c)
    std::copy_n(mAudio.channels[c].begin() + static_cast<std::ptrdiff_t>(mPosition), count, out[c]);
  mPosition += count;
  return count;
}

MemorySink::MemorySink(std::size_t channels, double sampleRate) {
  mAudio.sampleRate = sampleRate;
  mAudio.channels.assign(channels, {});
}

bool MemorySink::Write(const double* const* in, std::size_t n, std::string*) {
  for (std::size_t c = 0; c < mAudio.ChannelCount(); ++c)
    mAudio.channels[c].insert(mAudio.channels[c].end(), in[c], in[c] + n);
  return true;
}

SpreadSource::SpreadSource(AudioSource& source, int channels) : mSource(source), mChannels(channels) {
  if (source.Channels() != 1) mChannels = source.Channels();
}

std::size_t SpreadSource::Read(double* const* out, std::size_t n, std::string* error) {
  const std::size_t got = mSource.Read(out, n, error);
  if (mSource.Channels() == 1)
    for (int c = 1; c < mChannels; ++c) std::copy_n(out[0], got, out[c]);
  return got;
}

bool MonoFoldSink::Write(const double* const* in, std::size_t n, std::string* error) {
  if (mMono.size() < n) mMono.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    double sum = 0.0;
    bool alike = true;
    for (std::size_t c = 0; c < mChannels; ++c) {
      sum += in[c][i];
      alike = alike && in[c][i] == in[0][i];
    }
    mMono[i] = alike ? in[0][i] : sum / static_cast<double>(mChannels);
  }
  const double* mono = mMono.data();
  return mSink.Write(&mono, n, error);
}

LevelMeter::LevelMeter(std::size_t channels, double sampleRate, bool loudness)
    : mPeak(channels, 0.0), mSumSquares(channels, 0.0) {
  if (loudness) mLoudness = std::make_unique<LoudnessThread>(channels, sampleRate);
}

std::optional<Loudness> LevelMeter::MeasuredLoudness() {
  if (!mLoudness) return std::nullopt;
  return mLoudness->Result();
}

void LevelMeter::Add(const double* const* frames, std::size_t channels, std::size_t n) {
  // Every channel's running peak and sum take their samples in order, as always. Two channels go
  // through one loop, held in locals, so the two chains of additions overlap instead of waiting
  // for each other (or for memory the frames might share).
  const std::size_t count = std::min(channels, mPeak.size());
  std::size_t c = 0;
  for (; c + 1 < count; c += 2) {
    const double* a = frames[c];
    const double* b = frames[c + 1];
    double peakA = mPeak[c], peakB = mPeak[c + 1], sumA = mSumSquares[c], sumB = mSumSquares[c + 1];
    for (std::size_t i = 0; i < n; ++i) {
      peakA = std::max(peakA, std::fabs(a[i]));
      sumA += a[i] * a[i];
      peakB = std::max(peakB, std::fabs(b[i]));
      sumB += b[i] * b[i];
    }
    mPeak[c] = peakA;
    mPeak[c + 1] = peakB;
    mSumSquares[c] = sumA;
    mSumSquares[c + 1] = sumB;
  }
  if (c < count) {
    const double* a = frames[c];
    double peak = mPeak[c], sum = mSumSquares[c];
    for (std::size_t i = 0; i < n; ++i) {
      peak = std::max(peak, std::fabs(a[i]));
      sum += a[i] * a[i];
    }
    mPeak[c] = peak;
    mSumSquares[c] = sum;
  }
  mFrames += n;
  if (mLoudness) mLoudness->Add(frames, n);
}

std::vector<Levels> LevelMeter::ChannelLevels() const {
  std::vector<Levels> result(mPeak.size());
  for (std::size_t c = 0; c < mPeak.size(); ++c) {
    result[c].peak = mPeak[c];
    result[c].rms = mFrames ? std::sqrt(mSumSquares[c] / static_cast<double>(mFrames)) : 0.0;
  }
  return result;
}

std::size_t MeteredSource::Read(double* const* out, std::size_t n, std::string* error) {
  const std::size_t got = mSource.Read(out, n, error);
  mMeter.Add(out, static_cast<std::size_t>(Channels()), got);
  return got;
}

}  // namespace velmora_host
