#include "tools/velmora-host/RenderReport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace velmora_host {

namespace {

// `clipped`: per channel, for the output; null for the input.
Json LevelsJson(const SignalLevels& levels, const std::vector<std::uint64_t>* clipped) {
  Json channels = Json::array();
  std::uint64_t total = 0;
  for (std::size_t i = 0; i < levels.channels.size(); ++i) {
    const Levels& c = levels.channels[i];
    Json channel{{"peak_dbfs", Decibels(ToDbfs(c.peak))}, {"rms_dbfs", Decibels(ToDbfs(c.rms))}};
    const std::uint64_t count = clipped && i < clipped->size() ? (*clipped)[i] : 0;
    channel["clipped_samples"] = clipped ? Json(count) : Json(nullptr);
    total += count;
    channels.push_back(channel);
  }
  Json result{{"channels", channels}, {"clipped_samples", clipped ? Json(total) : Json(nullptr)}};
  result["integrated_lufs"] = levels.loudness ? Decibels(levels.loudness->integratedLufs) : Json(nullptr);
  result["loudness_range_lu"] = levels.loudness ? Rounded(levels.loudness->rangeLu) : Json(nullptr);
  result["true_peak_dbtp"] = levels.loudness ? Decibels(levels.loudness->truePeakDbtp) : Json(nullptr);
  return result;
}

// Keyed by id, as --set takes them, so a render can be repeated from its summary: `--set ID=STEP`
// for stepped parameters, `--set-norm ID=VALUE` for the others.
Json SettingsJson(const std::vector<RenderSetting>& settings) {
  Json result = Json::object();
  for (const RenderSetting& s : settings)
    result[std::to_string(s.id)] = {
        {"title", s.title},
        {"step", s.stepCount > 0 ? Json(std::lround(s.normalized * s.stepCount)) : Json(nullptr)},
        {"normalized", s.normalized},
        {"text", s.text.empty() ? Json(nullptr) : Json(s.text)},
        {"automated", s.automated}};
  return result;
}

// "WAV, 32-bit float", "Ogg Vorbis".
std::string FormatText(const OutputType& type) {
  return type.name + (type.sample ? std::string(", ") + SampleFormatName(*type.sample) : std::string());
}

}  // namespace

void PrintRenderReport(std::FILE* to, const RenderReport& r) {
  std::fprintf(to, "rendered %s -> %s: %zu ch at %ld Hz through \"%s\", %d-bit processing, blocks of %d, %s%s\n",
               r.input.c_str(), r.output.c_str(), r.channels, std::lround(r.sampleRate), r.effect.c_str(), r.precision,
               r.blockSize, FormatText(r.type).c_str(), r.dither ? " with TPDF dither" : "");
  if (!r.sidechain.empty()) std::fprintf(to, "sidechain %s on the aux input\n", r.sidechain.c_str());
  if (r.automatedParameters > 0) std::fprintf(to, "automation on %zu parameter(s)\n", r.automatedParameters);
  std::fprintf(to, "%-12s %9s %9s %9s %9s %9s   (dBFS; out as written)\n", "", "peak in", "RMS in", "peak out",
               "RMS out", "clipped");
  for (std::size_t c = 0; c < std::max(r.in.channels.size(), r.out.channels.size()); ++c) {
    const Levels a = c < r.in.channels.size() ? r.in.channels[c] : Levels{};
    const Levels b = c < r.out.channels.size() ? r.out.channels[c] : Levels{};
    const unsigned long long clipped = c < r.clipped.size() ? r.clipped[c] : 0;
    std::fprintf(to, "  channel %zu  %s %s %s %s %9llu\n", c + 1, FormatDb(ToDbfs(a.peak), 9).c_str(),
                 FormatDb(ToDbfs(a.rms), 9).c_str(), FormatDb(ToDbfs(b.peak), 9).c_str(),
                 FormatDb(ToDbfs(b.rms), 9).c_str(), clipped);
  }
  if (!r.in.loudness || !r.out.loudness) return;
  const Loudness& in = *r.in.loudness;
  const Loudness& out = *r.out.loudness;
  std::fprintf(to, "%-12s %9s %9s\n", "", "in", "out");
  std::fprintf(to, "  %-10s %s %s   LUFS, integrated\n", "loudness", FormatDb(in.integratedLufs, 9).c_str(),
               FormatDb(out.integratedLufs, 9).c_str());
  std::fprintf(to, "  %-10s %s %s   LU, loudness range\n", "range", FormatDb(in.rangeLu, 9).c_str(),
               FormatDb(out.rangeLu, 9).c_str());
  std::fprintf(to, "  %-10s %s %s   dBTP\n", "true peak", FormatDb(in.truePeakDbtp, 9).c_str(),
               FormatDb(out.truePeakDbtp, 9).c_str());
}

Json RenderReportJson(const RenderReport& r) {
  return {{"input", r.input},
          {"output", r.output},
          {"sidechain", r.sidechain.empty() ? Json(nullptr) : Json(r.sidechain)},
          {"effect", r.effect},
          {"sample_rate", std::lround(r.sampleRate)},
          {"channels", r.channels},
          {"frames", r.frames},
          {"precision", r.precision},
          {"block_size", r.blockSize},
          {"type", r.type.key},
          {"format", r.type.sample ? Json(SampleFormatKey(*r.type.sample)) : Json(nullptr)},
          {"dither", r.dither},
          {"automated_parameters", r.automatedParameters},
          {"loudness", r.in.loudness.has_value()},
          {"in", LevelsJson(r.in, nullptr)},
          {"out", LevelsJson(r.out, &r.clipped)},
          {"settings", SettingsJson(r.settings)},
          {"warnings", r.warnings},
          {"error", nullptr}};
}

Json FailedRenderJson(const std::string& input, const std::string& output, const std::string& error) {
  Json result = RenderReportJson(RenderReport{});
  for (auto& [key, value] : result.items()) value = nullptr;
  result["input"] = input;
  result["output"] = output;
  result["error"] = error;
  return result;
}

}  // namespace velmora_host
