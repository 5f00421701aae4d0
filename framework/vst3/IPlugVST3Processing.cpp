// IPlugVST3's audio processing: the process call on the host's audio thread (its parameter changes,
// note events and the wiring of the host's buffers into the base's channels) and the processor's
// answers about sample sizes, latency and tail.

#include "framework/vst3/IPlugVST3.h"

#include "framework/NumericConversions.h"
#include "framework/vst3/ProgramParameter.h"

#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
const char* SampleSizeName(int32 symbolicSampleSize) {
  return symbolicSampleSize == kSample32 ? "32-bit" : symbolicSampleSize == kSample64 ? "64-bit" : "unknown-size";
}

// The host's channel pointer array of a bus, or null when the host gave none.
template <class Sample>
Sample* const* ChannelArray(const AudioBusBuffers& bus);
template <>
Sample32* const* ChannelArray<Sample32>(const AudioBusBuffers& bus) {
  return bus.channelBuffers32;
}
template <>
Sample64* const* ChannelArray<Sample64>(const AudioBusBuffers& bus) {
  return bus.channelBuffers64;
}

// Channel ch of a host bus, or null when the bus has no such channel or no memory for it.
template <class Sample>
Sample* HostChannel(const AudioBusBuffers* bus, int ch) {
  if (!bus || ch < 0 || ch >= bus->numChannels) return nullptr;
  Sample* const* channels = ChannelArray<Sample>(*bus);
  return channels ? channels[ch] : nullptr;
}

// Output channel ch counted across the host's output buses in order: the bus holding it and the
// channel's index inside that bus.
bool LocateOutput(const ProcessData& data, int ch, int* bus, int* index) {
  int first = 0;
  for (int b = 0; data.outputs && b < data.numOutputs; ++b) {
    const int n = data.outputs[b].numChannels > 0 ? data.outputs[b].numChannels : 0;
    if (ch < first + n) {
      *bus = b;
      *index = ch - first;
      return true;
    }
    first += n;
  }
  return false;
}

// Writes silence into every output channel the host gave memory for.
template <class Sample>
void SilenceHostOutputs(const ProcessData& data, int frames) {
  for (int b = 0; data.outputs && b < data.numOutputs; ++b) {
    for (int c = 0; c < data.outputs[b].numChannels; ++c) {
      if (Sample* dst = HostChannel<Sample>(&data.outputs[b], c)) std::memset(dst, 0, sizeof(Sample) * frames);
    }
  }
}

void SilenceHostOutputs(const ProcessData& data, int frames, bool is64) {
  if (is64)
    SilenceHostOutputs<Sample64>(data, frames);
  else
    SilenceHostOutputs<Sample32>(data, frames);
}
}  // namespace

tresult PLUGIN_API IPlugVST3::canProcessSampleSize(int32 symbolicSampleSize) {
  return (symbolicSampleSize == kSample32 || symbolicSampleSize == kSample64) ? kResultOk : kResultFalse;
}

uint32 PLUGIN_API IPlugVST3::getLatencySamples() { return GetLatency() > 0 ? static_cast<uint32>(GetLatency()) : 0; }

uint32 PLUGIN_API IPlugVST3::getTailSamples() { return GetTailSize() > 0 ? static_cast<uint32>(GetTailSize()) : 0; }
void IPlugVST3::ApplyParameterChanges(IParameterChanges* changes) {
  if (!changes) return;
  const int32 nQueues = changes->getParameterCount();
  for (int32 q = 0; q < nQueues; ++q) {
    IParamValueQueue* queue = changes->getParameterData(q);
    if (!queue) continue;
    const int32 nPoints = queue->getPointCount();
    if (nPoints <= 0) continue;
    // Only the block's final value counts; its position inside the block is not used.
    int32 offset = 0;
    ParamValue value = 0.0;
    if (queue->getPoint(nPoints - 1, offset, value) != kResultOk) continue;
    const ParamID id = queue->getParameterId();
    if (!AcceptNormalized(id, &value, "IPlugVST3::process", __LINE__)) continue;

    if (id == kBypassParamID) {
      // On from one half up, like the host's discrete conversion and the parameter's texts.
      const bool on = value >= 0.5;
      SetBypassed(on);
      mHostBypassValue.store(on ? 1.0 : 0.0, std::memory_order_relaxed);
    } else if (id == kPresetParamID) {
      mProgramValue.store(value, std::memory_order_relaxed);
      // The host learns the preset's values later, from the UI thread: never from here.
      if (RestorePreset(ProgramParameter::ProgramIndex(value, NPresets())) &&
          EffectsOf(ParamOrigin::Preset).tellHost == ParamStep::AfterAll)
        RequestValuesReread();
    } else if (IsBaseParam(id)) {
      EnterParamValue(ParamOrigin::HostProcess, static_cast<int>(id), value);
    }
  }
}

