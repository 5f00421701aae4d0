// `demo`: a synthesised band through Velmora at a few telling settings: per setting the processed
// audio, a plot of its levels and a picture of the editor, plus a table.
#include "tools/velmora-host/Commands.h"

#include "tools/levelplot/LevelPlot.h"
#include "tools/session/ParameterLookup.h"
#include "tools/session/PluginModule.h"
#include "tools/session/Renderer.h"
#include "tools/session/VelmoraMeanings.h"
#include "tools/support/AudioFile.h"
#include "tools/support/Cancellation.h"
#include "tools/support/ChildProcess.h"
#include "tools/support/HostError.h"
#include "tools/support/HostPlatform.h"
#include "tools/support/LevelStats.h"
#include "tools/support/OutputFile.h"
#include "tools/support/ScratchDirectory.h"
#include "tools/velmora-host/DemoProgram.h"
#include "tools/vst3host/Instance.h"

#include "base/FileSystem.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <system_error>

namespace velmora_host {

namespace {

constexpr double kDemoRate = 44100.0;

enum class Source { Mix, PadAndBass };

struct Scenario {
  const char* stem;  // the files are <stem>.wav, <stem>-levels.png and <stem>-editor.png
  const char* name;
  const char* settings;            // the physical values the steps below stand for
  std::vector<const char*> steps;  // "Title=step", for the render and the editor picture alike
  Source main;
  bool drumsAsSidechain;
  double makeupDb;  // added back when gain reduction is read from the levels
};

const std::vector<Scenario>& Scenarios() {
  static const std::vector<Scenario> list{
      {"1-defaults", "defaults", "comp 0 dB 3:1, limit -8 dB, no make-up", {}, Source::Mix, false, 0.0},
      {"2-heavy-compression",
       "heavy compression",
       "comp -24 dB 6:1, 100 ms, +6 dB make-up",
       {"Compressor Threshold=3", "Ratio=4", "Compressor Recovery Time=0", "Gain=3"},
       Source::Mix,
       false,
       6.0},
      // The meter follows the limiter here; the switch changes nothing in the audio.
      {"3-limiter-only",
       "limiter only",
       "comp 0 dB, limit -20 dB, 100 ms, +8 dB make-up",
       {"Limit Level=10", "Level Recovery Time=1", "Gain=4", "GR Select=1"},
       Source::Mix,
       false,
       8.0},
      {"4-ducking",
       "ducking",
       "pad+bass keyed by drums: comp -30 dB 4:1, 400 ms",
       {"External Sidechain=1", "Compressor Threshold=0", "Ratio=3", "Compressor Recovery Time=1"},
       Source::PadAndBass,
       true,
       0.0},
  };
  return list;
}

AudioData Sum(const AudioData& a, const AudioData& b) {
  AudioData result = a;
  for (std::size_t c = 0; c < result.ChannelCount(); ++c)
    for (std::size_t i = 0; i < result.FrameCount(); ++i) result.channels[c][i] += b.channels[c][i];
  return result;
}

void WriteFile(const OutputFile& file, const AudioData& audio) {
  std::string error;
  if (!WriteWavFile(file, audio, SampleFormat::Float32, &error)) throw HostError(error);
}

std::string AbsolutePath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(std::filesystem::u8path(path), error);
  return error ? path : absolute.u8string();
}

void WriteLevelPlot(const OutputFile& file, const Scenario& scenario, const AudioData& input, const AudioData& output) {
  const LevelTrace trace = ComputeLevelTrace(input.channels, output.channels, input.sampleRate);
  const std::string title = std::string(scenario.name) + " - " + scenario.settings;
  std::string error;
  if (!::WriteLevelPlot(trace, title.c_str(), file.TempPath().c_str(), &error))
    throw HostError("level plot " + file.FinalPath() + ": " + error);
}

// velmora-snapshot processes the scenario's input at the scenario's settings and paints the
// editor; it writes into the scratch folder, so nothing it leaves on failure stays behind.
void WriteEditorSnapshot(const std::string& tool, const ScratchDirectory& scratch, const OutputFile& file,
                         const Scenario& scenario, const std::string& input, const std::string* sidechain) {
  const std::string picture = scratch.Path() + "/" + scenario.stem + "-editor.png";
  std::vector<std::string> argv{tool, AbsolutePath(picture)};
  for (const char* step : scenario.steps) argv.insert(argv.end(), {"--set", step});
  argv.insert(argv.end(), {"--input", AbsolutePath(input)});
  if (sidechain) argv.insert(argv.end(), {"--sidechain", AbsolutePath(*sidechain)});
  std::string error;
  if (!RunChildProcess(argv, &error)) {
    ThrowIfCancelled();  // Ctrl+C reaches the helper too; that is no failure of its own
    throw HostError("editor snapshot of \"" + std::string(scenario.name) + "\" failed: " + error);
  }
  if (!velmora_base::RenameOver(picture.c_str(), file.TempPath().c_str())) {
    const std::string reason = std::strerror(errno);
    throw HostError("cannot write " + file.FinalPath() + ": " + reason);
  }
}

void PrintFiles(const std::string& directory) {
  std::printf("\nfiles in %s:\n", directory.c_str());
  std::printf("  input-mix.wav  input-drums.wav  input-pad-bass.wav   the test programme and its stems\n");
  for (const Scenario& scenario : Scenarios()) {
    std::printf("  %s.wav  %s-levels.png  %s-editor.png\n", scenario.stem, scenario.stem, scenario.stem);
  }
  std::printf(".wav: the processed audio; -levels.png: input and output levels and the gain change over time\n");
  std::printf("-editor.png: the editor after the scenario, its meter at the moment of most gain reduction\n");
}

}  // namespace

