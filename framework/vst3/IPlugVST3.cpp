#include "framework/vst3/IPlugVST3.h"

#include "framework/NumericConversions.h"
#include "framework/Trace.h"
#include "framework/graphics/IGraphics.h"
#include "framework/vst3/BypassParameter.h"
#include "framework/vst3/HostText.h"
#include "framework/vst3/IHostTraceSink.h"
#include "framework/vst3/IPlugParameter.h"
#include "framework/vst3/IPlugVST3View.h"
#include "framework/vst3/ProgramParameter.h"
#include "framework/vst3/UiThreadTimer.h"

#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivsthostapplication.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
constexpr int kMaxHostChars = 127;
// How often the UI-thread timers look for deferred notices: soon enough for a host's generic view,
// rare enough to cost nothing.
constexpr int kNoticePeriodMs = 50;

// The speaker arrangement a bus of n channels gets.
SpeakerArrangement ArrangementFor(int n) {
  switch (n) {
    case 1: return SpeakerArr::kMono;                                 // M
    case 2: return SpeakerArr::kStereo;                               // L R
    case 3: return kSpeakerL | kSpeakerR | kSpeakerCs;                // L R Cs
    case 4: return kSpeakerL | kSpeakerR | kSpeakerLs | kSpeakerRs;   // L R Ls Rs
    case 5: return kSpeakerL | kSpeakerR | kSpeakerC | kSpeakerLs | kSpeakerRs;
    case 6: return kSpeakerL | kSpeakerR | kSpeakerC | kSpeakerLfe | kSpeakerLs | kSpeakerRs;
    default: return 0;
  }
}

int ChannelsOf(SpeakerArrangement arr) { return SpeakerArr::getChannelCount(arr); }

const char* SampleSizeName(int32 symbolicSampleSize) {
  return symbolicSampleSize == kSample32 ? "32-bit" : symbolicSampleSize == kSample64 ? "64-bit" : "unknown-size";
}

void Widen128(String128 dst, const char* src) { WidenText(dst, src, kMaxHostChars); }

// The host's channel pointer array of a bus, or null when the host gave none.
template <class Sample>
Sample* const* ChannelArray(const AudioBusBuffers& bus);
template <>
Sample32* const* ChannelArray<Sample32>(const AudioBusBuffers& bus) { return bus.channelBuffers32; }
template <>
Sample64* const* ChannelArray<Sample64>(const AudioBusBuffers& bus) { return bus.channelBuffers64; }

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

IPlugVST3::IPlugVST3(const PluginIdentity& identity, int nParams, const char* channelIOStr, int nPresets)
    : IPlugBase(identity, nParams, channelIOStr, nPresets, kBindingVST3) {
  std::memset(&mProcessContext, 0, sizeof(mProcessContext));
  for (int i = 0; i < NInChannels(); ++i) SetInputChannelConnected(i, true);
  for (int i = 0; i < NOutChannels(); ++i) SetOutputChannelConnected(i, true);
  if (NInChannels() > 0) CreateLatencyDelay();

  SetInputBusLabel(0, "Main Input");
  if (mSidechainChannels != 0) SetInputBusLabel(1, "Aux Input");
  if (!IsInstrument()) {
    SetOutputBusLabel(0, "Output");
  } else {
    for (int k = 0; 2 * k < NOutChannels(); ++k) {
      char label[32];
      std::snprintf(label, sizeof(label), "Output %i", k + 1);
      SetOutputBusLabel(k, label);
    }
  }
}

IPlugVST3::~IPlugVST3() {
  mEditorNoticeTimer.reset();
  mNoticeTimer.reset();
  ForgetHostTraceSink();
}

// ---------------------------------------------------------------------------------------------
// Initialise and terminate

