#pragma once
// What a render ends with: the file's shape and settings, and the levels going in and coming out
// (peak and RMS per channel in dBFS; integrated loudness, loudness range and true peak), printed
// as the closing summary or as JSON.
#include "tools/support/AudioFile.h"
#include "tools/support/JsonText.h"
#include "tools/support/LevelStats.h"
#include "tools/support/Loudness.h"
#include "tools/support/OutputType.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace velmora_host {

struct SignalLevels {
  std::vector<Levels> channels;      // linear
  std::optional<Loudness> loudness;  // empty when not measured (--no-loudness)
};

// A parameter's value when the render started: after state or preset, settings and the first
// point of its automation.
struct RenderSetting {
  std::uint32_t id = 0;  // the parameter id a host uses
  std::string title;
  int stepCount = 0;  // 0: continuous
  double normalized = 0.0;
  bool automated = false;
  std::string text;  // what the step means, for an effect whose steps velmora-host can name
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
  SignalLevels in, out;                 // out: the samples as the file holds them
  std::vector<std::uint64_t> clipped;   // per output channel: samples beyond full scale, written at its limit
  std::vector<std::string> warnings;    // what the render did that the user may not want, one line each
  std::vector<RenderSetting> settings;  // every parameter a host can set, in the effect's order
};

void PrintRenderReport(std::FILE* to, const RenderReport& report);
// Every key is always there: null where nothing was measured (loudness with --no-loudness).
Json RenderReportJson(const RenderReport& report);
// The same keys for a file that failed, all null but its names and the error.
Json FailedRenderJson(const std::string& input, const std::string& output, const std::string& error);

}  // namespace velmora_host
