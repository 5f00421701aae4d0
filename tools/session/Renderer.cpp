#include "tools/session/Renderer.h"

#include "tools/support/Cancellation.h"
#include "tools/vst3host/EventList.h"
#include "tools/vst3host/ParameterChanges.h"
#include "tools/vst3host/ProcessBuffers.h"

#include "pluginterfaces/vst/ivstprocesscontext.h"

#include <algorithm>
#include <memory>

namespace velmora_host {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr double kTempo = 120.0;

// Double-precision blocks between the streams and the buses.
struct Scratch {
  std::vector<std::vector<double>> channels;
  std::vector<double*> pointers;

  Scratch(int channelCount, std::size_t blockSize)
      : channels(static_cast<std::size_t>(channelCount), std::vector<double>(blockSize)) {
    for (auto& channel : channels) pointers.push_back(channel.data());
  }
  void Zero(std::size_t from, std::size_t to) {
    for (auto& channel : channels)
      std::fill(channel.begin() + static_cast<std::ptrdiff_t>(from), channel.begin() + static_cast<std::ptrdiff_t>(to),
                0.0);
  }
};

}  // namespace

bool CheckBusChannels(int sourceChannels, int busChannels, const std::string& what, const std::string& busName,
                      std::string* error) {
  if (sourceChannels == busChannels || sourceChannels == 1) return true;
  *error = what + " has " + std::to_string(sourceChannels) + " channels, but the \"" + busName + "\" bus takes " +
           std::to_string(busChannels);
  return false;
}

Renderer::Renderer(vst3host::Instance& instance, const ClassDescription& effect, double sampleRate,
                   const RenderSettings& settings)
    : mInstance(instance), mEffectName(effect.name), mSampleRate(sampleRate), mSettings(settings) {}

std::unique_ptr<Renderer> Renderer::Create(vst3host::Instance& instance, const ClassDescription& effect,
                                           double sampleRate, bool useSidechain, const RenderSettings& settings,
                                           std::string* error) {
  std::unique_ptr<Renderer> renderer(new Renderer(instance, effect, sampleRate, settings));
  if (!renderer->SetUp(useSidechain, error)) return nullptr;
  return renderer;
}

bool Renderer::SetUp(bool useSidechain, std::string* error) {
  vst3host::Instance& instance = mInstance;
  const RenderSettings& settings = mSettings;
  const double sampleRate = mSampleRate;
  const std::string name = "the effect \"" + mEffectName + "\"";
  mInputs = instance.AudioBuses(kInput);
  mOutputs = instance.AudioBuses(kOutput);
  if (mOutputs.empty()) {
    *error = name + " has no audio output";
    return false;
  }
  if (mInputs.empty()) {
    *error = name + " has no audio input";
    return false;
  }
  for (std::size_t i = 0; i < mInputs.size(); ++i)
    if (mInputs[i].aux && mAuxInput < 0) mAuxInput = static_cast<int>(i);
  mMainInput = mAuxInput == 0 && mInputs.size() > 1 ? 1 : 0;
  if (useSidechain && mAuxInput < 0) {
    *error = name + " has no sidechain (aux) input bus";
    return false;
  }

  // The arrangements the effect declares, offered back as a host confirms them. Some effects
  // answer false when nothing changes; the buses stay as declared either way.
  std::vector<SpeakerArrangement> ins, outs;
  for (const vst3host::BusDescription& bus : mInputs) ins.push_back(bus.arrangement);
  for (const vst3host::BusDescription& bus : mOutputs) outs.push_back(bus.arrangement);
  instance.Processor()->setBusArrangements(ins.data(), static_cast<int32>(ins.size()), outs.data(),
                                           static_cast<int32>(outs.size()));
  mInputs = instance.AudioBuses(kInput);
  mOutputs = instance.AudioBuses(kOutput);
  if (mMainInput >= mInputs.size() || (mAuxInput >= 0 && static_cast<std::size_t>(mAuxInput) >= mInputs.size())) {
    *error = name + " changed its buses when they were confirmed";
    return false;
  }

  IComponent* component = instance.Component();
  for (std::size_t i = 0; i < mInputs.size(); ++i) {
    const bool on = i == mMainInput || (useSidechain && static_cast<int>(i) == mAuxInput);
    component->activateBus(kAudio, kInput, static_cast<int32>(i), on);
  }
  for (std::size_t i = 0; i < mOutputs.size(); ++i)
    component->activateBus(kAudio, kOutput, static_cast<int32>(i), i == 0);
  mSidechainActive = useSidechain;

  const int32 sampleSize = settings.precision == 64 ? kSample64 : kSample32;
  if (instance.Processor()->canProcessSampleSize(sampleSize) != kResultOk) {
    *error = name + " cannot process " + std::to_string(settings.precision) + "-bit samples";
    return false;
  }
  ProcessSetup setup{kOffline, sampleSize, settings.blockSize, sampleRate};
  if (instance.Processor()->setupProcessing(setup) != kResultOk) {
    *error = name + " refused offline processing at " + std::to_string(static_cast<long>(sampleRate)) +
             " Hz with blocks of " + std::to_string(settings.blockSize);
    return false;
  }
  return true;
}