tresult PLUGIN_API IPlugVST3::initialize(FUnknown* context) {
  // A refused initialise changes nothing. The first call claims the instance in the same step as
  // it checks, under the lock, so a second one (on another thread at the same moment, or later)
  // is refused before it stores a context or builds anything.
  {
    PluginLock lock(Mutex());
    if (mInitialised || getHostContext() || mBusesBuilt) return kResultFalse;
    mInitialised = true;
  }
  const tresult result = SingleComponentEffect::initialize(context);
  if (result != kResultOk) {
    PluginLock lock(Mutex());
    mInitialised = false;
    return result;
  }

  if (context) {
    // A host that wants to hear about its own contract breaches offers a trace sink.
    IHostTraceSink* sink = nullptr;
    if (context->queryInterface(IHostTraceSink::iid, reinterpret_cast<void**>(&sink)) == kResultOk && sink) {
      PluginLock lock(Mutex());
      mHostTraceSink = sink;
    }
    FUnknownPtr<IHostApplication> app(context);
    if (app) {
      String128 name16 = {};
      if (app->getName(name16) == kResultOk) {
        char name[kMaxHostChars + 1];
        NarrowText(name, name16, kMaxHostChars);
        SetHost(name, 0);
      }
    }
  }

  {
    // A host that calls process before initialise must not see the bus lists grow under it.
    PluginLock lock(Mutex());
    String128 name;
    const int nMain = NInChannels() - mSidechainChannels;
    if (nMain >= 1 && nMain <= 6) {
      Widen128(name, GetInputBusLabel(0));
      addAudioInput(name, ArrangementFor(nMain), kMain, BusInfo::kDefaultActive);
    }

    if (!IsInstrument()) {
      Widen128(name, GetOutputBusLabel(0));
      addAudioOutput(name, ArrangementFor(NOutChannels()), kMain, BusInfo::kDefaultActive);
    } else {
      for (int k = 0; 2 * k < NOutChannels(); ++k) {
        Widen128(name, GetOutputBusLabel(k));
        addAudioOutput(name, SpeakerArr::kStereo, kMain, BusInfo::kDefaultActive);
      }
    }

    if (mSidechainChannels != 0) {
      if (mSidechainChannels > 2) mSidechainChannels = 2;
      Widen128(name, GetInputBusLabel(1));
      addAudioInput(name, mSidechainChannels == 1 ? SpeakerArr::kMono : SpeakerArr::kStereo, kAux, 0);
    }

    if (DoesMidi()) addEventInput(STR16("MIDI Input"), 1, kMain, BusInfo::kDefaultActive);
    BuildParameters();
    mBusesBuilt = true;
  }

  OnHostIdentified();
  RestorePreset(0);
  return result;
}

tresult PLUGIN_API IPlugVST3::terminate() {
  tresult result;
  {
    // The buses go: a block still running on a misbehaving host must not see them go mid-block.
    PluginLock lock(Mutex());
    mBusesBuilt = false;
    mActive = false;
    result = SingleComponentEffect::terminate();
    mInitialised = false;
  }
  mEditorNoticeTimer.reset();
  mNoticeTimer.reset();
  mPendingRestartFlags.store(0, std::memory_order_relaxed);
  ForgetHostTraceSink();
  return result;
}

void IPlugVST3::ForgetHostTraceSink() {
  IHostTraceSink* sink = nullptr;
  {
    PluginLock lock(Mutex());
    std::swap(sink, mHostTraceSink);
  }
  if (sink) sink->release();
}

// ---------------------------------------------------------------------------------------------
// Deferred notices

void IPlugVST3::RequestValuesReread() {
  mPendingRestartFlags.fetch_or(kParamValuesChanged, std::memory_order_release);
}

void IPlugVST3::DeliverDeferredNotices() {
  if (!componentHandler) return;
  const int32 flags = mPendingRestartFlags.exchange(0, std::memory_order_acquire);
  if (flags) componentHandler->restartComponent(flags);
}