void IPlugVST3::ForwardNoteEvents(IEventList* events) {
  if (!events) return;
  const int32 n = events->getEventCount();
  for (int32 i = 0; i < n; ++i) {
    Event e = {};
    if (events->getEvent(i, e) != kResultOk) continue;
    IMidiMsg msg;
    msg.offset = e.sampleOffset;
    if (e.type == Event::kNoteOnEvent) {
      msg.status = static_cast<uint8_t>(0x90 | (e.noteOn.channel & 0x0F));
      msg.data1 = static_cast<uint8_t>(e.noteOn.pitch & 0x7F);
      const int velocity = TruncToInt(static_cast<double>(e.noteOn.velocity) * 127.0);
      msg.data2 = static_cast<uint8_t>(velocity < 0 ? 0 : velocity > 127 ? 127 : velocity);
    } else if (e.type == Event::kNoteOffEvent) {
      msg.status = static_cast<uint8_t>(0x80 | (e.noteOff.channel & 0x0F));
      msg.data1 = static_cast<uint8_t>(e.noteOff.pitch & 0x7F);
      msg.data2 = 0;
    } else {
      continue;
    }
    ProcessMidiMessage(msg);
  }
}

void IPlugVST3::WireChannels(const ProcessData& data, int offset, int frames, bool is64) {
  const int nIn = NInChannels();
  const int nOut = NOutChannels();
  const int nSc = mSidechainChannels < nIn ? mSidechainChannels : nIn;
  const int nMain = nIn - nSc;

  const AudioBusBuffers* mainBus = (data.inputs && data.numInputs >= 1) ? &data.inputs[0] : nullptr;
  const AudioBusBuffers* scBus = (data.inputs && data.numInputs >= 2 && mSidechainActive) ? &data.inputs[1] : nullptr;

  // Inputs: the main pair from the host's first bus, the sidechain pair from its second while the
  // aux bus is active; a mono sidechain feeds both. A channel without host memory reads silence
  // from its scratch buffer.
  const bool monoSidechain = scBus && scBus->numChannels == 1;
  for (int i = 0; i < nIn; ++i) {
    const AudioBusBuffers* bus = i < nMain ? mainBus : scBus;
    const int hostCh = i < nMain ? i : monoSidechain ? 0 : i - nMain;
    InputChannel* ch = GetInChannel(i);
    if (is64) {
      if (Sample64* src = HostChannel<Sample64>(bus, hostCh)) {
        SetInputChannelConnected(i, true);
        *ch->pointerSlot = src + offset;
        continue;
      }
    } else if (Sample32* src = HostChannel<Sample32>(bus, hostCh)) {
      SetInputChannelConnected(i, true);
      float* start = src + offset;
      AttachInputBuffers(i, 1, &start, frames);
      continue;
    }
    SetInputChannelConnected(i, false);
    if (frames > 0) std::memset(ch->scratch.Data(), 0, sizeof(double) * static_cast<size_t>(frames));
  }

  // Outputs: counted across the host's output buses in order; a channel is connected while its
  // bus is active and the host gave memory for it. Processing always has somewhere to write.
  for (int c = 0; c < nOut; ++c) {
    int b = 0;
    int hostCh = 0;
    void* dst = nullptr;
    if (LocateOutput(data, c, &b, &hostCh)) {
      AudioBus* bus = audioBus(audioOutputs, b);
      if (bus && bus->isActive()) {
        dst = is64 ? static_cast<void*>(HostChannel<Sample64>(&data.outputs[b], hostCh))
                   : static_cast<void*>(HostChannel<Sample32>(&data.outputs[b], hostCh));
      }
    }
    SetOutputChannelConnected(c, dst != nullptr);
    if (!dst) continue;
    OutputChannel* ch = GetOutChannel(c);
    if (is64)
      *ch->pointerSlot = static_cast<Sample64*>(dst) + offset;
    else
      ch->floatDest = static_cast<Sample32*>(dst) + offset;
  }
}