Renderer::~Renderer() {
  if (mActive) {
    mInstance.Processor()->setProcessing(false);
    mInstance.Component()->setActive(false);
  }
}

bool Renderer::Run(AudioSource& main, AudioSource* sidechain, AudioSink& output,
                   const std::vector<ParameterValue>& changes, AutomationSchedule* automation, std::string* error) {
  if (mInstance.Component()->setActive(true) != kResultOk) {
    *error = "the effect \"" + mEffectName + "\" failed to activate";
    return false;
  }
  mActive = true;
  mInstance.Processor()->setProcessing(true);  // optional for an effect; the result does not matter
  const bool rendered = RunBlocks(main, sidechain, output, changes, automation, error);
  mInstance.Processor()->setProcessing(false);
  mInstance.Component()->setActive(false);
  mActive = false;
  return rendered;
}

std::optional<AudioData> Renderer::Run(const AudioData& main, const AudioData* sidechain,
                                       const std::vector<ParameterValue>& changes, std::string* error) {
  MemorySource mainSource(main);
  SpreadSource mainSpread(mainSource, MainInputChannels());
  std::unique_ptr<MemorySource> sideSource;
  std::unique_ptr<SpreadSource> sideSpread;
  if (sidechain) {
    sideSource = std::make_unique<MemorySource>(*sidechain);
    sideSpread = std::make_unique<SpreadSource>(*sideSource, SidechainChannels());
  }
  MemorySink sink(static_cast<std::size_t>(OutputChannels()), mSampleRate);
  if (!Run(mainSpread, sideSpread.get(), sink, changes, nullptr, error)) return std::nullopt;
  return sink.Audio();
}