tresult PLUGIN_API IPlugVST3::setComponentHandler(IComponentHandler* handler) {
  const tresult result = SingleComponentEffect::setComponentHandler(handler);
  StartNoticeTimer();
  return result;
}

// The handler is asked first (hosts that offer their run loop beyond the plug frame offer it
// there or in their context); on Windows the timer is the module's own either way.
void IPlugVST3::StartNoticeTimer() {
  mNoticeTimer.reset();
  if (!componentHandler) return;
  auto tick = [this] { DeliverDeferredNotices(); };
  mNoticeTimer = StartUiThreadTimer(componentHandler, kNoticePeriodMs, tick);
  if (!mNoticeTimer && getHostContext()) mNoticeTimer = StartUiThreadTimer(getHostContext(), kNoticePeriodMs, tick);
  if (mNoticeTimer) mEditorNoticeTimer.reset();
}

void IPlugVST3::EditorFrameAttached(IPlugFrame* frame) {
  mEditorNoticeTimer.reset();
  if (mNoticeTimer || !frame) return;
  mEditorNoticeTimer = StartUiThreadTimer(frame, kNoticePeriodMs, [this] { DeliverDeferredNotices(); });
}

void IPlugVST3::EditorFrameRemoved() { mEditorNoticeTimer.reset(); }

// ---------------------------------------------------------------------------------------------
// Host contract breaches

void IPlugVST3::ReportHostBreach(HostBreach breach, const char* operation, int line, const char* detailFormat, ...) {
  const uint32_t bit = 1u << static_cast<unsigned>(breach);
  if (mReportedBreaches.fetch_or(bit, std::memory_order_relaxed) & bit) return;

  char detail[96];
  va_list args;
  va_start(args, detailFormat);
  std::vsnprintf(detail, sizeof(detail), detailFormat, args);
  va_end(args);
  const HostBreachText& text = HostBreachTextOf(breach);
  char message[320];
  std::snprintf(message, sizeof(message), "host breach: %s (%s); %s", text.what, detail, text.answer);

  Trace(operation, line, "%s", message);
  PluginLock lock(Mutex());
  if (mHostTraceSink) mHostTraceSink->trace(operation, line, message);
}

void IPlugVST3::BuildParameters() {
  if (NPresets() > 0) parameters.addParameter(new ProgramParameter(kPresetParamID, this));
  if (!IsInstrument()) parameters.addParameter(new BypassParameter(kBypassParamID));
  for (int i = 0; i < NParams(); ++i) {
    IParam* param = GetParam(i);
    const char* group = param->Group();
    UnitID unit = kRootUnitId;
    if (group[0]) {
      int found = -1;
      for (int g = 0; g < NParamGroups() && found < 0; ++g) {
        if (std::strcmp(GetParamGroup(g), group) == 0) found = g;
      }
      unit = found >= 0 ? found + 1 : AddParamGroup(group);
    }
    parameters.addParameter(new IPlugParameter(param, static_cast<ParamID>(i), unit));
  }
}

// ---------------------------------------------------------------------------------------------
// Component and processor

tresult PLUGIN_API IPlugVST3::setActive(TBool state) {
  {
    PluginLock lock(Mutex());
    mActive = state != 0;
  }
  ActivationChanged(state != 0);
  return kResultOk;
}

// Bus changes hold the plug-in mutex like setup does: the contract allows them only while the
// component is inactive, so a host that keeps it never waits, and one that breaks it gets a change
// that waits for the block in progress instead of buffers freed under the audio thread. (Refusing
// them while active would leave such a host with buses other than the ones it just chose.)
tresult PLUGIN_API IPlugVST3::activateBus(MediaType type, BusDirection dir, int32 index, TBool state) {
  PluginLock lock(Mutex());
  const tresult result = SingleComponentEffect::activateBus(type, dir, index, state);
  if (result == kResultTrue && mActive)
    ReportHostBreach(HostBreach::ChangeWhileActive, "IPlugVST3::activateBus", __LINE__, "bus %d of direction %d", index,
                     dir);
  return result;
}

