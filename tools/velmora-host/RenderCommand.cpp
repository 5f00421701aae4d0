// `render`: files through the effect, with the settings and automation the options ask for; one
// file on the calling thread, several on a pool of workers with an instance each.
#include "tools/velmora-host/Commands.h"

#include "tools/session/AutomationSchedule.h"
#include "tools/session/ParameterLookup.h"
#include "tools/session/PluginModule.h"
#include "tools/session/PresetLibrary.h"
#include "tools/session/Renderer.h"
#include "tools/session/StateFiles.h"
#include "tools/session/VelmoraMeanings.h"
#include "tools/support/AudioFile.h"
#include "tools/support/Cancellation.h"
#include "tools/support/HostError.h"
#include "tools/support/Loudness.h"
#include "tools/support/OutputFile.h"
#include "tools/support/OutputType.h"
#include "tools/support/ProgressBar.h"
#include "tools/velmora-host/RenderReport.h"
#include "tools/velmora-host/StepTable.h"
#include "tools/vst3host/Instance.h"

#include "plugin/VelmoraSteps.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>

namespace velmora_host {

namespace {

namespace fs = std::filesystem;

// Renders shorter than this finish before a progress bar would be worth reading.
constexpr double kProgressSeconds = 20.0;

struct RenderJob {
  std::string input, output;  // "-": standard input or output
  OutputType type;
};

// Everything read from disk before any rendering starts, shared by every job.
struct RenderPlan {
  const RenderOptions& options;
  std::vector<AutomationLane> automation;
  std::vector<char> stateToLoad;  // a raw state or a preset file's bytes (which may be none) ...
  std::string stateSource;        // ... from this file; empty when nothing is loaded
  bool stateIsPreset = false;
  std::vector<std::string> warnings;  // about the settings, the same for every file
};

// A new instance with the plan's state, settings and automation, ready to render at `sampleRate`.
struct PreparedInstance {
  std::unique_ptr<vst3host::Instance> instance;
  std::vector<ParameterValue> changes;
  std::optional<AutomationSchedule> automation;
};

// Velmora's steps have meanings velmora-host can name and read; other effects' are numbers.
bool IsVelmora(const ClassDescription& effect) {
  return std::memcmp(effect.cid, kVelmoraClassId.data(), kVelmoraClassId.size()) == 0;
}

// Every parameter a host may set, as the render starts; program changes (which would restore a
// preset over the others) and read-only parameters are no settings.
std::vector<RenderSetting> SettingsOf(const PreparedInstance& prepared, bool velmora) {
  using Steinberg::Vst::ParameterInfo;
  std::vector<RenderSetting> settings;
  for (const vst3host::ParameterDescription& p : prepared.instance->Parameters()) {
    if (p.flags & (ParameterInfo::kIsProgramChange | ParameterInfo::kIsReadOnly)) continue;
    const double normalized = prepared.instance->Controller()->getParamNormalized(p.id);
    const std::string text =
        velmora && p.stepCount > 0 && p.id < static_cast<Steinberg::Vst::ParamID>(kNumParams)
            ? VelmoraStepText(static_cast<int>(p.id), static_cast<int>(std::lround(normalized * p.stepCount)))
            : std::string();
    settings.push_back(RenderSetting{p.id, p.title, p.stepCount, normalized,
                                     prepared.automation && prepared.automation->LargestValue(p.id).has_value(), text});
  }
  return settings;
}

// Settings that make no sense together with the files given. Velmora's "External Sidechain" feeds
// its detectors from the aux input; without a sidechain file that input is silent, and the
// compressor and limiter do nothing.
std::vector<std::string> SettingWarnings(const ClassDescription& effect, const RenderOptions& options,
                                         const PreparedInstance& prepared) {
  std::vector<std::string> warnings;
  if (!IsVelmora(effect) || !options.sidechainPath.empty()) return warnings;
  const Steinberg::Vst::ParamID id = kParamExternalSidechain;
  const bool onAtStart = prepared.instance->Controller()->getParamNormalized(id) >= 0.5;
  const bool onLater = prepared.automation && prepared.automation->LargestValue(id).value_or(0.0) >= 0.5;
  if (onAtStart || onLater)
    warnings.push_back(std::string("\"External Sidechain\" is on") + (onAtStart ? "" : " in the automation") +
                       " but no --sidechain file is given: the detectors hear silence there, and "
                       "nothing is compressed or limited");
  return warnings;
}

OutputType OutputTypeOf(const std::string& path, const std::string& typeOption,
                        const std::optional<SampleFormat>& format) {
  std::string error;
  std::optional<OutputType> type = ChooseOutputType(path, typeOption, format, &error);
  if (!type) throw HostError(error);
  return *type;
}

// The outputs of the command line: OUT for one input, or DIR/<input name>.<type> for each, and the
// kind of file each is.
std::vector<RenderJob> PlanJobs(const RenderOptions& options) {
  const bool stdinTwice = options.sidechainPath == "-" &&
                          std::find(options.inputs.begin(), options.inputs.end(), "-") != options.inputs.end();
  if (stdinTwice) throw HostError("standard input (\"-\") can feed the input or the sidechain, not both");
  if (options.outDir.empty()) {
    const std::string& output = options.outputPath;
    return {RenderJob{options.inputs.front(), output, OutputTypeOf(output, options.type, options.format)}};
  }
  const OutputType type = OutputTypeOf("", options.type.empty() ? "wav" : options.type, options.format);
  std::vector<RenderJob> jobs;
  std::map<std::string, std::string> inputOf;
  for (const std::string& input : options.inputs) {
    if (input == "-") throw HostError("standard input has no name to give its output in --out-dir");
    const std::string output = (fs::u8path(options.outDir) / fs::u8path(input).stem()).u8string() + "." + type.key;
    const std::string key = fs::absolute(fs::u8path(output)).lexically_normal().u8string();
    if (inputOf.count(key)) throw HostError("inputs " + inputOf[key] + " and " + input + " would both write " + output);
    inputOf[key] = input;
    jobs.push_back(RenderJob{input, output, type});
  }
  return jobs;
}

// Whether two names are one file: the same file through any links, or, for files that do not
// exist yet, the same absolute name.
bool SameFile(const std::string& a, const std::string& b) {
  if (a == "-" || b == "-") return false;  // standard input and output are streams, not files
  std::error_code ec;
  if (fs::equivalent(fs::u8path(a), fs::u8path(b), ec)) return true;
  return fs::absolute(fs::u8path(a), ec).lexically_normal() == fs::absolute(fs::u8path(b), ec).lexically_normal();
}

// No output may be one of the files the render reads (nor two outputs one file): the output would
// replace what it was made from. Checked before anything is written. `presetFile` is the preset
// file --load-preset names, once found.
void CheckOutputsAreNotInputs(const RenderOptions& options, const std::vector<RenderJob>& jobs,
                              const std::string& presetFile) {
  std::vector<std::pair<std::string, std::string>> inputs;  // (file, what it is)
  for (const RenderJob& job : jobs) inputs.emplace_back(job.input, "an input");
  if (!options.sidechainPath.empty()) inputs.emplace_back(options.sidechainPath, "the sidechain input");
  if (!options.loadState.empty()) inputs.emplace_back(options.loadState, "the state loaded");
  if (!presetFile.empty()) inputs.emplace_back(presetFile, "the preset loaded");
  for (const AutomationFile& file : options.automationFiles) inputs.emplace_back(file.path, "an automation file");

  std::vector<std::string> outputs;
  for (const RenderJob& job : jobs) outputs.push_back(job.output);
  for (const std::string& extra : {options.saveState, options.savePreset})
    if (!extra.empty()) outputs.push_back(extra);

  for (std::size_t o = 0; o < outputs.size(); ++o) {
    for (const auto& [input, what] : inputs)
      if (SameFile(outputs[o], input))
        throw HostError("output " + outputs[o] + " is " + what + (input == outputs[o] ? "" : " (" + input + ")") +
                        "; refusing to write over it");
    for (std::size_t other = o + 1; other < outputs.size(); ++other)
      if (SameFile(outputs[o], outputs[other]))
        throw HostError("outputs " + outputs[o] + " and " + outputs[other] + " are the same file");
  }
}

// `render a.wav b.wav`, where a shell's pattern found exactly two files, names b.wav as the output.
// An output that already holds audio is therefore taken for a second input unless the user says
// it is to be replaced.
void CheckSingleOutputIsNoInput(const RenderOptions& options) {
  if (!options.outDir.empty() || options.overwrite || options.outputPath == "-") return;
  const std::string& output = options.outputPath;
  std::error_code ec;
  if (!fs::is_regular_file(fs::u8path(output), ec)) return;
  std::string notAudio;
  if (!AudioFileReader::Open(output, &notAudio)) return;  // an output named in advance (by mktemp, say)
  throw UsageError(output +
                       " exists and holds audio: several inputs need --out-dir DIR, and --overwrite "
                       "replaces an existing output",
                   "render");
}

PreparedInstance PrepareInstance(const PluginModule& module, const ClassDescription& effect, const RenderPlan& plan,
                                 double sampleRate) {
  PreparedInstance prepared;
  std::string error;
  prepared.instance = OrThrow(module.CreateEffect(nullptr, &error), error);
  vst3host::Instance& instance = *prepared.instance;
  const std::vector<vst3host::ParameterDescription> parameters = instance.Parameters();
  for (const ParamAssignment& assignment : plan.options.assignments)
    prepared.changes.push_back(
        OrThrow(ResolveAssignment(instance, parameters, assignment, &error, IsVelmora(effect)), error).value());
  prepared.automation =
      OrThrow(AutomationSchedule::Create(instance, parameters, plan.automation, prepared.changes, sampleRate,
                                         static_cast<std::size_t>(plan.options.blockSize), &error),
              error);
  if (!plan.stateSource.empty() &&
      !(plan.stateIsPreset ? RestorePreset(instance, effect, plan.stateToLoad, plan.stateSource, &error)
                           : RestoreState(instance, effect, plan.stateToLoad, plan.stateSource, &error)))
    throw HostError(error);
  for (const ParameterValue& change : prepared.changes)
    instance.Controller()->setParamNormalized(change.id, change.normalized);
  for (const ParameterValue& start : prepared.automation->InitialValues())
    instance.Controller()->setParamNormalized(start.id, start.normalized);
  return prepared;
}

// One file through a fresh instance. Its outputs are complete in temporary files before any takes
// its final name; a failure leaves none of them.
RenderReport RenderFile(const PluginModule& module, const ClassDescription& effect, const RenderPlan& plan,
                        const RenderJob& job, ProgressBar& progress) {
  const RenderOptions& options = plan.options;
  std::string error;
  const std::unique_ptr<AudioFileReader> opened = OrThrow(AudioFileReader::Open(job.input, &error), error);
  AudioFileReader& input = *opened;
  std::unique_ptr<AudioFileReader> sidechain;
  if (!options.sidechainPath.empty()) {
    sidechain = OrThrow(AudioFileReader::Open(options.sidechainPath, &error), error);
    if (sidechain->SampleRate() != input.SampleRate())
      throw HostError("sidechain file " + options.sidechainPath + " runs at " +
                      std::to_string(std::lround(sidechain->SampleRate())) + " Hz, the input at " +
                      std::to_string(std::lround(input.SampleRate())) + " Hz");
  }

  // A file cut short is refused before any work with --strict; a stream only shows it at its end.
  const std::vector<const AudioFileReader*> sources{&input, sidechain.get()};
  auto checkTruncation = [&](std::vector<std::string>* warnings) {
    for (const AudioFileReader* source : sources) {
      if (!source || !source->Truncated()) continue;
      if (options.strict) throw HostError(source->TruncationText() + " (--strict refuses a truncated input)");
      if (warnings) warnings->push_back(source->TruncationText() + ": rendered what is there");
    }
  };
  checkTruncation(nullptr);

  PreparedInstance prepared = PrepareInstance(module, effect, plan, input.SampleRate());
  vst3host::Instance& instance = *prepared.instance;
  const std::vector<RenderSetting> startingSettings = SettingsOf(prepared, IsVelmora(effect));
  RenderSettings settings;
  settings.blockSize = options.blockSize;
  settings.precision = options.precision;
  settings.progress = &progress;
  const std::unique_ptr<Renderer> created =
      OrThrow(Renderer::Create(instance, effect, input.SampleRate(), sidechain != nullptr, settings, &error), error);
  Renderer& renderer = *created;
  if (!CheckBusChannels(input.Channels(), renderer.MainInputChannels(), "input " + AudioFileName(job.input, SFM_READ),
                        renderer.MainInputName(), &error))
    throw HostError(error);
  SpreadSource main(input, renderer.MainInputChannels());
  if (options.loudness &&
      !LoudnessMeter::Measurable(static_cast<std::size_t>(main.Channels()), main.SampleRate(), &error))
    throw HostError(error);
  MeteredSource meteredMain(main, options.loudness);
  std::unique_ptr<SpreadSource> side;
  if (sidechain) {
    if (!CheckBusChannels(sidechain->Channels(), renderer.SidechainChannels(),
                          "sidechain file " + options.sidechainPath, renderer.SidechainName(), &error))
      throw HostError(error);
    side = std::make_unique<SpreadSource>(*sidechain, renderer.SidechainChannels());
  }

  // A mono input is heard on every channel of the effect, which keeps them alike; its output is
  // mono again.
  const auto busChannels = static_cast<std::size_t>(renderer.OutputChannels());
  const std::size_t outputChannels = input.Channels() == 1 ? 1 : busChannels;
  std::unique_ptr<OutputFile> audioFile;
  if (job.output != "-") audioFile = std::make_unique<OutputFile>(job.output);
  const std::unique_ptr<AudioFileWriter> openedWriter =
      OrThrow(AudioFileWriter::Open(audioFile.get(), outputChannels, input.SampleRate(), job.type, &error,
                                    options.dither, input.Metadata()),
              error);
  AudioFileWriter& writer = *openedWriter;
  // The summary describes the file as written: after rounding, dither and clipping.
  if (options.loudness && !LoudnessMeter::Measurable(outputChannels, input.SampleRate(), &error))
    throw HostError(error);
  LevelMeter outputMeter(outputChannels, input.SampleRate(), options.loudness);
  writer.MeterWith(&outputMeter);
  MonoFoldSink mono(writer, busChannels);
  if (!renderer.Run(meteredMain, side.get(), outputChannels == busChannels ? static_cast<AudioSink&>(writer) : mono,
                    prepared.changes, prepared.automation->Empty() ? nullptr : &*prepared.automation, &error))
    throw HostError(error);
  if (!writer.Close(&error)) throw HostError(error);
  RenderReport report;
  report.warnings = plan.warnings;
  report.settings = startingSettings;
  checkTruncation(&report.warnings);

  std::unique_ptr<OutputFile> stateFile, presetFile;
  if (!options.saveState.empty()) {
    stateFile = std::make_unique<OutputFile>(options.saveState);
    if (!WriteBinaryFile(*stateFile, OrThrow(CaptureState(instance, effect, &error), error).value(), &error))
      throw HostError(error);
  }
  if (!options.savePreset.empty()) {
    presetFile = std::make_unique<OutputFile>(options.savePreset);
    if (!WriteBinaryFile(*presetFile, OrThrow(CapturePreset(instance, effect, {}, &error), error).value(), &error))
      throw HostError(error);
  }
  // Asked to stop during the last block: nothing takes its final name.
  ThrowIfCancelled();
  std::string commitError;
  for (OutputFile* file : {audioFile.get(), stateFile.get(), presetFile.get()})
    if (file && !file->Commit(&commitError)) throw HostError(commitError);

  report.input = job.input;
  report.output = job.output;
  report.sidechain = options.sidechainPath;
  report.effect = effect.name;
  report.sampleRate = input.SampleRate();
  report.channels = outputChannels;
  report.frames = outputMeter.Frames();
  report.precision = options.precision;
  report.blockSize = options.blockSize;
  report.type = job.type;
  report.automatedParameters = prepared.automation->LaneCount();
  report.in = SignalLevels{meteredMain.Meter().ChannelLevels(), meteredMain.Meter().MeasuredLoudness()};
  report.out = SignalLevels{outputMeter.ChannelLevels(), outputMeter.MeasuredLoudness()};
  report.clipped = writer.Quantizer().Clipped();
  report.dither = writer.Quantizer().Dithers();
  std::uint64_t clipped = 0;
  for (const std::uint64_t count : report.clipped) clipped += count;
  if (clipped > 0)
    report.warnings.push_back(
        job.output + ": " + std::to_string(clipped) + " sample" + (clipped == 1 ? "" : "s") +
        " beyond full scale clipped in " + SampleFormatName(job.type.sample.value_or(SampleFormat::Float32)) +
        (job.type.holdsFloat ? " (lower the output level, or write --format float)" : " (lower the output level)"));
  for (std::size_t i = plan.warnings.size(); i < report.warnings.size(); ++i)
    progress.Message("velmora-host: warning: " + report.warnings[i]);
  return report;
}

// The seconds of audio of every input, as their headers state them (0 for one that cannot be
// opened; its job reports that); `streams` tells whether any input is a stream, of unknown length.
double TotalSeconds(const std::vector<RenderJob>& jobs, bool* streams) {
  double seconds = 0.0;
  *streams = false;
  for (const RenderJob& job : jobs) {
    // A stream can be read only once, by its render.
    std::error_code ec;
    if (job.input == "-" || !fs::is_regular_file(fs::u8path(job.input), ec)) {
      *streams = true;
      continue;
    }
    std::string error;
    if (const std::unique_ptr<AudioFileReader> reader = AudioFileReader::Open(job.input, &error))
      seconds += static_cast<double>(reader->Frames()) / reader->SampleRate();
  }
  return seconds;
}

}  // namespace

int RunRender(const HostSetup& setup, const RenderOptions& options) {
  const std::vector<RenderJob> jobs = PlanJobs(options);
  CheckOutputsAreNotInputs(options, jobs, {});
  CheckSingleOutputIsNoInput(options);
  RenderPlan plan{options, options.automation, {}, {}, false, {}};
  std::string reason;
  for (const AutomationFile& file : options.automationFiles) {
    std::vector<AutomationLane> lanes =
        OrThrow(ReadAutomationFile(file.path, file.normalised, &reason), reason).value();
    for (AutomationLane& lane : lanes) plan.automation.push_back(std::move(lane));
  }
  if (!options.loadState.empty()) {
    plan.stateToLoad = OrThrow(ReadBinaryFile(options.loadState, &reason), reason).value();
    plan.stateSource = options.loadState;
    if (!CheckStateFile(plan.stateToLoad, plan.stateSource, &reason)) throw HostError(reason);
  }

  const std::unique_ptr<PluginModule> opened = OrThrow(PluginModule::Open(setup.module, &reason), reason);
  const PluginModule& module = *opened;
  const ClassDescription& effect = *OrThrow(module.EffectClass(&reason), reason);
  if (!options.loadPreset.empty()) {
    plan.stateSource =
        OrThrow(ResolvePresetFile(options.loadPreset, module, effect, setup.presetRoots, &reason), reason).value();
    CheckOutputsAreNotInputs(options, jobs, plan.stateSource);
    plan.stateToLoad = OrThrow(ReadBinaryFile(plan.stateSource, &reason), reason).value();
    plan.stateIsPreset = true;
    if (plan.stateToLoad.empty()) throw HostError("preset file " + plan.stateSource + " is empty");
  }
  // Settings, state and automation the effect refuses are refused now, before any output exists.
  plan.warnings = SettingWarnings(effect, options, PrepareInstance(module, effect, plan, 44100.0));
  for (const std::string& warning : plan.warnings) std::fprintf(stderr, "velmora-host: warning: %s\n", warning.c_str());
  if (!options.outDir.empty()) {
    std::error_code ec;
    fs::create_directories(fs::u8path(options.outDir), ec);
    if (ec) throw HostError("cannot create output folder " + options.outDir + ": " + ec.message());
  }

  bool streams = false;
  const double seconds = TotalSeconds(jobs, &streams);
  ProgressBar progress(streams ? 0.0 : seconds, jobs.size(), !options.quiet && (streams || seconds > kProgressSeconds));
  std::vector<std::optional<RenderReport>> reports(jobs.size());
  std::vector<std::string> failures(jobs.size());
  const bool batch = !options.outDir.empty();
  if (!batch) {
    reports[0] = RenderFile(module, effect, plan, jobs[0], progress);
  } else {
    // Each worker takes the next file and renders it through an instance of its own, so a
    // file's bytes never depend on which worker had it or on what it rendered before.
    std::atomic<std::size_t> next{0};
    std::atomic<int> cancelled{0};
    auto work = [&] {
      for (std::size_t i = next++; i < jobs.size() && !cancelled; i = next++) {
        try {
          reports[i] = RenderFile(module, effect, plan, jobs[i], progress);
        } catch (const Cancelled& stop) {
          cancelled = stop.signal;
        } catch (const std::exception& error) {
          failures[i] = error.what();
          progress.Message(std::string("velmora-host: ") + jobs[i].input + ": " + failures[i]);
        }
        progress.FileDone();
      }
    };
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t workers = std::min<std::size_t>(jobs.size(), options.jobs > 0 ? options.jobs : cores);
    std::vector<std::thread> pool;
    for (std::size_t w = 1; w < workers; ++w) pool.emplace_back(work);
    work();
    for (std::thread& worker : pool) worker.join();
    if (cancelled) throw Cancelled{cancelled};
  }
  progress.Finish();

  const auto failed = static_cast<std::size_t>(
      std::count_if(reports.begin(), reports.end(), [](const std::optional<RenderReport>& r) { return !r; }));
  // Audio on standard output leaves the summary to standard error.
  std::FILE* summary = options.outputPath == "-" ? stderr : stdout;
  if (setup.json) {  // asked for explicitly: printed even with --quiet
    Json list = Json::array();
    for (std::size_t i = 0; i < jobs.size(); ++i)
      list.push_back(reports[i] ? RenderReportJson(*reports[i])
                                : FailedRenderJson(jobs[i].input, jobs[i].output, failures[i]));
    std::fputs(JsonText({{"renders", list}, {"rendered", jobs.size() - failed}, {"failed", failed}}).c_str(), summary);
  } else if (!options.quiet) {
    bool first = true;
    for (const std::optional<RenderReport>& report : reports) {
      if (!report) continue;
      if (!first) std::fprintf(summary, "\n");
      first = false;
      PrintRenderReport(summary, *report);
    }
    if (batch)
      std::fprintf(summary, "\n%zu of %zu files rendered into %s%s\n", jobs.size() - failed, jobs.size(),
                   options.outDir.c_str(), failed ? ", the others failed (see above)" : "");
  }
  return failed ? 1 : 0;
}

}  // namespace velmora_host
