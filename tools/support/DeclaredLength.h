#pragma once
// How many frames an audio file's header says it holds. libsndfile trims a count that runs past
// the end of the file to what is there, so a file cut short (a copy that stopped, a download that
// broke off) reads as a shorter file with nothing said; the header itself still tells.
#include <cstdint>
#include <optional>
#include <string>

namespace velmora_host {

// For a WAV (RIFF, RF64, BW64) or AIFF/AIFC file: the frames its data chunk declares. Empty for
// other formats, unreadable headers, and the sizes streaming writers put in when they cannot know
// the length (0, and 32-bit sizes from 0x7FFFF000 up).
std::optional<std::uint64_t> DeclaredFrames(const std::string& path);

// The same from a header libsndfile read off a stream: `frames` as libsndfile reports them for a
// format whose header states its length, when they stand for less than a placeholder size. Empty
// otherwise.
std::optional<std::uint64_t> DeclaredStreamFrames(int format, int channels, std::int64_t frames);

}  // namespace velmora_host