tresult PLUGIN_API IPlugVST3::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                 SpeakerArrangement* outputs, int32 numOuts) {
  PluginLock lock(Mutex());
  if (!mBusesBuilt) {
    ReportHostBreach(HostBreach::UninitialisedCall, "IPlugVST3::setBusArrangements", __LINE__,
                     "setBusArrangements without buses");
    return kResultFalse;
  }
  if (!inputs) numIns = 0;
  if (!outputs) numOuts = 0;
  const int nIn = numIns > 0 ? ChannelsOf(inputs[0]) : 0;
  const int nOut = numOuts > 0 ? ChannelsOf(outputs[0]) : 0;
  // Everything is checked before anything changes, so a refused arrangement leaves the buses as
  // they were. A sidechain is mono or stereo: a mono one keys both detector inputs.
  if (!LegalIO(nIn, nOut)) return kResultFalse;
  const int nSc = mSidechainChannels != 0 && numIns == 2 ? ChannelsOf(inputs[1]) : 0;
  if (mSidechainChannels == 0 ? numIns != 1 : (numIns != 2 || nSc < 1 || nSc > 2)) return kResultFalse;

  if (mActive)
    ReportHostBreach(HostBreach::ChangeWhileActive, "IPlugVST3::setBusArrangements", __LINE__,
                     "%d input and %d output arrangements", numIns, numOuts);
  for (int i = 0; i < NInChannels(); ++i) SetInputChannelConnected(i, false);
  for (int i = 0; i < NOutChannels(); ++i) SetOutputChannelConnected(i, false);

  // A bus the new arrangement keeps stays the bus the host knows: only its speakers change, its
  // name, type and the host's activation of it stay.
  if (AudioBus* main = audioBus(audioInputs, 0))
    if (ChannelsOf(main->getArrangement()) != nIn) main->setArrangement(ArrangementFor(nIn));
  if (AudioBus* output = audioBus(audioOutputs, 0))
    if (ChannelsOf(output->getArrangement()) != nOut) output->setArrangement(ArrangementFor(nOut));
  if (mSidechainChannels == 0) return kResultOk;

  AudioBus* sidechain = audioBus(audioInputs, 1);
  if (!sidechain && audioBus(audioInputs, 0)) {
    String128 name;
    Widen128(name, GetInputBusLabel(1));
    addAudioInput(name, ArrangementFor(nSc), kAux, 0);
  } else if (sidechain && ChannelsOf(sidechain->getArrangement()) != nSc) {
    sidechain->setArrangement(ArrangementFor(nSc));
  }
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::canProcessSampleSize(int32 symbolicSampleSize) {
  return (symbolicSampleSize == kSample32 || symbolicSampleSize == kSample64) ? kResultOk : kResultFalse;
}

uint32 PLUGIN_API IPlugVST3::getLatencySamples() {
  return GetLatency() > 0 ? static_cast<uint32>(GetLatency()) : 0;
}

uint32 PLUGIN_API IPlugVST3::getTailSamples() { return GetTailSize() > 0 ? static_cast<uint32>(GetTailSize()) : 0; }

tresult PLUGIN_API IPlugVST3::setupProcessing(ProcessSetup& setup) {
  if (setup.symbolicSampleSize != kSample32 && setup.symbolicSampleSize != kSample64) return kResultFalse;
  // Every later block divides by the rate and is cut to the block length: refuse values that
  // would poison the filters, leave no scratch room or ask for more than a setup may allocate,
  // before anything is changed.
  if (!std::isfinite(setup.sampleRate) || setup.sampleRate <= 0.0 || setup.maxSamplesPerBlock < 1 ||
      setup.maxSamplesPerBlock > kMaxBlockSize) {
    ReportHostBreach(HostBreach::BadProcessSetup, "IPlugVST3::setupProcessing", __LINE__,
                     "sample rate %g Hz, block size %d", setup.sampleRate, setup.maxSamplesPerBlock);
    return kResultFalse;
  }
  bool active;
  {
    // The scratch buffers are replaced here; a block still running on a misbehaving host must
    // not see them move. They are allocated first: when that fails the earlier setup stays whole.
    // The host bypass is left alone: hosts restore a project's state before setting up.
    PluginLock lock(Mutex());
    if (!SetBlockSize(setup.maxSamplesPerBlock)) return kResultFalse;
    SetSampleRate(setup.sampleRate);
    processSetup = setup;
    active = mActive;
  }
  if (active)
    ReportHostBreach(HostBreach::ChangeWhileActive, "IPlugVST3::setupProcessing", __LINE__,
                     "sample rate %g Hz, block size %d", setup.sampleRate, setup.maxSamplesPerBlock);
  ResetProcessing();
  return kResultOk;
}

bool IPlugVST3::AcceptNormalized(ParamID id, ParamValue* value, const char* operation, int line) {
  if (!std::isfinite(*value)) {
    ReportHostBreach(HostBreach::NonFiniteParameterValue, operation, line, "parameter %u set to %g", id, *value);
    return false;
  }
  if (*value < 0.0 || *value > 1.0) {
    ReportHostBreach(HostBreach::OutOfRangeParameterValue, operation, line, "parameter %u set to %g", id, *value);
    *value = ClampNormalized(*value);
  }
  return true;
}

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
      if (RestorePreset(ProgramParameter::ProgramIndex(value, NPresets()))) RequestValuesReread();
    } else if (IsBaseParam(id)) {
      const int idx = static_cast<int>(id);
      GetParam(idx)->SetNormalized(value);
      if (IGraphics* graphics = GetGraphics()) graphics->PushParamToControls(idx, value, true);
      ParamChanged(idx);
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

tresult PLUGIN_API IPlugVST3::process(ProcessData& data) {
  PluginLock lock(Mutex());

  const int total = data.numSamples > 0 ? data.numSamples : 0;
  if (!mBusesBuilt) {
    // Before initialise or after terminate there is nothing to process with; the block's
    // parameter changes are not applied either.
    ReportHostBreach(HostBreach::UninitialisedCall, "IPlugVST3::process", __LINE__, "%d samples", total);
    if (data.symbolicSampleSize == kSample32 || data.symbolicSampleSize == kSample64)
      SilenceHostOutputs(data, total, data.symbolicSampleSize == kSample64);
    return kResultFalse;
  }

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
  // reallocated here and no buffer is overrun whatever length the host announces.
  int room = GetBlockSize();
  for (int i = 0; i < NInChannels(); ++i) room = std::min(room, GetInChannel(i)->scratch.Count());
  for (int i = 0; i < NOutChannels(); ++i) room = std::min(room, GetOutChannel(i)->scratch.Count());
  if (total > 0 && room <= 0) {
    // Processing was never set up: nothing to process with, so the host hears silence.
    ReportHostBreach(HostBreach::ProcessBeforeSetup, "IPlugVST3::process", __LINE__, "%d samples", total);
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

// ---------------------------------------------------------------------------------------------
// Controller

ParamValue PLUGIN_API IPlugVST3::getParamNormalized(ParamID id) {
  if (id == kBypassParamID) return mHostBypassValue.load(std::memory_order_relaxed);
  if (id == kPresetParamID) return mProgramValue.load(std::memory_order_relaxed);
  if (IsBaseParam(id)) return GetParam(static_cast<int>(id))->GetNormalized();
  return 0.0;
}

// The controller and the processor are one object, so an effect parameter's value set here is the
// value processed and saved; the binding's own parameters are stored for the controller only (the
// bypass as off or on): the host bypass switches the audio, and a program is restored, only when
// the value arrives through process, at the sample the host chose.
tresult PLUGIN_API IPlugVST3::setParamNormalized(ParamID id, ParamValue value) {
  if (id != kBypassParamID && id != kPresetParamID && !IsBaseParam(id)) return kResultFalse;
  if (!AcceptNormalized(id, &value, "IPlugVST3::setParamNormalized", __LINE__)) return kInvalidArgument;
  if (id == kBypassParamID)
    mHostBypassValue.store(value >= 0.5 ? 1.0 : 0.0, std::memory_order_relaxed);
  else if (id == kPresetParamID)
    mProgramValue.store(value, std::memory_order_relaxed);
  else
    GetParam(static_cast<int>(id))->SetNormalized(value);
  return kResultOk;
}

ParamValue PLUGIN_API IPlugVST3::plainParamToNormalized(ParamID id, ParamValue plain) {
  if (IsBaseParam(id)) return GetParam(static_cast<int>(id))->ToNormalized(plain);
  if (Parameter* parameter = getParameterObject(id)) return parameter->toNormalized(plain);
  return ClampNormalized(plain);
}

tresult PLUGIN_API IPlugVST3::getParamStringByValue(ParamID id, ParamValue valueNormalized, String128 string) {
  Parameter* parameter = getParameterObject(id);
  if (!parameter || !string) return kResultFalse;
  parameter->toString(valueNormalized, string);
  return kResultOk;
}

IPlugView* PLUGIN_API IPlugVST3::createView(FIDString name) {
  if (!name || std::strcmp(name, ViewType::kEditor) != 0) return nullptr;
  return new IPlugVST3View(this);
}

tresult PLUGIN_API IPlugVST3::setKnobMode(KnobMode /*mode*/) { return kResultOk; }
tresult PLUGIN_API IPlugVST3::openHelp(TBool /*onlyCheck*/) { return kResultFalse; }
tresult PLUGIN_API IPlugVST3::openAboutBox(TBool /*onlyCheck*/) { return kResultFalse; }

// ---------------------------------------------------------------------------------------------
// Units and the program list

int32 PLUGIN_API IPlugVST3::getUnitCount() { return NParamGroups() + 1; }

tresult PLUGIN_API IPlugVST3::getUnitInfo(int32 unitIndex, UnitInfo& info) {
  if (unitIndex == 0) {
    info.id = kRootUnitId;
    info.parentUnitId = kNoParentUnitId;
    Widen128(info.name, "Root Unit");
    info.programListId = kNoProgramListId;
    return kResultOk;
  }
  if (unitIndex < 0 || unitIndex > NParamGroups()) return kResultFalse;
  info.id = unitIndex;
  info.parentUnitId = kRootUnitId;
  Widen128(info.name, GetParamGroup(unitIndex - 1));
  info.programListId = kNoProgramListId;
  return kResultOk;
}

// The list is deliberately not counted: hosts find presets through the "Preset" parameter, and
// those that ask for list 0 anyway get its description.
int32 PLUGIN_API IPlugVST3::getProgramListCount() { return 0; }

tresult PLUGIN_API IPlugVST3::getProgramListInfo(int32 listIndex, ProgramListInfo& info) {
  if (listIndex != 0) return kResultFalse;
  info.id = kFactoryPresetsListID;
  Widen128(info.name, "Factory Presets");
  info.programCount = NPresets();
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::getProgramName(ProgramListID listId, int32 programIndex, String128 name) {
  if (listId != kFactoryPresetsListID || !name) return kResultFalse;
  const PresetSlot* slot = GetPreset(programIndex);
  if (!slot) return kInvalidArgument;
  Widen128(name, slot->name);
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::getProgramInfo(ProgramListID, int32, Vst::CString, String128) { return kNotImplemented; }
tresult PLUGIN_API IPlugVST3::hasProgramPitchNames(ProgramListID, int32) { return kNotImplemented; }
tresult PLUGIN_API IPlugVST3::getProgramPitchName(ProgramListID, int32, int16, String128) { return kNotImplemented; }
UnitID PLUGIN_API IPlugVST3::getSelectedUnit() { return kRootUnitId; }
tresult PLUGIN_API IPlugVST3::selectUnit(UnitID) { return kNotImplemented; }
tresult PLUGIN_API IPlugVST3::getUnitByBus(MediaType, BusDirection, int32, int32, UnitID&) { return kNotImplemented; }
tresult PLUGIN_API IPlugVST3::setUnitProgramData(int32, int32, IBStream*) { return kNotImplemented; }

// ---------------------------------------------------------------------------------------------
// Services for the base

void IPlugVST3::BeginParamEdit(int paramIdx) { beginEdit(static_cast<ParamID>(paramIdx)); }

void IPlugVST3::ReportParamEdit(int paramIdx, double normalized) {
  performEdit(static_cast<ParamID>(paramIdx), normalized);
}

void IPlugVST3::EndParamEdit(int paramIdx) { endEdit(static_cast<ParamID>(paramIdx)); }

bool IPlugVST3::IsRenderingOffline() { return processSetup.processMode == kOffline; }

int IPlugVST3::GetSamplePos() {
  return static_cast<int>(static_cast<uint32_t>(mProcessContext.projectTimeSamples & 0xFFFFFFFF));
}

double IPlugVST3::GetTempo() { return mProcessContext.tempo; }

void IPlugVST3::GetTimeSig(int* numerator, int* denominator) {
  if (numerator) *numerator = mProcessContext.timeSigNumerator;
  if (denominator) *denominator = mProcessContext.timeSigDenominator;
}

void IPlugVST3::GetTimeInfo(ITimeInfo* info) {
  if (!info) return;
  info->tempo = mProcessContext.tempo;
  info->samplePos = static_cast<double>(mProcessContext.projectTimeSamples);
  info->ppqPos = mProcessContext.projectTimeMusic;
  info->lastBar = mProcessContext.barPositionMusic;
  info->cycleStart = mProcessContext.cycleStartMusic;
  info->cycleEnd = mProcessContext.cycleEndMusic;
  info->numerator = mProcessContext.timeSigNumerator;
  info->denominator = mProcessContext.timeSigDenominator;
  info->transportIsRunning = (mProcessContext.state & ProcessContext::kPlaying) != 0;
  info->transportLoopEnabled = (mProcessContext.state & ProcessContext::kCycleActive) != 0;
}

void IPlugVST3::ResizeEditor(int width, int height) {
  if (!GetGraphics()) return;
  if (IPlugVST3View* view = GetOpenView(0)) view->RequestResize(width, height);
}

void IPlugVST3::SetLatency(int samples) {
  IPlugBase::SetLatency(samples);
  if (!componentHandler) return;
  FUnknownPtr<IComponentHandler> handler(componentHandler);
  if (handler) handler->restartComponent(kLatencyChanged);
}

bool IPlugVST3::SendMidiMessage(const IMidiMsg& /*msg*/) { return false; }

void IPlugVST3::ShowHostParamMenu(int paramIdx, int x, int y) {
  if (!componentHandler) return;
  IPlugVST3View* view = GetOpenView(0);
  if (!view) return;
  FUnknownPtr<IComponentHandler3> handler(componentHandler);
  if (!handler) return;
  const ParamID id = static_cast<ParamID>(paramIdx);
  if (IContextMenu* menu = handler->createContextMenu(view, &id)) {
    menu->popup(x, y);
    menu->release();
  }
}

// ---------------------------------------------------------------------------------------------
// Open views

void IPlugVST3::AddOpenView(IPlugVST3View* view) { mOpenViews.Add(view); }

void IPlugVST3::ClearOpenViews() { mOpenViews.Clear(); }

IPlugVST3View* IPlugVST3::GetOpenView(int i) const {
  IPlugVST3View* const* view = mOpenViews.At(i);
  return view ? *view : nullptr;
}
