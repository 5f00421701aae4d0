#pragma once
// What kind of audio file render writes: the container from the output's extension (or --type),
// the sample type from --format where the container has a choice, the container's own default
// otherwise. Whether this build of libsndfile can write it is checked when the file is opened.
#include "tools/support/SampleFormat.h"

#include <optional>
#include <string>

namespace velmora_host {

struct OutputType {
  std::string key;                     // "wav", "flac", "aiff", "ogg", ... as --type names it
  std::string name;                    // "WAV", "FLAC", "Ogg Vorbis", ... for messages
  int container = 0;                   // libsndfile's major format
  int codec = 0;                       // libsndfile's subtype for the codecs that have no sample type (Vorbis, ...)
  std::optional<SampleFormat> sample;  // empty for lossy codecs, which take samples as they are
  bool holdsFloat = true;              // whether --format float is open to it

  int SndfileFormat() const;
};

// `typeOption` (--type, may be empty) or else the extension of `path` chooses the container; a
// name without an extension is WAV. `format` is --format when given. Empty, with the reason in
// `error`, for an unknown type, for standard output ("-") without --type, and for a sample type the
// container does not hold.
std::optional<OutputType> ChooseOutputType(const std::string& path, const std::string& typeOption,
                                           const std::optional<SampleFormat>& format, std::string* error);

// The --type words, for messages and the help.
const char* OutputTypeList();

}  // namespace velmora_host
