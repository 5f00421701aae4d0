#include "tools/support/AudioFile.h"

#include "tools/support/DeclaredLength.h"
#include "tools/support/HostPlatform.h"

#include <sndfile.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

namespace velmora_host {
namespace {

// Frames converted per libsndfile call.
constexpr std::size_t kChunkFrames = 8192;

}  // namespace

void SndfileCloser::operator()(SNDFILE* file) const { sf_close(file); }

std::optional<SampleFormat> ParseSampleFormat(const std::string& text, std::string* error) {
  if (text == "pcm16" || text == "16") return SampleFormat::Pcm16;
  if (text == "pcm24" || text == "24") return SampleFormat::Pcm24;
  if (text == "float" || text == "float32" || text == "32") return SampleFormat::Float32;
  if (text == "double" || text == "float64" || text == "64") return SampleFormat::Float64;
  *error = "unknown output format '" + text + "' (use pcm16, pcm24, float or double)";
  return std::nullopt;
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

std::unique_ptr<AudioFileReader> AudioFileReader::Open(const std::string& path, std::string* error) {
  std::unique_ptr<AudioFileReader> reader(new AudioFileReader(AudioFileName(path, SFM_READ)));
  const std::string& name = reader->mPath;
  SF_INFO info{};
  reader->mFile.reset(path == "-" ? OpenStandardStream(SFM_READ, &info) : OpenSoundFile(path, SFM_READ, &info));
  if (!reader->mFile) {
    *error = "cannot read audio " + std::string(path == "-" ? "from " : "file ") + name + ": " + sf_strerror(nullptr);
    return nullptr;
  }
  if (info.channels < 1 || info.samplerate < 1) {
    *error = "cannot read audio file " + name + ": no channels or no sample rate";
    return nullptr;
  }
  reader->mChannels = info.channels;
  reader->mSampleRate = info.samplerate;
  reader->mFrames = info.frames > 0 ? static_cast<std::size_t>(info.frames) : 0;
  reader->mInterleaved.resize(kChunkFrames * static_cast<std::size_t>(info.channels));
  // libsndfile trims a file's count to what the file holds, so the header is read again; a
  // stream's count is the header's own.
  std::error_code ec;
  reader->mDeclaredFrames = path != "-" && std::filesystem::is_regular_file(std::filesystem::u8path(path), ec)
                                ? DeclaredFrames(path)
                                : DeclaredStreamFrames(info.format, info.channels, info.frames);
  // What a render carries over into its output; the software that wrote the file is left behind.
  for (const int kind : {SF_STR_TITLE, SF_STR_ARTIST, SF_STR_DATE, SF_STR_COMMENT, SF_STR_ALBUM, SF_STR_COPYRIGHT,
                         SF_STR_LICENSE, SF_STR_TRACKNUMBER, SF_STR_GENRE})
    if (const char* text = sf_get_string(reader->mFile.get(), kind); text && *text)
      reader->mMetadata.emplace_back(kind, text);
  return reader;
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

std::size_t AudioFileReader::Read(double* const* out, std::size_t n, std::string* error) {
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
    *error = "cannot read audio file " + mPath + ": " + sf_strerror(mFile.get());
  return done;
}

AudioFileWriter::AudioFileWriter(std::string name, std::size_t channels, SampleFormat sample, bool dither)
    : mPath(std::move(name)), mChannels(channels), mQuantizer(sample, channels, dither) {}

std::unique_ptr<AudioFileWriter> AudioFileWriter::Open(const OutputFile* output, std::size_t channels,
                                                       double sampleRate, const OutputType& type, std::string* error,
                                                       bool dither, const AudioMetadata& metadata) {
  std::unique_ptr<AudioFileWriter> writer(
      new AudioFileWriter(output ? output->FinalPath() : AudioFileName("-", SFM_WRITE), channels,
                          type.sample.value_or(SampleFormat::Float64), dither));
  const std::string& name = writer->mPath;
  if (channels == 0) {
    *error = "nothing to write to " + name + ": no channels";
    return nullptr;
  }
  SF_INFO info{};
  info.samplerate = static_cast<int>(std::lround(sampleRate));
  info.channels = static_cast<int>(channels);
  info.format = type.SndfileFormat();
  if (!sf_format_check(&info)) {
    *error = "cannot write " + name + ": this velmora-host cannot write " + type.name + " files" +
             (type.sample ? std::string(" of ") + SampleFormatName(*type.sample) : std::string()) + " with " +
             std::to_string(channels) + " channels at " + std::to_string(info.samplerate) + " Hz";
    return nullptr;
  }
  if (output) {
    writer->mDisk = std::make_unique<BufferedSoundFile>(output->TempPath());
    if (!writer->mDisk->Open()) {
      *error = "cannot write " + name + ": " + std::strerror(errno);
      return nullptr;
    }
    writer->mFile.reset(writer->mDisk->OpenForWriting(&info));
  } else {
    writer->mFile.reset(OpenStandardStream(SFM_WRITE, &info));
  }
  if (!writer->mFile) {
    *error = "cannot write " + type.name + " to " + name + ": " + sf_strerror(nullptr);
    return nullptr;
  }
  SNDFILE* file = writer->mFile.get();
  // The PEAK chunk carries a time stamp; leaving it out keeps identical runs byte-identical.
  sf_command(file, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
  // Strings the format cannot hold are left out.
  for (const auto& [kind, text] : metadata) sf_set_string(file, kind, text.c_str());
  if (writer->mQuantizer.FixedPoint())
    writer->mCodes.resize(kChunkFrames * channels);
  else
    writer->mInterleaved.resize(kChunkFrames * channels);
  writer->mWritten.assign(channels, std::vector<double>(kChunkFrames));
  for (auto& channel : writer->mWritten) writer->mWrittenChannels.push_back(channel.data());
  writer->mFrom.resize(channels);
  return writer;
}

bool AudioFileWriter::Write(const double* const* in, std::size_t n, std::string* error) {
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
    if (done != static_cast<sf_count_t>(count)) {
      *error = "cannot write " + mPath + ": " + sf_strerror(mFile.get());
      return false;
    }
    if (mMeter) mMeter->Add(mWrittenChannels.data(), mChannels, count);
  }
  return true;
}

bool AudioFileWriter::Close(std::string* error) {
  if (!mFile) return true;
  const int result = sf_close(mFile.release());
  const char* reason = result != 0                          ? sf_error_number(result)
                       : mDisk && !mDisk->Close()           ? std::strerror(errno)
                       : !mDisk && std::fflush(stdout) != 0 ? std::strerror(errno)
                                                            : nullptr;
  if (!reason) return true;
  *error = "cannot write " + mPath + ": " + reason;
  return false;
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

std::optional<AudioData> ReadAudioFile(const std::string& path, std::string* error) {
  const std::unique_ptr<AudioFileReader> reader = AudioFileReader::Open(path, error);
  if (!reader) return std::nullopt;
  MemorySink sink(static_cast<std::size_t>(reader->Channels()), reader->SampleRate());
  std::vector<std::vector<double>> block(static_cast<std::size_t>(reader->Channels()),
                                         std::vector<double>(kChunkFrames));
  std::vector<double*> pointers;
  for (auto& channel : block) pointers.push_back(channel.data());
  std::string failure;
  while (const std::size_t got = reader->Read(pointers.data(), kChunkFrames, &failure))
    sink.Write(pointers.data(), got, &failure);
  if (!failure.empty()) {
    *error = failure;
    return std::nullopt;
  }
  return sink.Audio();
}

bool WriteWavFile(const OutputFile& output, const AudioData& audio, SampleFormat format, std::string* error) {
  const std::optional<OutputType> wav = ChooseOutputType("", "wav", format, error);
  if (!wav) return false;
  const std::unique_ptr<AudioFileWriter> writer =
      AudioFileWriter::Open(&output, audio.ChannelCount(), audio.sampleRate, *wav, error);
  if (!writer) return false;
  std::vector<const double*> pointers;
  for (const auto& channel : audio.channels) pointers.push_back(channel.data());
  return writer->Write(pointers.data(), audio.FrameCount(), error) && writer->Close(error);
}

}  // namespace velmora_host
