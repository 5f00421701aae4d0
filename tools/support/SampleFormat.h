#pragma once
// The sample types render writes.
#include <string>

namespace velmora_host {

enum class SampleFormat { Pcm16, Pcm24, Float32, Float64 };

// Accepts "pcm16", "pcm24", "float" / "float32", "double" / "float64"; throws HostError otherwise.
SampleFormat ParseSampleFormat(const std::string& text);
const char* SampleFormatName(SampleFormat format);
// The --format word for a format: "pcm16", "pcm24", "float" or "double".
const char* SampleFormatKey(SampleFormat format);

}  // namespace velmora_host
