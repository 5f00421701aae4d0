#pragma once
// What a render ends with: the file's shape and settings, and the levels going in and coming out
// (peak and RMS per channel in dBFS; integrated loudness, loudness range and true peak), printed
// as the closing summary or as JSON.
#include "tools/velmora-host/AudioFile.h"
#include "tools/velmora-host/OutputType.h"
#include "tools/velmora-host/JsonText.h"
#include "tools/velmora-host/LevelStats.h"
#include "tools/velmora-host/Loudness.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace velmora_host {

struct SignalLevels {
  std::vector<Levels> channels;     // linear
  std::optional<Loudness> loudness;  // empty when not measured (--no-loudness)
};

struct RenderReport {
  std::string input, output, sidechain;  // sidechain empty when none
  std::string effect;
  double sampleRate = 0.0;
  std::size_t channels = 0;  // output channels
  std::size_t frames = 0;    // output frames
  int precision = 32;
  int blockSize = 512;
  OutputType type;
  bool dither = false;  // 16-bit output with TPDF dither
  std::size_t automatedParameters = 0;
  SignalLevels in, out;  // out: the samples as the file holds them
  std::vector<std::uint64_t> clipped;  // per output channel: samples beyond full scale, written at its limit
  std::vector<std::string> warnings;   // what the render did that the user may not want, one line each
};

void printRenderReport(std::FILE* to, const RenderReport& report);
Json renderReportJson(const RenderReport& report);

}  // namespace velmora_host