int RunDemo(const HostSetup& setup, const std::string& directory) {
  std::string moduleError;
  const std::unique_ptr<PluginModule> opened = OrThrow(PluginModule::Open(setup.module, &moduleError), moduleError);
  const PluginModule& module = *opened;
  // The scenarios name Velmora's parameters; another effect would fail half-way through.
  const ClassDescription& effect = *OrThrow(module.EffectClass(&moduleError), moduleError);
  if (std::memcmp(effect.cid, kVelmoraClassId.data(), kVelmoraClassId.size()) != 0)
    throw HostError("the demo needs the Velmora module; " + module.LibraryPath() + " holds \"" + effect.name + "\"");
  // The editor pictures come from velmora-snapshot, built along with the host (the host itself
  // reaches the plug-in only through the module's entry points), or installed beside it.
  std::string tool = BesideProgram(VELMORA_SNAPSHOT_TOOL);
  if (!IsExecutableFile(tool)) {
    const std::string beside = BesideProgram(std::filesystem::u8path(tool).filename().u8string());
    if (!IsExecutableFile(beside))
      throw HostError("the editor pictures need velmora-snapshot, which is not at " + tool +
                      " (build the velmora-snapshot target)");
    tool = beside;
  }
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::u8path(directory), error);
  if (error) throw HostError("cannot create demo folder " + directory + ": " + error.message());

  // Every file is written under a temporary name and all are renamed into place together at the
  // end, so a failed run leaves the folder as it was.
  std::deque<OutputFile> files;
  const std::string dir = directory + "/";
  auto newFile = [&](const std::string& name) -> const OutputFile& { return files.emplace_back(dir + name); };
  std::string scratchError;
  const std::unique_ptr<ScratchDirectory> scratch = ScratchDirectory::Create(directory, &scratchError);
  if (!scratch) throw HostError(scratchError);

  const DemoProgram program = SynthesiseDemoProgram(kDemoRate);
  const AudioData padAndBass = Sum(program.pad, program.bass);
  const OutputFile& mixFile = newFile("input-mix.wav");
  const OutputFile& drumsFile = newFile("input-drums.wav");
  const OutputFile& padAndBassFile = newFile("input-pad-bass.wav");
  WriteFile(mixFile, program.mix);
  WriteFile(drumsFile, program.drums);
  WriteFile(padAndBassFile, padAndBass);

  std::printf("Velmora demo: %.0f s test programme at %.0f Hz (drums, bass, pad), written to %s\n",
              static_cast<double>(program.mix.FrameCount()) / kDemoRate, kDemoRate, directory.c_str());
  std::printf("\n%-18s %-50s %9s %9s %9s %9s %8s\n", "scenario", "settings", "peak in", "RMS in", "peak out", "RMS out",
              "max GR");
  std::string failure;
  for (const Scenario& scenario : Scenarios()) {
    ThrowIfCancelled();
    const bool mix = scenario.main == Source::Mix;
    const AudioData& input = mix ? program.mix : padAndBass;
    const std::unique_ptr<vst3host::Instance> created =
        OrThrow(module.CreateEffect(nullptr, &moduleError), moduleError);
    vst3host::Instance& instance = *created;
    const std::vector<vst3host::ParameterDescription> parameters = instance.Parameters();
    std::vector<ParameterValue> changes;
    for (const char* step : scenario.steps)
      changes.push_back(
          OrThrow(ResolveAssignment(instance, parameters, ParseAssignment(step, false), &failure), failure).value());
    for (const ParameterValue& change : changes)
      instance.Controller()->setParamNormalized(change.id, change.normalized);

    const std::unique_ptr<Renderer> renderer = OrThrow(
        Renderer::Create(instance, effect, kDemoRate, scenario.drumsAsSidechain, RenderSettings{}, &failure), failure);
    const AudioData output =
        OrThrow(renderer->Run(input, scenario.drumsAsSidechain ? &program.drums : nullptr, changes, &failure), failure)
            .value();
    const std::string stem = scenario.stem;
    WriteFile(newFile(stem + ".wav"), output);
    WriteLevelPlot(newFile(stem + "-levels.png"), scenario, input, output);
    WriteEditorSnapshot(tool, *scratch, newFile(stem + "-editor.png"), scenario,
                        (mix ? mixFile : padAndBassFile).TempPath(),
                        scenario.drumsAsSidechain ? &drumsFile.TempPath() : nullptr);

    const Levels in = MeasureOverall(input);
    const Levels out = MeasureOverall(output);
    std::printf("%-18s %-50s %s %s %s %s %s\n", scenario.name, scenario.settings, FormatDb(ToDbfs(in.peak), 9).c_str(),
                FormatDb(ToDbfs(in.rms), 9).c_str(), FormatDb(ToDbfs(out.peak), 9).c_str(),
                FormatDb(ToDbfs(out.rms), 9).c_str(),
                FormatDb(EstimateMaxGainReductionDb(input, output, scenario.makeupDb), 8).c_str());
  }
  ThrowIfCancelled();
  std::string commitError;
  for (OutputFile& file : files)
    if (!file.Commit(&commitError)) throw HostError(commitError);

  std::printf("\nlevels in dBFS; max GR: largest drop of the 10 ms level below the input, make-up gain added back\n");
  PrintFiles(directory);
  return 0;
}

}  // namespace velmora_host