bool Renderer::RunBlocks(AudioSource& main, AudioSource* sidechain, AudioSink& output,
                         const std::vector<ParameterValue>& changes, AutomationSchedule* automation,
                         std::string* error) {
  const std::size_t latency = mInstance.Processor()->getLatencySamples();
  const auto block = static_cast<std::size_t>(mSettings.blockSize);

  std::vector<int> inputChannels, outputChannelCounts;
  for (const vst3host::BusDescription& bus : mInputs) inputChannels.push_back(bus.channels);
  for (const vst3host::BusDescription& bus : mOutputs) outputChannelCounts.push_back(bus.channels);
  vst3host::ProcessBuffers buffers(mSettings.precision == 64 ? kSample64 : kSample32, mSettings.blockSize,
                                   inputChannels, outputChannelCounts);
  Scratch mainBlock(main.Channels(), block);
  Scratch sideBlock(sidechain ? sidechain->Channels() : 0, block);
  Scratch outBlock(OutputChannels(), block);
  std::vector<const double*> outFrom(outBlock.pointers.size());
  std::vector<std::size_t> splits;  // where the block's process calls start
  splits.reserve(64);

  // The settings ride on the first block, one point each at offset 0; automated parameters get a
  // queue each, as many points deep as one block of their lane can need.
  const int lanes = automation ? static_cast<int>(automation->LaneCount()) : 0;
  IPtr<vst3host::ParameterChanges> inputChanges = owned(new vst3host::ParameterChanges(
      std::max<int>(1, static_cast<int>(changes.size()) + lanes), automation ? automation->MaxPointsPerBlock() : 1));
  IPtr<vst3host::ParameterChanges> outputChanges = owned(new vst3host::ParameterChanges);
  IPtr<vst3host::EventList> inputEvents = owned(new vst3host::EventList(1));
  IPtr<vst3host::EventList> outputEvents = owned(new vst3host::EventList);
  for (const ParameterValue& change : changes) inputChanges->Add(change.id, 0, change.normalized);

  ProcessContext context{};
  context.state = ProcessContext::kPlaying | ProcessContext::kTempoValid | ProcessContext::kTimeSigValid |
                  ProcessContext::kProjectTimeMusicValid | ProcessContext::kContTimeValid;
  context.sampleRate = mSampleRate;
  context.tempo = kTempo;
  context.timeSigNumerator = 4;
  context.timeSigDenominator = 4;

  const std::string name = "the effect \"" + mEffectName + "\"";
  bool mainDone = false, sideDone = sidechain == nullptr;
  std::size_t tailLeft = latency;  // silence still to feed after the input, to flush the delay
  std::size_t skipLeft = latency;  // delayed output frames still to drop
  std::size_t position = 0;
  std::string streamError;
  for (;;) {
    ThrowIfCancelled();
    std::size_t n = mainDone ? 0 : main.Read(mainBlock.pointers.data(), block, &streamError);
    if (!streamError.empty()) {
      *error = streamError;
      return false;
    }
    const std::size_t fromInput = n;
    mainDone = mainDone || n < block;
    if (mainDone) {
      const std::size_t extra = std::min(block - n, tailLeft);
      mainBlock.Zero(n, n + extra);
      tailLeft -= extra;
      n += extra;
    }
    if (n == 0) break;
    // The sidechain is read only alongside real input, so a longer one is cut at the input's end.
    std::size_t fromSide = 0;
    if (!sideDone) {
      fromSide = sidechain->Read(sideBlock.pointers.data(), fromInput, &streamError);
      if (!streamError.empty()) {
        *error = streamError;
        return false;
      }
      sideDone = fromSide < fromInput;
    }
    sideBlock.Zero(fromSide, n);

    // One process call per stretch between automation changes: VST3 lets a host cut its blocks
    // anywhere, and an effect that applies one value per call then hears each change on its own
    // sample instead of from the start of the block it falls in.
    splits.assign(1, 0);
    if (automation) automation->ChangeOffsets(position, n, splits);
    std::sort(splits.begin(), splits.end());
    splits.erase(std::unique(splits.begin(), splits.end()), splits.end());
    splits.push_back(n);
    for (std::size_t s = 0; s + 1 < splits.size(); ++s) {
      const std::size_t from = splits[s], count = splits[s + 1] - from;
      for (std::size_t b = 0; b < mInputs.size(); ++b) {
        const Scratch* source = b == mMainInput                                          ? &mainBlock
                                : (static_cast<int>(b) == mAuxInput && mSidechainActive) ? &sideBlock
                                                                                         : nullptr;
        for (int c = 0; c < mInputs[b].channels; ++c)
          buffers.SetInputBlock(static_cast<int>(b), c,
                                source ? source->pointers[static_cast<std::size_t>(c)] + from : nullptr,
                                static_cast<int>(count));
      }
      if (automation) automation->AddPoints(position + from, count, *inputChanges);
      context.projectTimeSamples = static_cast<TSamples>(position + from);
      context.continousTimeSamples = static_cast<TSamples>(position + from);
      context.projectTimeMusic = static_cast<double>(position + from) / mSampleRate * kTempo / 60.0;
      ProcessData& data = buffers.Data(static_cast<int>(count), inputChanges, inputEvents, &context);
      data.processMode = kOffline;
      data.outputParameterChanges = outputChanges;
      data.outputEvents = outputEvents;

      if (mInstance.Processor()->process(data) != kResultOk) {
        *error = name + " failed to process the block at sample " + std::to_string(position + from);
        return false;
      }
      inputChanges->Clear();
      outputChanges->Clear();
      outputEvents->Clear();
      for (std::size_t c = 0; c < outBlock.channels.size(); ++c)
        buffers.ReadOutputBlock(0, static_cast<int>(c), outBlock.pointers[c] + from, static_cast<int>(count));
    }

    const std::size_t drop = std::min(skipLeft, n);
    skipLeft -= drop;
    if (n > drop) {
      for (std::size_t c = 0; c < outFrom.size(); ++c) outFrom[c] = outBlock.pointers[c] + drop;
      if (!output.Write(outFrom.data(), n - drop, error)) return false;
    }
    position += n;
    if (mSettings.progress) mSettings.progress->Advance(static_cast<double>(fromInput) / mSampleRate);
  }
  return true;
}

}  // namespace velmora_host
