#include "tools/velmora-host/AudioFile.h"

#include "tools/velmora-host/HostError.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace velmora_host {
namespace {

struct SndfileCloser {
  void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndfileHandle = std::unique_ptr<SNDFILE, SndfileCloser>;

// libsndfile converts in chunks of this many frames so a long file never needs a second full copy.
constexpr sf_count_t kChunkFrames = 8192;

int formatBits(SampleFormat format) {
  switch (format) {
    case SampleFormat::Pcm16: return SF_FORMAT_PCM_16;
    case SampleFormat::Pcm24: return SF_FORMAT_PCM_24;
    case SampleFormat::Float32: return SF_FORMAT_FLOAT;
    case SampleFormat::Float64: return SF_FORMAT_DOUBLE;
  }
  return SF_FORMAT_FLOAT;
}

}  // namespace

SampleFormat parseSampleFormat(const std::string& text) {
  if (text == "pcm16" || text == "16") return SampleFormat::Pcm16;
  if (text == "pcm24" || text == "24") return SampleFormat::Pcm24;
  if (text == "float" || text == "float32" || text == "32") return SampleFormat::Float32;
  if (text == "double" || text == "float64" || text == "64") return SampleFormat::Float64;
  throw HostError("unknown output format '" + text + "' (use pcm16, pcm24, float or double)");
}

const char* sampleFormatName(SampleFormat format) {
  switch (format) {
    case SampleFormat::Pcm16: return "16-bit PCM";
    case SampleFormat::Pcm24: return "24-bit PCM";
    case SampleFormat::Float32: return "32-bit float";
    case SampleFormat::Float64: return "64-bit float";
  }
  return "?";
}

AudioData readAudioFile(const std::string& path) {
  SF_INFO info{};
  SndfileHandle file(sf_open(path.c_str(), SFM_READ, &info));
  if (!file) throw HostError("cannot read audio file " + path + ": " + sf_strerror(nullptr));
  if (info.channels < 1 || info.samplerate < 1)
    throw HostError("cannot read audio file " + path + ": no channels or no sample rate");

  const auto channels = static_cast<std::size_t>(info.channels);
  AudioData audio;
  audio.sampleRate = info.samplerate;
  audio.channels.assign(channels, {});
  if (info.frames > 0)
    for (auto& channel : audio.channels) channel.reserve(static_cast<std::size_t>(info.frames));

  std::vector<double> interleaved(static_cast<std::size_t>(kChunkFrames) * channels);
  for (;;) {
    const sf_count_t got = sf_readf_double(file.get(), interleaved.data(), kChunkFrames);
    if (got <= 0) break;
    for (sf_count_t f = 0; f < got; ++f)
      for (std::size_t c = 0; c < channels; ++c)
        audio.channels[c].push_back(interleaved[static_cast<std::size_t>(f) * channels + c]);
  }
  if (sf_error(file.get()) != SF_ERR_NO_ERROR)
    throw HostError("cannot read audio file " + path + ": " + sf_strerror(file.get()));
  return audio;
}

void writeWavFile(const OutputFile& output, const AudioData& audio, SampleFormat format) {
  const std::string& path = output.finalPath();
  if (audio.channelCount() == 0) throw HostError("nothing to write to " + path + ": no channels");
  SF_INFO info{};
  info.samplerate = static_cast<int>(std::lround(audio.sampleRate));
  info.channels = static_cast<int>(audio.channelCount());
  info.format = SF_FORMAT_WAV | formatBits(format);
  {
    SndfileHandle file(sf_open(output.tempPath().c_str(), SFM_WRITE, &info));
    if (!file) throw HostError("cannot write " + path + ": " + sf_strerror(nullptr));
    // The PEAK chunk carries a time stamp; leaving it out keeps identical runs byte-identical.
    sf_command(file.get(), SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
    sf_command(file.get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);

    const std::size_t channels = audio.channelCount();
    const std::size_t frames = audio.frameCount();
    std::vector<double> interleaved(static_cast<std::size_t>(kChunkFrames) * channels);
    for (std::size_t start = 0; start < frames; start += static_cast<std::size_t>(kChunkFrames)) {
      const std::size_t n = std::min(frames - start, static_cast<std::size_t>(kChunkFrames));
      for (std::size_t f = 0; f < n; ++f)
        for (std::size_t c = 0; c < channels; ++c)
          interleaved[f * channels + c] = audio.channels[c][start + f];
      if (sf_writef_double(file.get(), interleaved.data(), static_cast<sf_count_t>(n)) !=
          static_cast<sf_count_t>(n))
        throw HostError("cannot write " + path + ": " + sf_strerror(file.get()));
    }
    sf_write_sync(file.get());
  }
}

}  // namespace velmora_host
