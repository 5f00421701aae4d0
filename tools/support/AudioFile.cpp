#include "tools/support/AudioFile.h"

#include "tools/support/DeclaredLength.h"
#include "tools/support/HostError.h"
#include "tools/support/HostPlatform.h"

#include <sndfile.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace velmora_host {
namespace {

// Frames converted per libsndfile call.
constexpr std::size_t kChunkFrames = 8192;

}  // namespace

void SndfileCloser::operator()(SNDFILE* file) const { sf_close(file); }

SampleFormat ParseSampleFormat(const std::string& text) {
  if (text == "pcm16" || text == "16") return SampleFormat::Pcm16;
  if (text == "pcm24" || text == "24") return SampleFormat::Pcm24;
  if (text == "float" || text == "float32" || text == "32") return SampleFormat::Float32;
  if (text == "double" || text == "float64" || text == "64") return SampleFormat::Float64;
  throw HostError("unknown output format '" + text + "' (use pcm16, pcm24, float or double)");
}

const char* SampleFormatName(SampleFormat format) {
  switch (format) {
    case SampleFormat::Pcm16: return "16-bit PCM";
    case SampleFormat::Pcm24: return "24-bit PCM";
    case SampleFormat::Float32: return "32-bit float";
    case SampleFormat::Float64: return "64-bit float";
  }
  return "?";
}

const char* SampleFormatKey(SampleFormat format) {
  switch (format) {
    case SampleFormat::Pcm16: return "pcm16";
    case SampleFormat::Pcm24: return "pcm24";
    case SampleFormat::Float32: return "float";
    case SampleFormat::Float64: return "double";
  }
  return "?";
}

std::string AudioFileName(const std::string& path, int mode) {
  if (path != "-") return path;
  return mode == SFM_READ ? "standard input" : "standard output";
}

AudioFileReader::AudioFileReader(const std::string& path) : mPath(AudioFileName(path, SFM_READ)) {
  SF_INFO info{};
  mFile.reset(path == "-" ? OpenStandardStream(SFM_READ, &info) : OpenSoundFile(path, SFM_READ, &info));
  if (!mFile)
    throw HostError("cannot read audio " + std::string(path == "-" ? "from " : "file ") + mPath + ": " +
                    sf_strerror(nullptr));
  if (info.channels < 1 || info.samplerate < 1)
    throw HostError("cannot read audio file " + mPath + ": no channels or no sample rate");
  mChannels = info.channels;
  mSampleRate = info.samplerate;
  mFrames = info.frames > 0 ? static_cast<std::size_t>(info.frames) : 0;
  mInterleaved.resize(kChunkFrames * static_cast<std::size_t>(mChannels));
  // libsndfile trims a file's count to what the file holds, so the header is read again; a
  // stream's count is the header's own.
  std::error_code ec;
  mDeclaredFrames = path != "-" && std::filesystem::is_regular_file(std::filesystem::u8path(path), ec)
                        ? DeclaredFrames(path)
                        : DeclaredStreamFrames(info.format, info.channels, info.frames);
  // What a render carries over into its output; the software that wrote the file is left behind.
  for (const int kind : {SF_STR_TITLE, SF_STR_ARTIST, SF_STR_DATE, SF_STR_COMMENT, SF_STR_ALBUM, SF_STR_COPYRIGHT,
                         SF_STR_LICENSE, SF_STR_TRACKNUMBER, SF_STR_GENRE})
    if (const char* text = sf_get_string(mFile.get(), kind); text && *text) mMetadata.emplace_back(kind, text);
}

bool AudioFileReader::Truncated() const {
  return mDeclaredFrames && (*mDeclaredFrames > mFrames || (mEnded && mDelivered < *mDeclaredFrames));
}

std::string AudioFileReader::TruncationText() const {
  if (!Truncated()) return {};
  const std::uint64_t holds = mEnded ? mDelivered : mFrames;
  return mPath + " ends after " + std::to_string(holds) + " of the " + std::to_string(*mDeclaredFrames) +
         " frames its header states";
}

