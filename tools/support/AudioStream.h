#pragma once
// Audio moving through the host block by block, so a render holds a few blocks in memory
// whatever the length of the file: sources deliver planar frames, sinks take them.
#include "tools/support/AudioData.h"
#include "tools/support/LevelStats.h"
#include "tools/support/Loudness.h"
#include "tools/support/LoudnessThread.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora_host {

class AudioSource {
public:
  virtual ~AudioSource() = default;
  virtual int Channels() const = 0;
  virtual double SampleRate() const = 0;
  // Fills out[c][0 .. n) for every channel; answers the frames delivered, fewer than n at the end
  // of the audio, or when reading fails: then with the reason in `error`.
  virtual std::size_t Read(double* const* out, std::size_t n, std::string* error) = 0;
};

class AudioSink {
public:
  virtual ~AudioSink() = default;
  // Takes n frames of in[c]; false, with the reason in `error`, when they cannot be written.
  virtual bool Write(const double* const* in, std::size_t n, std::string* error) = 0;
};

// Reads from audio held in memory.
class MemorySource : public AudioSource {
public:
  explicit MemorySource(const AudioData& audio) : mAudio(audio) {}
  int Channels() const override { return static_cast<int>(mAudio.ChannelCount()); }
  double SampleRate() const override { return mAudio.sampleRate; }
  std::size_t Read(double* const* out, std::size_t n, std::string* error) override;

private:
  const AudioData& mAudio;
  std::size_t mPosition = 0;
};

// Collects into memory.
class MemorySink : public AudioSink {
public:
  MemorySink(std::size_t channels, double sampleRate);
  bool Write(const double* const* in, std::size_t n, std::string* error) override;
  const AudioData& Audio() const { return mAudio; }

private:
  AudioData mAudio;
};

// A mono source heard on `channels` channels; any other source passes through unchanged.
class SpreadSource : public AudioSource {
public:
  SpreadSource(AudioSource& source, int channels);
  int Channels() const override { return mChannels; }
  double SampleRate() const override { return mSource.SampleRate(); }
  std::size_t Read(double* const* out, std::size_t n, std::string* error) override;

private:
  AudioSource& mSource;
  int mChannels;
};

// Writes the average of all channels as one, to `sink`: a mono file's render written as mono.
// Channels that are alike (as a mono input makes them) give their own samples unchanged.
class MonoFoldSink : public AudioSink {
public:
  MonoFoldSink(AudioSink& sink, std::size_t channels) : mSink(sink), mChannels(channels) {}
  bool Write(const double* const* in, std::size_t n, std::string* error) override;

private:
  AudioSink& mSink;
  std::size_t mChannels;
  std::vector<double> mMono;
};

// Peak and RMS per channel of everything that passes and, when asked for, its loudness and true
// peak, measured on a thread of their own (they cost about as much as Velmora's processing).
class LevelMeter {
public:
  // `loudness`: measure it too (for what LoudnessMeter::Measurable() accepts).
  LevelMeter(std::size_t channels, double sampleRate, bool loudness);
  void Add(const double* const* frames, std::size_t channels, std::size_t n);
  std::vector<Levels> ChannelLevels() const;
  // Empty when the loudness is not measured; waits for the measurement to catch up.
  std::optional<Loudness> MeasuredLoudness();
  std::size_t Frames() const { return mFrames; }

private:
  std::vector<double> mPeak, mSumSquares;
  std::size_t mFrames = 0;
  std::unique_ptr<LoudnessThread> mLoudness;
};

class MeteredSource : public AudioSource {
public:
  MeteredSource(AudioSource& source, bool loudness)
      : mSource(source), mMeter(static_cast<std::size_t>(source.Channels()), source.SampleRate(), loudness) {}
  int Channels() const override { return mSource.Channels(); }
  double SampleRate() const override { return mSource.SampleRate(); }
  std::size_t Read(double* const* out, std::size_t n, std::string* error) override;
  LevelMeter& Meter() { return mMeter; }

private:
  AudioSource& mSource;
  LevelMeter mMeter;
};

}  // namespace velmora_host
