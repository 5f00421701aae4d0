// `render IN OUT`: one file through the effect, with the settings the options ask for.
#include "tools/velmora-host/Commands.h"

#include "tools/velmora-host/AudioFile.h"
#include "tools/velmora-host/HostError.h"
#include "tools/velmora-host/LevelStats.h"
#include "tools/velmora-host/OutputFile.h"
#include "tools/velmora-host/ParameterLookup.h"
#include "tools/velmora-host/PluginModule.h"
#include "tools/velmora-host/Renderer.h"
#include "tools/velmora-host/StateFiles.h"
#include "tools/vst3host/Instance.h"

#include <cmath>
#include <cstdio>
#include <memory>

namespace velmora_host {

namespace {

void printSummary(const std::vector<Levels>& in, const std::vector<Levels>& out) {
  std::printf("%-12s %9s %9s %9s %9s   (dBFS)\n", "", "peak in", "RMS in", "peak out", "RMS out");
  for (std::size_t c = 0; c < std::max(in.size(), out.size()); ++c) {
    const Levels a = c < in.size() ? in[c] : Levels{};
    const Levels b = c < out.size() ? out[c] : Levels{};
    std::printf("  channel %zu  %s %s %s %s\n", c + 1, formatDb(toDbfs(a.peak), 9).c_str(),
                formatDb(toDbfs(a.rms), 9).c_str(), formatDb(toDbfs(b.peak), 9).c_str(),
                formatDb(toDbfs(b.rms), 9).c_str());
  }
}

}  // namespace

int runRender(const ModuleOptions& moduleOptions, const RenderOptions& options) {
  // Everything that can be refused is checked before any output exists.
  AudioFileReader input(options.inputPath);
  std::unique_ptr<AudioFileReader> sidechain;
  if (!options.sidechainPath.empty()) {
    sidechain = std::make_unique<AudioFileReader>(options.sidechainPath);
    if (sidechain->sampleRate() != input.sampleRate())
      throw HostError("sidechain file " + options.sidechainPath + " runs at " +
                      std::to_string(std::lround(sidechain->sampleRate())) + " Hz, the input at " +
                      std::to_string(std::lround(input.sampleRate())) + " Hz");
  }
  std::vector<char> stateToLoad;
  if (!options.loadState.empty()) stateToLoad = readBinaryFile(options.loadState);
  if (!options.loadPreset.empty()) stateToLoad = readBinaryFile(options.loadPreset);

  PluginModule module(moduleOptions);
  const ClassDescription& effect = module.effectClass();
  const std::unique_ptr<vst3host::Instance> created = module.createEffect();
  vst3host::Instance& instance = *created;
  const std::vector<vst3host::ParameterDescription> parameters = instance.Parameters();
  std::vector<ParameterValue> changes;
  for (const ParamAssignment& assignment : options.assignments)
    changes.push_back(resolveAssignment(instance, parameters, assignment));

  RenderSettings settings;
  settings.blockSize = options.blockSize;
  settings.precision = options.precision;
  settings.showProgress = true;
  Renderer renderer(instance, effect, input.sampleRate(), sidechain != nullptr, settings);
  checkBusChannels(input.channels(), renderer.mainInputChannels(), "input file " + options.inputPath,
                   renderer.mainInputName());
  SpreadSource main(input, renderer.mainInputChannels());
  MeteredSource meteredMain(main);
  std::unique_ptr<SpreadSource> side;
  if (sidechain) {
    checkBusChannels(sidechain->channels(), renderer.sidechainChannels(), "sidechain file " + options.sidechainPath,
                     renderer.sidechainName());
    side = std::make_unique<SpreadSource>(*sidechain, renderer.sidechainChannels());
  }

  if (!options.loadState.empty()) restoreState(instance, effect, stateToLoad, options.loadState);
  if (!options.loadPreset.empty()) restorePreset(instance, effect, stateToLoad, options.loadPreset);
  for (const ParameterValue& change : changes) instance.Controller()->setParamNormalized(change.id, change.normalized);

  // All outputs are complete in temporary files before any of them takes its final name.
  OutputFile audioFile(options.outputPath);
  const auto outputChannels = static_cast<std::size_t>(renderer.outputChannels());
  WavFileWriter writer(audioFile, outputChannels, input.sampleRate(), options.format);
  MeteredSink meteredOutput(writer, outputChannels);
  renderer.run(meteredMain, side.get(), meteredOutput, changes, input.frames());
  writer.close();

  std::unique_ptr<OutputFile> stateFile, presetFile;
  if (!options.saveState.empty()) {
    stateFile = std::make_unique<OutputFile>(options.saveState);
    writeBinaryFile(*stateFile, captureState(instance, effect));
  }
  if (!options.savePreset.empty()) {
    presetFile = std::make_unique<OutputFile>(options.savePreset);
    writeBinaryFile(*presetFile, capturePreset(instance, effect));
  }
  audioFile.commit();
  if (stateFile) stateFile->commit();
  if (presetFile) presetFile->commit();

  const std::vector<Levels> inLevels = meteredMain.meter().levels();
  const std::vector<Levels> outLevels = meteredOutput.meter().levels();
  std::printf("rendered %s -> %s: %zu ch at %ld Hz through \"%s\", %d-bit processing, blocks of %d, %s\n",
              options.inputPath.c_str(), options.outputPath.c_str(), outputChannels, std::lround(input.sampleRate()),
              effect.name.c_str(), options.precision, options.blockSize, sampleFormatName(options.format));
  if (sidechain) std::printf("sidechain %s on the aux input\n", options.sidechainPath.c_str());
  printSummary(inLevels, outLevels);
  return 0;
}

}  // namespace velmora_host
