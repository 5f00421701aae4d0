// `demo`: a synthesised band through Velmora at a few telling settings, files plus a table.
#include "tools/velmora-host/Commands.h"

#include "tools/velmora-host/AudioFile.h"
#include "tools/velmora-host/DemoProgram.h"
#include "tools/velmora-host/HostError.h"
#include "tools/velmora-host/LevelStats.h"
#include "tools/velmora-host/OutputFile.h"
#include "tools/velmora-host/ParameterLookup.h"
#include "tools/velmora-host/PluginInstance.h"
#include "tools/velmora-host/PluginModule.h"
#include "tools/velmora-host/Renderer.h"
#include "tools/velmora-host/VelmoraMeanings.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace velmora_host {

namespace {

constexpr double kDemoRate = 44100.0;

enum class Source { Mix, PadAndBass };

struct Scenario {
  const char* file;
  const char* name;
  const char* settings;  // the physical values the steps below stand for
  std::vector<const char*> steps;  // "Title=step"
  Source main;
  bool drumsAsSidechain;
  double makeupDb;  // added back when gain reduction is read from the levels
};

const std::vector<Scenario>& scenarios() {
  static const std::vector<Scenario> list{
      {"1-defaults.wav", "defaults", "comp 0 dB 3:1, limit -8 dB, no make-up", {}, Source::Mix, false, 0.0},
      {"2-heavy-compression.wav", "heavy compression", "comp -24 dB 6:1, 100 ms, +6 dB make-up",
       {"Compressor Threshold=3", "Ratio=4", "Compressor Recovery Time=0", "Gain=3"}, Source::Mix, false, 6.0},
      {"3-limiter-only.wav", "limiter only", "comp 0 dB, limit -20 dB, 100 ms, +8 dB make-up",
       {"Limit Level=10", "Level Recovery Time=1", "Gain=4"}, Source::Mix, false, 8.0},
      {"4-ducking.wav", "ducking", "pad+bass keyed by drums: comp -30 dB 4:1, 400 ms",
       {"External Sidechain=1", "Compressor Threshold=0", "Ratio=3", "Compressor Recovery Time=1"},
       Source::PadAndBass, true, 0.0},
  };
  return list;
}

AudioData sum(const AudioData& a, const AudioData& b) {
  AudioData result = a;
  for (std::size_t c = 0; c < result.channelCount(); ++c)
    for (std::size_t i = 0; i < result.frameCount(); ++i) result.channels[c][i] += b.channels[c][i];
  return result;
}

void writeFile(const std::string& path, const AudioData& audio) {
  OutputFile file(path);
  writeWavFile(file, audio, SampleFormat::Float32);
  file.commit();
}

}  // namespace

int runDemo(const std::string& modulePath, const std::string& directory) {
  PluginModule module(modulePath);
  // The scenarios name Velmora's parameters; another effect would fail half-way through.
  const ClassDescription& effect = module.effectClass();
  if (std::memcmp(effect.cid, kVelmoraClassId.data(), kVelmoraClassId.size()) != 0)
    throw HostError("the demo needs the Velmora module; " + module.libraryPath() + " holds \"" + effect.name + "\"");
  std::error_code error;
  std::filesystem::create_directories(directory, error);
  if (error) throw HostError("cannot create demo folder " + directory + ": " + error.message());

  const DemoProgram program = synthesiseDemoProgram(kDemoRate);
  const AudioData padAndBass = sum(program.pad, program.bass);
  const std::string dir = directory + "/";
  writeFile(dir + "input-mix.wav", program.mix);
  writeFile(dir + "input-drums.wav", program.drums);
  writeFile(dir + "input-pad-bass.wav", padAndBass);

  std::printf("Velmora demo: %.0f s test programme at %.0f Hz (drums, bass, pad), written to %s\n",
              static_cast<double>(program.mix.frameCount()) / kDemoRate, kDemoRate, directory.c_str());
  std::printf("\n%-18s %-50s %9s %9s %9s %9s %8s\n", "scenario", "settings", "peak in", "RMS in", "peak out",
              "RMS out", "max GR");
  for (const Scenario& scenario : scenarios()) {
    const AudioData& input = scenario.main == Source::Mix ? program.mix : padAndBass;
    PluginInstance instance(module);
    const std::vector<ParameterDescription> parameters = instance.parameters();
    std::vector<ParameterValue> changes;
    for (const char* step : scenario.steps)
      changes.push_back(resolveAssignment(instance, parameters, parseAssignment(step, false)));
    for (const ParameterValue& change : changes) instance.setControllerValue(change.id, change.normalized);

    Renderer renderer(instance, kDemoRate, scenario.drumsAsSidechain, RenderSettings{});
    const AudioData output = renderer.run(input, scenario.drumsAsSidechain ? &program.drums : nullptr, changes);
    writeFile(dir + scenario.file, output);

    const Levels in = measureOverall(input);
    const Levels out = measureOverall(output);
    std::printf("%-18s %-50s %s %s %s %s %s\n", scenario.name, scenario.settings, formatDb(toDbfs(in.peak), 9).c_str(),
                formatDb(toDbfs(in.rms), 9).c_str(), formatDb(toDbfs(out.peak), 9).c_str(),
                formatDb(toDbfs(out.rms), 9).c_str(),
                formatDb(estimateMaxGainReductionDb(input, output, scenario.makeupDb), 8).c_str());
  }
  std::printf("\nlevels in dBFS; max GR: largest drop of the 10 ms level below the input, make-up gain added back\n");
  std::printf("files: input-mix.wav, input-drums.wav, input-pad-bass.wav and one .wav per scenario\n");
  return 0;
}

}  // namespace velmora_host
