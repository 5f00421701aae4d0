// velmora-snapshot: the Velmora editor painted without a window into a PNG, at given settings and
// optionally after processing an audio file, so the meter shows that material's gain reduction.
// It builds the plug-in's classes in (it is a tool of the plug-in, not a host) and drives them
// through the same VST3 calls a host makes.

#include "base/ClassId.h"
#include "plugin/VelmoraIdentity.h"
#include "tools/velmora-snapshot/AudioReader.h"
#include "tools/velmora-snapshot/ParameterSteps.h"
#include "tools/velmora-snapshot/SnapshotOptions.h"
#include "tools/velmora-snapshot/SnapshotSession.h"
#include "tools/vst3host/BundleSnapshots.h"

#include "tools/support/HostPlatform.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr int kFailed = 1;
constexpr int kBadCommandLine = 2;

int Report(const std::string& message, int code) {
  std::fprintf(stderr, "velmora-snapshot: %s\n", message.c_str());
  return code;
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  return !a.empty() && !b.empty() &&
         std::filesystem::equivalent(std::filesystem::u8path(a), std::filesystem::u8path(b), ec);
}

std::string Seconds(double s) {
  char text[32];
  std::snprintf(text, sizeof(text), "%.3f s", s);
  return text;
}

int TakeSnapshot(const SnapshotOptions& options) {
  SnapshotSession session;
  std::string error;
  std::vector<ParameterStep> steps;
  if (!ResolveParameterSteps(session.Plugin(), options.steps, &steps, &error)) return Report(error, kBadCommandLine);
  // The picture replaces the output file at the very end; it must not be one of the inputs.
  if (SameFile(options.output, options.input) || SameFile(options.output, options.sidechain))
    return Report("the output file " + options.output + " is one of the input files", kBadCommandLine);

  AudioReader input, sidechain;
  double rate = 44100.0;
  long long stopFrame = -1;
  if (!options.input.empty()) {
    if (!input.Open(options.input, &error)) return Report(error, kFailed);
    rate = input.SampleRate();
    if (!options.sidechain.empty()) {
      if (!sidechain.Open(options.sidechain, &error)) return Report(error, kFailed);
      if (sidechain.SampleRate() != rate)
        return Report(options.sidechain + " runs at " + std::to_string(static_cast<long>(sidechain.SampleRate())) +
                          " Hz, " + options.input + " at " + std::to_string(static_cast<long>(rate)) + " Hz",
                      kFailed);
    }
    if (options.hasStopTime) {
      const double length = static_cast<double>(input.Frames()) / rate;
      stopFrame = std::llround(options.stopSeconds * rate);
      if (stopFrame > input.Frames())
        return Report("--at " + Seconds(options.stopSeconds) + " is past the end of " + options.input + " (" +
                          Seconds(length) + ")",
                      kBadCommandLine);
    }
  }

  // Scales the editor draws at are drawn; the one beyond them is drawn at 2 and enlarged.
  const bool enlarged = options.scale == kEnlargedSnapshotScale;
  session.SetScale(enlarged ? 2.0 : options.scale);
  if (!session.Start(rate, !options.sidechain.empty(), &error)) return Report(error, kFailed);
  if (!session.ApplySteps(steps, &error)) return Report(error, kFailed);
  if (!options.input.empty() &&
      !session.Run(input, options.sidechain.empty() ? nullptr : &sidechain, stopFrame, &error))
    return Report(error, kFailed);
  if (!session.Write(options.output, enlarged ? 2 : 1, &error)) return Report(error, kFailed);
  return 0;
}

// The pictures hosts show for Velmora in their browsers: the editor as it opens, at 1x and 2x,
// named after the class id the module's factory registers.
int WriteBundleSnapshots(const std::string& bundle) {
  const auto cid = EffectClassId(kVelmoraIdentity.makerCode, kVelmoraIdentity.pluginCode);
  Steinberg::TUID tuid;
  std::copy(cid.begin(), cid.end(), reinterpret_cast<std::uint8_t*>(tuid));
  const std::string classId = vst3host::ClassIdText(tuid);
  const std::filesystem::path folder = std::filesystem::u8path(bundle) / vst3host::kSnapshotFolder;
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) return Report("cannot make " + folder.u8string() + ": " + ec.message(), kFailed);

  SnapshotSession session;
  std::string error;
  if (!session.Start(44100.0, false, &error) || !session.ApplySteps({}, &error)) return Report(error, kFailed);
  // Each picture drawn at its own scale, as a host's screen at that scale shows the editor.
  for (const int scale : {1, 2}) {
    session.SetScale(scale);
    if (!session.Write((folder / vst3host::SnapshotFileName(classId, scale)).u8string(), 1, &error))
      return Report(error, kFailed);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  SnapshotOptions options;
  std::string error;
  const std::vector<std::string> args = velmora_host::CommandLineArguments(argc, argv);
  std::vector<const char*> pointers;
  for (const std::string& arg : args) pointers.push_back(arg.c_str());
  if (!ParseSnapshotArguments(static_cast<int>(pointers.size()), pointers.data(), &options, &error)) {
    return Report(error + " (velmora-snapshot --help shows the usage)", kBadCommandLine);
  }
  switch (options.action) {
    case SnapshotOptions::ShowHelp: std::printf("%s", SnapshotUsage()); return 0;
    case SnapshotOptions::ListParameters: {
      SnapshotSession session;
      std::printf("%s", DescribeParameters(session.Plugin()).c_str());
      return 0;
    }
    case SnapshotOptions::TakeSnapshot: break;
  }
  if (!options.bundle.empty()) return WriteBundleSnapshots(options.bundle);
  return TakeSnapshot(options);
}
