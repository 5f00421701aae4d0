#pragma once
// Reading any format libsndfile knows, writing WAV; block by block for renders, whole files for
// the demo and the tests. Failures throw HostError naming the file.
#include "tools/velmora-host/AudioData.h"
#include "tools/velmora-host/AudioStream.h"
#include "tools/velmora-host/BufferedSoundFile.h"
#include "tools/velmora-host/OutputFile.h"

#include <sndfile.h>

#include <memory>
#include <string>

namespace velmora_host {

enum class SampleFormat { Pcm16, Pcm24, Float32, Float64 };

// Accepts "pcm16", "pcm24", "float" / "float32", "double" / "float64"; throws HostError otherwise.
SampleFormat parseSampleFormat(const std::string& text);
const char* sampleFormatName(SampleFormat format);
// The --format word for a format: "pcm16", "pcm24", "float" or "double".
const char* sampleFormatKey(SampleFormat format);

struct SndfileCloser {
  void operator()(SNDFILE* file) const;
};

class AudioFileReader : public AudioSource {
public:
  explicit AudioFileReader(const std::string& path);
  int channels() const override { return mChannels; }
  double sampleRate() const override { return mSampleRate; }
  std::size_t frames() const { return mFrames; }  // as the header states it
  std::size_t read(double* const* out, std::size_t n) override;

private:
  std::string mPath;
  std::unique_ptr<SNDFILE, SndfileCloser> mFile;
  int mChannels = 0;
  double mSampleRate = 0.0;
  std::size_t mFrames = 0;
  std::vector<double> mInterleaved;  // frames read from the file ...
  std::size_t mBuffered = 0;         // ... how many of them ...
  std::size_t mConsumed = 0;         // ... and how many were handed out
};

// Writes a WAV file into the output's temporary file (PCM clips at full scale instead of
// wrapping around); the caller commits once every output of the command is complete.
class WavFileWriter : public AudioSink {
public:
  WavFileWriter(const OutputFile& output, std::size_t channels, double sampleRate, SampleFormat format);
  void write(const double* const* in, std::size_t n) override;
  // Completes the file; throws HostError if anything could not be written.
  void close();

private:
  std::string mPath;
  std::size_t mChannels;
  BufferedSoundFile mDisk;  // outlives mFile, which writes into it
  std::unique_ptr<SNDFILE, SndfileCloser> mFile;
  std::vector<double> mInterleaved;
};

// Whether libsndfile reads `bytes` as audio (a header it knows, at least one channel).
bool isAudioData(const std::vector<char>& bytes);

AudioData readAudioFile(const std::string& path);
void writeWavFile(const OutputFile& output, const AudioData& audio, SampleFormat format);

}  // namespace velmora_host
