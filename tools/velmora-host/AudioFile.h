#pragma once
// Reading any format libsndfile knows, writing WAV. Failures throw HostError with the file name.
#include "tools/velmora-host/AudioData.h"

#include <string>

namespace velmora_host {

enum class SampleFormat { Pcm16, Pcm24, Float32, Float64 };

// Accepts "pcm16", "pcm24", "float" / "float32", "double" / "float64"; throws HostError otherwise.
SampleFormat parseSampleFormat(const std::string& text);
const char* sampleFormatName(SampleFormat format);

AudioData readAudioFile(const std::string& path);

// Writes through a temporary file that is renamed into place only after the last sample is
// written, so a failed write never leaves a truncated file under `path`. PCM output clips at
// full scale instead of wrapping around.
void writeWavFile(const std::string& path, const AudioData& audio, SampleFormat format);

}  // namespace velmora_host
