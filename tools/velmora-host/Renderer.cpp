#include "tools/velmora-host/Renderer.h"

#include "tools/velmora-host/HostContext.h"
#include "tools/velmora-host/HostError.h"
#include "tools/velmora-host/ProgressBar.h"

#include "pluginterfaces/vst/ivstprocesscontext.h"

#include <algorithm>

namespace velmora_host {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr double kTempo = 120.0;
// Renders shorter than this finish before a progress bar would be worth reading.
constexpr double kProgressSeconds = 20.0;

// Per-bus sample storage and the pointer arrays ProcessData refers to.
template <typename Sample>
struct BusBuffers {
  std::vector<std::vector<Sample>> channels;
  std::vector<Sample*> pointers;

  BusBuffers(int channelCount, int blockSize)
      : channels(static_cast<std::size_t>(channelCount), std::vector<Sample>(static_cast<std::size_t>(blockSize))) {
    for (auto& channel : channels) pointers.push_back(channel.data());
  }
};

template <typename Sample> Sample** channelBuffers(AudioBusBuffers& bus);
template <> float** channelBuffers<float>(AudioBusBuffers& bus) { return bus.channelBuffers32; }
template <> double** channelBuffers<double>(AudioBusBuffers& bus) { return bus.channelBuffers64; }

template <typename Sample>
void attach(AudioBusBuffers& bus, BusBuffers<Sample>& storage) {
  bus.numChannels = static_cast<int32>(storage.channels.size());
  bus.silenceFlags = 0;
  if constexpr (std::is_same_v<Sample, float>)
    bus.channelBuffers32 = storage.pointers.data();
  else
    bus.channelBuffers64 = storage.pointers.data();
}

// Copies frames [start, start + n) of `audio` into the bus; frames at or past `end` (or past
// the audio's own length) are silence.
template <typename Sample>
void fill(BusBuffers<Sample>& storage, const AudioData* audio, std::size_t start, std::size_t n, std::size_t end) {
  for (std::size_t c = 0; c < storage.channels.size(); ++c) {
    Sample* out = storage.channels[c].data();
    const std::vector<double>* in = audio && c < audio->channelCount() ? &audio->channels[c] : nullptr;
    const std::size_t limit = in ? std::min(end, in->size()) : 0;
    for (std::size_t i = 0; i < n; ++i) out[i] = start + i < limit ? static_cast<Sample>((*in)[start + i]) : Sample(0);
  }
}

}  // namespace

AudioData fitToBus(const AudioData& audio, int channels, const std::string& what, const std::string& busName) {
  const auto have = static_cast<int>(audio.channelCount());
  if (have == channels) return audio;
  if (have == 1 && channels > 1) {
    AudioData spread = audio;
    spread.channels.assign(static_cast<std::size_t>(channels), audio.channels.front());
    return spread;
  }
  throw HostError(what + " has " + std::to_string(have) + " channel" + (have == 1 ? "" : "s") + ", but the \"" +
                  busName + "\" bus takes " + std::to_string(channels));
}

Renderer::Renderer(PluginInstance& instance, double sampleRate, bool useSidechain, const RenderSettings& settings)
    : mInstance(instance), mSampleRate(sampleRate), mSettings(settings) {
  const std::string name = "the effect \"" + instance.classDescription().name + "\"";
  mInputs = instance.audioBuses(kInput);
  mOutputs = instance.audioBuses(kOutput);
  if (mOutputs.empty()) throw HostError(name + " has no audio output");
  if (mInputs.empty()) throw HostError(name + " has no audio input");
  for (std::size_t i = 0; i < mInputs.size(); ++i)
    if (mInputs[i].aux && mAuxInput < 0) mAuxInput = static_cast<int>(i);
  mMainInput = mAuxInput == 0 && mInputs.size() > 1 ? 1 : 0;
  if (useSidechain && mAuxInput < 0) throw HostError(name + " has no sidechain (aux) input bus");

  // The arrangements the effect declares, offered back as a host confirms them. Some effects
  // answer false when nothing changes; the buses stay as declared either way.
  std::vector<SpeakerArrangement> ins, outs;
  for (const BusDescription& bus : mInputs) ins.push_back(bus.arrangement);
  for (const BusDescription& bus : mOutputs) outs.push_back(bus.arrangement);
  instance.processor()->setBusArrangements(ins.data(), static_cast<int32>(ins.size()), outs.data(),
                                           static_cast<int32>(outs.size()));
  mInputs = instance.audioBuses(kInput);
  mOutputs = instance.audioBuses(kOutput);
  if (mMainInput >= mInputs.size() || (mAuxInput >= 0 && static_cast<std::size_t>(mAuxInput) >= mInputs.size()))
    throw HostError(name + " changed its buses when they were confirmed");

  IComponent* component = instance.component();
  for (std::size_t i = 0; i < mInputs.size(); ++i) {
    const bool on = i == mMainInput || (useSidechain && static_cast<int>(i) == mAuxInput);
    component->activateBus(kAudio, kInput, static_cast<int32>(i), on);
  }
  for (std::size_t i = 0; i < mOutputs.size(); ++i)
    component->activateBus(kAudio, kOutput, static_cast<int32>(i), i == 0);
  mSidechainActive = useSidechain;

  const int32 sampleSize = settings.precision == 64 ? kSample64 : kSample32;
  if (instance.processor()->canProcessSampleSize(sampleSize) != kResultOk)
    throw HostError(name + " cannot process " + std::to_string(settings.precision) + "-bit samples");
  ProcessSetup setup{kOffline, sampleSize, settings.blockSize, sampleRate};
  if (instance.processor()->setupProcessing(setup) != kResultOk)
    throw HostError(name + " refused offline processing at " + std::to_string(static_cast<long>(sampleRate)) +
                    " Hz with blocks of " + std::to_string(settings.blockSize));
}

