#include "tools/support/OutputType.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>

namespace velmora_host {

namespace {

struct Container {
  const char* extensions;  // blank-separated, the first one the --type word
  const char* name;
  int container;
  int codec;
  bool fixedOnly;  // holds 16- and 24-bit samples only
  SampleFormat standard;
};

// Float where the container holds it, so nothing is rounded or clipped unless asked for.
constexpr Container kContainers[] = {
    {"wav", "WAV", SF_FORMAT_WAV, 0, false, SampleFormat::Float32},
    {"aiff aif aifc", "AIFF", SF_FORMAT_AIFF, 0, false, SampleFormat::Float32},
    {"flac", "FLAC", SF_FORMAT_FLAC, 0, true, SampleFormat::Pcm24},
    {"caf", "CAF", SF_FORMAT_CAF, 0, false, SampleFormat::Float32},
    {"w64", "Sony Wave64", SF_FORMAT_W64, 0, false, SampleFormat::Float32},
    {"rf64", "RF64", SF_FORMAT_RF64, 0, false, SampleFormat::Float32},
    {"au snd", "Sun AU", SF_FORMAT_AU, 0, false, SampleFormat::Float32},
    {"ogg oga", "Ogg Vorbis", SF_FORMAT_OGG, SF_FORMAT_VORBIS, false, SampleFormat::Float32},
    {"opus", "Ogg Opus", SF_FORMAT_OGG, SF_FORMAT_OPUS, false, SampleFormat::Float32},
    {"mp3", "MP3", SF_FORMAT_MPEG, SF_FORMAT_MPEG_LAYER_III, false, SampleFormat::Float32},
};

int SampleBits(SampleFormat format) {
  switch (format) {
    case SampleFormat::Pcm16: return SF_FORMAT_PCM_16;
    case SampleFormat::Pcm24: return SF_FORMAT_PCM_24;
    case SampleFormat::Float32: return SF_FORMAT_FLOAT;
    case SampleFormat::Float64: return SF_FORMAT_DOUBLE;
  }
  return SF_FORMAT_FLOAT;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

const Container* FindContainer(const std::string& word) {
  for (const Container& c : kContainers) {
    std::string list = std::string(" ") + c.extensions + " ";
    if (list.find(" " + word + " ") != std::string::npos) return &c;
  }
  return nullptr;
}

}  // namespace

int OutputType::SndfileFormat() const { return container | (sample ? SampleBits(*sample) : codec); }

const char* OutputTypeList() { return "wav, aiff, flac, caf, w64, rf64, au, ogg, opus or mp3"; }

std::optional<OutputType> ChooseOutputType(const std::string& path, const std::string& typeOption,
                                           const std::optional<SampleFormat>& format, std::string* error) {
  std::string word = Lower(typeOption);
  if (word.empty()) {
    if (path == "-") {
      *error = std::string("standard output needs --type (") + OutputTypeList() + ")";
      return std::nullopt;
    }
    const std::string::size_type slash = path.find_last_of("/\\");
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string::size_type dot = base.rfind('.');
    word = dot == std::string::npos || dot == 0 ? "wav" : Lower(base.substr(dot + 1));
    if (!FindContainer(word)) {
      *error = "cannot tell what kind of audio file " + path + " is to be from '." + word +
               "' (name it with --type: " + OutputTypeList() + ")";
      return std::nullopt;
    }
  }
  const Container* c = FindContainer(word);
  if (!c) {
    *error = "unknown --type '" + typeOption + "' (use " + OutputTypeList() + ")";
    return std::nullopt;
  }

  OutputType type;
  type.key = std::string(c->extensions).substr(0, std::string(c->extensions).find(' '));
  type.name = c->name;
  type.container = c->container;
  type.codec = c->codec;
  type.holdsFloat = !c->fixedOnly;
  if (c->codec != 0) {
    if (format) {
      *error = type.name + " output has no sample type to choose: leave --format out";
      return std::nullopt;
    }
    return type;
  }
  type.sample = format.value_or(c->standard);
  if (c->fixedOnly && (*type.sample == SampleFormat::Float32 || *type.sample == SampleFormat::Float64)) {
    *error = type.name + " holds 16- or 24-bit samples: use --format pcm16 or pcm24";
    return std::nullopt;
  }
  return type;
}

}  // namespace velmora_host
