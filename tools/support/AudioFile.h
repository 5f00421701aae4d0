#pragma once
// Reading any format libsndfile knows, writing the kinds OutputType names; block by block for
// renders, whole files for the demo and the tests. "-" is standard input or output, for the formats
// libsndfile reads or writes as a stream. Failures answer false or null, with a reason that names
// the file.
#include "tools/support/AudioData.h"
#include "tools/support/AudioStream.h"
#include "tools/support/BufferedSoundFile.h"
#include "tools/support/OutputFile.h"
#include "tools/support/OutputType.h"
#include "tools/support/SampleFormat.h"
#include "tools/support/SampleQuantizer.h"

#include <sndfile.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velmora_host {

struct SndfileCloser {
  void operator()(SNDFILE* file) const;
};

// The texts a file carries about its audio (title, artist, date, comment, album, ...), as
// libsndfile's string kinds with their values.
using AudioMetadata = std::vector<std::pair<int, std::string>>;

// The name messages use for a file: "standard input" or "standard output" for "-".
std::string AudioFileName(const std::string& path, int mode);

class AudioFileReader : public AudioSource {
public:
  // The file opened for reading; null when it cannot be read, with the reason in `error`.
  static std::unique_ptr<AudioFileReader> Open(const std::string& path, std::string* error);
  int Channels() const override { return mChannels; }
  double SampleRate() const override { return mSampleRate; }
  std::size_t Frames() const { return mFrames; }  // as libsndfile counts them before reading
  std::size_t Read(double* const* out, std::size_t n, std::string* error) override;

  // Whether the audio ends before its header says it does: known on opening a file, for a stream
  // once it has been read to its end.
  bool Truncated() const;
  // "x.wav ends after 1000 of the 44100 frames its header states", when truncated.
  std::string TruncationText() const;
  const AudioMetadata& Metadata() const { return mMetadata; }

private:
  explicit AudioFileReader(std::string name) : mPath(std::move(name)) {}

  std::string mPath;
  std::unique_ptr<SNDFILE, SndfileCloser> mFile;
  int mChannels = 0;
  double mSampleRate = 0.0;
  std::size_t mFrames = 0;
  std::optional<std::uint64_t> mDeclaredFrames;  // what the header states, when it states a length
  std::uint64_t mDelivered = 0;
  bool mEnded = false;
  AudioMetadata mMetadata;
  std::vector<double> mInterleaved;  // frames read from the file ...
  std::size_t mBuffered = 0;         // ... how many of them ...
  std::size_t mConsumed = 0;         // ... and how many were handed out
};

// Writes an audio file: into an output's temporary file (the caller commits once every output of
// the command is complete), or to standard output. Fixed-point samples are rounded, clipped and
// (16-bit) dithered by a SampleQuantizer; what the file holds can be metered on its way out.
class AudioFileWriter : public AudioSink {
public:
  // `output` null: standard output. Null when the file cannot be written, with the reason in `error`.
  static std::unique_ptr<AudioFileWriter> Open(const OutputFile* output, std::size_t channels, double sampleRate,
                                               const OutputType& type, std::string* error, bool dither = true,
                                               const AudioMetadata& metadata = {});
  bool Write(const double* const* in, std::size_t n, std::string* error) override;
  // Every sample written also goes, as the file holds it, to `meter` (null: none).
  void MeterWith(LevelMeter* meter) { mMeter = meter; }
  // What the conversion did: clipped samples per channel, whether it dithered.
  const SampleQuantizer& Quantizer() const { return mQuantizer; }
  // Completes the file; false, with the reason in `error`, if anything could not be written.
  bool Close(std::string* error);

private:
  AudioFileWriter(std::string name, std::size_t channels, SampleFormat sample, bool dither);

  std::string mPath;
  std::size_t mChannels;
  std::unique_ptr<BufferedSoundFile> mDisk;  // outlives mFile, which writes into it; none for standard output
  std::unique_ptr<SNDFILE, SndfileCloser> mFile;
  SampleQuantizer mQuantizer;
  LevelMeter* mMeter = nullptr;
  std::vector<double> mInterleaved;
  std::vector<std::int32_t> mCodes;
  std::vector<std::vector<double>> mWritten;
  std::vector<double*> mWrittenChannels;
  std::vector<const double*> mFrom;
};

// Whether libsndfile reads `bytes` as audio (a header it knows, at least one channel).
bool IsAudioData(const std::vector<char>& bytes);

// Null or false when the file cannot be read or written, with the reason in `error`.
std::optional<AudioData> ReadAudioFile(const std::string& path, std::string* error);
bool WriteWavFile(const OutputFile& output, const AudioData& audio, SampleFormat format, std::string* error);

}  // namespace velmora_host