namespace {
// Marks the calling thread as the one inside process for as long as the block runs, so UI-thread
// calls the host makes from inside it are recognised.
class ProcessThreadMark {
public:
  explicit ProcessThreadMark(std::atomic<std::thread::id>& mark) : mMark(mark) {
    mMark.store(std::this_thread::get_id(), std::memory_order_relaxed);
  }
  ~ProcessThreadMark() { mMark.store(std::thread::id(), std::memory_order_relaxed); }
  ProcessThreadMark(const ProcessThreadMark&) = delete;
  ProcessThreadMark& operator=(const ProcessThreadMark&) = delete;

private:
  std::atomic<std::thread::id>& mMark;
};
}  // namespace

tresult PLUGIN_API IPlugVST3::process(ProcessData& data) {
  PluginLock lock(Mutex());
  const ProcessThreadMark mark(mProcessThread);

  const int total = data.numSamples > 0 ? data.numSamples : 0;
  if (!HasBuses(mState)) {
    // Before initialise or after terminate there is nothing to process with; the block's
    // parameter changes are not applied either.
    CheckCall(LifecycleCall::Process, "IPlugVST3::process", __LINE__, "%d samples", total);
    if (data.symbolicSampleSize == kSample32 || data.symbolicSampleSize == kSample64)
      SilenceHostOutputs(data, total, data.symbolicSampleSize == kSample64);
    return kResultFalse;
  }

  // Set up but inactive: processed all the same. Before any setup: reported below, and only for a
  // block with samples.
  if (IsSetUp(mState)) CheckCall(LifecycleCall::Process, "IPlugVST3::process", __LINE__, "%d samples", total);
  if (data.processContext) mProcessContext = *data.processContext;
  ApplyParameterChanges(data.inputParameterChanges);
  if (DoesMidi()) ForwardNoteEvents(data.inputEvents);

  // The buffers are only trusted in the sample size they were set up for.
  const bool is64 = processSetup.symbolicSampleSize == kSample64;
  if (data.symbolicSampleSize != processSetup.symbolicSampleSize) {
    ReportHostBreach(HostBreach::SampleSizeMismatch, "IPlugVST3::process", __LINE__, "%s samples after a %s setup",
                     SampleSizeName(data.symbolicSampleSize), SampleSizeName(processSetup.symbolicSampleSize));
    return kResultFalse;
  }

  const int nSc = mSidechainChannels < NInChannels() ? mSidechainChannels : NInChannels();
  if (nSc > 0) {
    AudioBus* aux = audioBus(audioInputs, 1);
    if (aux && aux->isActive()) {
      mSidechainActive = true;
    } else if (mSidechainActive) {
      ZeroScratchBuffers();
      mSidechainActive = false;
    }
  }

  // Blocks longer than the scratch buffers run in slices of their length, so nothing is ever
  // reallocated here and no buffer is overrun whatever length the host announces. Once set up
  // there is always room; the room check only keeps the slicing finite whatever happens.
  int room = GetBlockSize();
  for (int i = 0; i < NInChannels(); ++i) room = std::min(room, GetInChannel(i)->scratch.Count());
  for (int i = 0; i < NOutChannels(); ++i) room = std::min(room, GetOutChannel(i)->scratch.Count());
  if (total > 0 && (!IsSetUp(mState) || room <= 0)) {
    // Processing was never set up: nothing to process with, so the host hears silence.
    CheckCall(LifecycleCall::Process, "IPlugVST3::process", __LINE__, "%d samples", total);
    SilenceHostOutputs(data, total, is64);
    return kResultFalse;
  }

  if (total > room)
    ReportHostBreach(HostBreach::OversizeBlock, "IPlugVST3::process", __LINE__, "%d samples, at most %d set up", total,
                     room);
  int offset = 0;
  do {
    const int frames = total - offset < room ? total - offset : room;
    WireChannels(data, offset, frames, is64);
    if (IsBypassed())
      PassThroughBuffers(frames);
    else
      ProcessBlock(InputPointers(), OutputPointers(), frames);
    if (!is64) CopyOutputToHost(frames);
    offset += frames;
  } while (offset < total);
  return kResultOk;
}