std::size_t AudioFileReader::Read(double* const* out, std::size_t n) {
  // Whole chunks come from the file, however few frames the caller asks for at a time.
  const auto channels = static_cast<std::size_t>(mChannels);
  std::size_t done = 0;
  while (done < n) {
    if (mBuffered == mConsumed) {
      const sf_count_t got = sf_readf_double(mFile.get(), mInterleaved.data(), static_cast<sf_count_t>(kChunkFrames));
      mConsumed = 0;
      mBuffered = got > 0 ? static_cast<std::size_t>(got) : 0;
      if (mBuffered == 0) {
        mEnded = true;
        break;
      }
    }
    const std::size_t count = std::min(n - done, mBuffered - mConsumed);
    for (std::size_t c = 0; c < channels; ++c) {
      const double* from = mInterleaved.data() + mConsumed * channels + c;
      double* to = out[c] + done;
      for (std::size_t f = 0; f < count; ++f) to[f] = from[f * channels];
    }
    mConsumed += count;
    done += count;
  }
  mDelivered += done;
  if (done < n && sf_error(mFile.get()) != SF_ERR_NO_ERROR)
    throw HostError("cannot read audio file " + mPath + ": " + sf_strerror(mFile.get()));
  return done;
}

AudioFileWriter::AudioFileWriter(const OutputFile* output, std::size_t channels, double sampleRate,
                                 const OutputType& type, bool dither, const AudioMetadata& metadata)
    : mPath(output ? output->FinalPath() : AudioFileName("-", SFM_WRITE)),
      mChannels(channels),
      mQuantizer(type.sample.value_or(SampleFormat::Float64), channels, dither) {
  if (channels == 0) throw HostError("nothing to write to " + mPath + ": no channels");
  SF_INFO info{};
  info.samplerate = static_cast<int>(std::lround(sampleRate));
  info.channels = static_cast<int>(channels);
  info.format = type.SndfileFormat();
  if (!sf_format_check(&info))
    throw HostError("cannot write " + mPath + ": this velmora-host cannot write " + type.name + " files" +
                    (type.sample ? std::string(" of ") + SampleFormatName(*type.sample) : std::string()) + " with " +
                    std::to_string(channels) + " channels at " + std::to_string(info.samplerate) + " Hz");
  if (output) {
    mDisk = std::make_unique<BufferedSoundFile>(output->TempPath());
    if (!mDisk->Open()) throw HostError("cannot write " + mPath + ": " + std::strerror(errno));
    mFile.reset(mDisk->OpenForWriting(&info));
  } else {
    mFile.reset(OpenStandardStream(SFM_WRITE, &info));
  }
  if (!mFile) throw HostError("cannot write " + type.name + " to " + mPath + ": " + sf_strerror(nullptr));
  // The PEAK chunk carries a time stamp; leaving it out keeps identical runs byte-identical.
  sf_command(mFile.get(), SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
  // Strings the format cannot hold are left out.
  for (const auto& [kind, text] : metadata) sf_set_string(mFile.get(), kind, text.c_str());
  if (mQuantizer.FixedPoint())
    mCodes.resize(kChunkFrames * channels);
  else
    mInterleaved.resize(kChunkFrames * channels);
  mWritten.assign(channels, std::vector<double>(kChunkFrames));
  for (auto& channel : mWritten) mWrittenChannels.push_back(channel.data());
  mFrom.resize(channels);
}

void AudioFileWriter::Write(const double* const* in, std::size_t n) {
  std::vector<const double*>& from = mFrom;
  for (std::size_t start = 0; start < n; start += kChunkFrames) {
    const std::size_t count = std::min(n - start, kChunkFrames);
    for (std::size_t c = 0; c < mChannels; ++c) from[c] = in[c] + start;
    mQuantizer.Convert(from.data(), count, mWrittenChannels.data(), mCodes.data());
    sf_count_t done = 0;
    if (mQuantizer.FixedPoint()) {
      done = sf_writef_int(mFile.get(), mCodes.data(), static_cast<sf_count_t>(count));
    } else {
      // Float samples as they come: libsndfile narrows doubles to single precision itself.
      for (std::size_t c = 0; c < mChannels; ++c)
        for (std::size_t f = 0; f < count; ++f) mInterleaved[f * mChannels + c] = from[c][f];
      done = sf_writef_double(mFile.get(), mInterleaved.data(), static_cast<sf_count_t>(count));
    }
    if (done != static_cast<sf_count_t>(count))
      throw HostError("cannot write " + mPath + ": " + sf_strerror(mFile.get()));
    if (mMeter) mMeter->Add(mWrittenChannels.data(), mChannels, count);
  }
}

void AudioFileWriter::Close() {
  if (!mFile) return;
  const int result = sf_close(mFile.release());
  if (result != 0) throw HostError("cannot write " + mPath + ": " + sf_error_number(result));
  if (mDisk && !mDisk->Close()) throw HostError("cannot write " + mPath + ": " + std::strerror(errno));
  if (!mDisk && std::fflush(stdout) != 0) throw HostError("cannot write " + mPath + ": " + std::strerror(errno));
}

namespace {

// libsndfile reading from memory.
struct MemoryFile {
  const std::vector<char>& bytes;
  sf_count_t position = 0;

  static MemoryFile& Of(void* user) { return *static_cast<MemoryFile*>(user); }
  static sf_count_t Length(void* user) { return static_cast<sf_count_t>(Of(user).bytes.size()); }
  static sf_count_t Seek(sf_count_t offset, int whence, void* user) {
    MemoryFile& f = Of(user);
    const sf_count_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? f.position : Length(user);
    if (base + offset < 0 || base + offset > Length(user)) return -1;
    return f.position = base + offset;
  }
  static sf_count_t Read(void* ptr, sf_count_t count, void* user) {
    MemoryFile& f = Of(user);
    const sf_count_t n = std::max<sf_count_t>(0, std::min(count, Length(user) - f.position));
    std::memcpy(ptr, f.bytes.data() + f.position, static_cast<std::size_t>(n));
    f.position += n;
    return n;
  }
  static sf_count_t Write(const void*, sf_count_t, void*) { return 0; }
  static sf_count_t Tell(void* user) { return Of(user).position; }
};

}  // namespace

bool IsAudioData(const std::vector<char>& bytes) {
  SF_VIRTUAL_IO io{MemoryFile::Length, MemoryFile::Seek, MemoryFile::Read, MemoryFile::Write, MemoryFile::Tell};
  MemoryFile file{bytes};
  SF_INFO info{};
  const std::unique_ptr<SNDFILE, SndfileCloser> sound(sf_open_virtual(&io, SFM_READ, &info, &file));
  return sound && info.channels > 0;
}

AudioData ReadAudioFile(const std::string& path) {
  AudioFileReader reader(path);
  MemorySink sink(static_cast<std::size_t>(reader.Channels()), reader.SampleRate());
  std::vector<std::vector<double>> block(static_cast<std::size_t>(reader.Channels()),
                                         std::vector<double>(kChunkFrames));
  std::vector<double*> pointers;
  for (auto& channel : block) pointers.push_back(channel.data());
  while (const std::size_t got = reader.Read(pointers.data(), kChunkFrames)) sink.Write(pointers.data(), got);
  return sink.Audio();
}

void WriteWavFile(const OutputFile& output, const AudioData& audio, SampleFormat format) {
  AudioFileWriter writer(&output, audio.ChannelCount(), audio.sampleRate, ChooseOutputType("", "wav", format));
  std::vector<const double*> pointers;
  for (const auto& channel : audio.channels) pointers.push_back(channel.data());
  writer.Write(pointers.data(), audio.FrameCount());
  writer.Close();
}

}  // namespace velmora_host