Renderer::~Renderer() {
  if (mActive) {
    mInstance.processor()->setProcessing(false);
    mInstance.component()->setActive(false);
  }
}

AudioData Renderer::run(const AudioData& main, const AudioData* sidechain, const std::vector<ParameterValue>& changes) {
  if (mInstance.component()->setActive(true) != kResultOk)
    throw HostError("the effect \"" + mInstance.classDescription().name + "\" failed to activate");
  mActive = true;
  mInstance.processor()->setProcessing(true);  // optional for an effect; the result does not matter
  AudioData output = mSettings.precision == 64 ? runBlocks<double>(main, sidechain, changes)
                                                : runBlocks<float>(main, sidechain, changes);
  mInstance.processor()->setProcessing(false);
  mInstance.component()->setActive(false);
  mActive = false;
  return output;
}

template <typename Sample>
AudioData Renderer::runBlocks(const AudioData& main, const AudioData* sidechain,
                              const std::vector<ParameterValue>& changes) {
  const std::size_t frames = main.frameCount();
  const std::size_t latency = mInstance.processor()->getLatencySamples();
  const std::size_t total = frames + latency;
  const auto block = static_cast<std::size_t>(mSettings.blockSize);

  std::vector<BusBuffers<Sample>> inputs, outputs;
  for (const BusDescription& bus : mInputs) inputs.emplace_back(bus.channels, mSettings.blockSize);
  for (const BusDescription& bus : mOutputs) outputs.emplace_back(bus.channels, mSettings.blockSize);
  std::vector<AudioBusBuffers> inputBuses(inputs.size()), outputBuses(outputs.size());
  for (std::size_t i = 0; i < inputs.size(); ++i) attach(inputBuses[i], inputs[i]);
  for (std::size_t i = 0; i < outputs.size(); ++i) attach(outputBuses[i], outputs[i]);

  IPtr<ParameterChanges> inputChanges = owned(new ParameterChanges);
  IPtr<ParameterChanges> outputChanges = owned(new ParameterChanges);
  IPtr<EmptyEventList> inputEvents = owned(new EmptyEventList);
  IPtr<EmptyEventList> outputEvents = owned(new EmptyEventList);
  for (const ParameterValue& change : changes) inputChanges->add(change.id, 0, change.normalized);

  ProcessContext context{};
  context.state = ProcessContext::kPlaying | ProcessContext::kTempoValid | ProcessContext::kTimeSigValid |
                  ProcessContext::kProjectTimeMusicValid | ProcessContext::kContTimeValid;
  context.sampleRate = mSampleRate;
  context.tempo = kTempo;
  context.timeSigNumerator = 4;
  context.timeSigDenominator = 4;

  ProcessData data;
  data.processMode = kOffline;
  data.symbolicSampleSize = std::is_same_v<Sample, double> ? kSample64 : kSample32;
  data.numInputs = static_cast<int32>(inputBuses.size());
  data.numOutputs = static_cast<int32>(outputBuses.size());
  data.inputs = inputBuses.data();
  data.outputs = outputBuses.data();
  data.inputParameterChanges = inputChanges;
  data.outputParameterChanges = outputChanges;
  data.inputEvents = inputEvents;
  data.outputEvents = outputEvents;
  data.processContext = &context;

  AudioData output = AudioData::silent(static_cast<std::size_t>(mOutputs.front().channels), frames, mSampleRate);
  ProgressBar progress(total, mSettings.showProgress && static_cast<double>(frames) > kProgressSeconds * mSampleRate);
  const std::string name = "the effect \"" + mInstance.classDescription().name + "\"";
  for (std::size_t start = 0; start < total; start += block) {
    const std::size_t n = std::min(block, total - start);
    for (std::size_t b = 0; b < inputs.size(); ++b) {
      const AudioData* source = b == mMainInput ? &main
                                : (static_cast<int>(b) == mAuxInput && mSidechainActive) ? sidechain
                                                                                          : nullptr;
      // Past the end of the main input only silence goes in; a longer sidechain is cut there.
      fill(inputs[b], source, start, n, frames);
    }
    for (std::size_t b = 0; b < outputBuses.size(); ++b) attach(outputBuses[b], outputs[b]);
    context.projectTimeSamples = static_cast<TSamples>(start);
    context.continousTimeSamples = static_cast<TSamples>(start);
    context.projectTimeMusic = static_cast<double>(start) / mSampleRate * kTempo / 60.0;
    data.numSamples = static_cast<int32>(n);

    if (mInstance.processor()->process(data) != kResultOk)
      throw HostError(name + " failed to process the block at sample " + std::to_string(start));
    if (start == 0) inputChanges->clear();
    outputChanges->clear();

    const Sample* const* produced = channelBuffers<Sample>(outputBuses.front());
    for (std::size_t i = 0; i < n; ++i) {
      const std::size_t at = start + i;
      if (at < latency || at - latency >= frames) continue;
      for (std::size_t c = 0; c < output.channelCount(); ++c)
        output.channels[c][at - latency] = static_cast<double>(produced[c][i]);
    }
    progress.update(start + n);
  }
  progress.finish();
  return output;
}

}  // namespace velmora_host
