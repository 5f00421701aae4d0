#pragma once
// Reading any format libsndfile knows, writing WAV. Failures throw HostError with the file name.
#include "tools/velmora-host/AudioData.h"
#include "tools/velmora-host/OutputFile.h"

#include <string>

namespace velmora_host {

enum class SampleFormat { Pcm16, Pcm24, Float32, Float64 };

// Accepts "pcm16", "pcm24", "float" / "float32", "double" / "float64"; throws HostError otherwise.
SampleFormat parseSampleFormat(const std::string& text);
const char* sampleFormatName(SampleFormat format);

AudioData readAudioFile(const std::string& path);

// Writes a complete WAV file into the output's temporary file (PCM clips at full scale instead
// of wrapping around); the caller commits once every output of the command is complete.
void writeWavFile(const OutputFile& output, const AudioData& audio, SampleFormat format);

}  // namespace velmora_host
