#pragma once
// The sample types render writes.
#include <optional>
#include <string>

namespace velmora_host {

enum class SampleFormat { Pcm16, Pcm24, Float32, Float64 };

// Accepts "pcm16", "pcm24", "float" / "float32", "double" / "float64"; empty otherwise, with the
// reason in `error`.
std::optional<SampleFormat> ParseSampleFormat(const std::string& text, std::string* error);
const char* SampleFormatName(SampleFormat format);
// The --format word for a format: "pcm16", "pcm24", "float" or "double".
const char* SampleFormatKey(SampleFormat format);

}  // namespace velmora_host
