// IPlugVST3's lifecycle: initialise (building the buses and host parameters) and terminate,
// activation, the processing setup and the bus configuration the host chooses while inactive.

#include "framework/vst3/IPlugVST3.h"

#include "framework/vst3/BypassParameter.h"
#include "framework/vst3/HostText.h"
#include "framework/vst3/IHostTraceSink.h"
#include "framework/vst3/IPlugParameter.h"
#include "framework/vst3/ProgramParameter.h"
#include "framework/vst3/UiThreadTimer.h"

#include "pluginterfaces/vst/ivsthostapplication.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <cmath>
#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
// The speaker arrangement a bus of n channels gets.
SpeakerArrangement ArrangementFor(int n) {
  switch (n) {
    case 1: return SpeakerArr::kMono;                                // M
    case 2: return SpeakerArr::kStereo;                              // L R
    case 3: return kSpeakerL | kSpeakerR | kSpeakerCs;               // L R Cs
    case 4: return kSpeakerL | kSpeakerR | kSpeakerLs | kSpeakerRs;  // L R Ls Rs
    case 5: return kSpeakerL | kSpeakerR | kSpeakerC | kSpeakerLs | kSpeakerRs;
    case 6: return kSpeakerL | kSpeakerR | kSpeakerC | kSpeakerLfe | kSpeakerLs | kSpeakerRs;
    default: return 0;
  }
}

int ChannelsOf(SpeakerArrangement arr) { return SpeakerArr::getChannelCount(arr); }

void Widen128(String128 dst, const char* src) { WidenText(dst, src, kMaxHostChars); }
}  // namespace

// ---------------------------------------------------------------------------------------------
// Initialise and terminate

tresult PLUGIN_API IPlugVST3::initialize(FUnknown* context) {
  // A refused initialise changes nothing. The first call claims the instance in the same step as
  // it checks, under the lock, so a second one (on another thread at the same moment, or later)
  // is refused before it stores a context or builds anything.
  LifecycleState before;
  {
    PluginLock lock(Mutex());
    if (!CheckCall(LifecycleCall::Initialize, "IPlugVST3::initialize", __LINE__) || getHostContext())
      return kResultFalse;
    before = mState;
    mState = LifecycleState::Initialising;
  }
  const tresult result = SingleComponentEffect::initialize(context);
  if (result != kResultOk) {
    PluginLock lock(Mutex());
    mState = before;
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
    // A setup made before (ahead of this initialise, or before a terminate) still holds: its
    // scratch buffers stay with the base.
    mState = GetBlockSize() > 0 ? LifecycleState::SetUp : LifecycleState::Initialised;
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
    CheckCall(LifecycleCall::Terminate, "IPlugVST3::terminate", __LINE__);
    mState = LifecycleState::Terminated;
    result = SingleComponentEffect::terminate();
  }
  mEditorNoticeTimer.reset();
  mNoticeTimer.reset();
  mPendingRestartFlags.store(0, std::memory_order_relaxed);
  ForgetHostTraceSink();
  return result;
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
// Activation, bus configuration and the processing setup

// Out of order, activation changes nothing in the stage (a component activated before any setup
// is still not set up), but the effect hears of it as always.
tresult PLUGIN_API IPlugVST3::setActive(TBool state) {
  {
    PluginLock lock(Mutex());
    if (state) {
      if (CheckCall(LifecycleCall::Activate, "IPlugVST3::setActive", __LINE__)) mState = LifecycleState::Active;
    } else {
      CheckCall(LifecycleCall::Deactivate, "IPlugVST3::setActive", __LINE__);
      if (IsActive(mState)) mState = LifecycleState::SetUp;
    }
  }
  ActivationChanged(state != 0);
  return kResultOk;
}

// Processing changes nothing here: the answer tells the host so, and process runs while active.
tresult PLUGIN_API IPlugVST3::setProcessing(TBool state) {
  PluginLock lock(Mutex());
  if (CheckCall(state ? LifecycleCall::StartProcessing : LifecycleCall::StopProcessing, "IPlugVST3::setProcessing",
                __LINE__))
    mState = state ? LifecycleState::Processing : LifecycleState::Active;
  return SingleComponentEffect::setProcessing(state);
}

// Bus changes hold the plug-in mutex like setup does: the contract allows them only while the
// component is inactive, so a host that keeps it never waits, and one that breaks it gets a change
// that waits for the block in progress instead of buffers freed under the audio thread. (Refusing
// them while active would leave such a host with buses other than the ones it just chose.)
tresult PLUGIN_API IPlugVST3::activateBus(MediaType type, BusDirection dir, int32 index, TBool state) {
  PluginLock lock(Mutex());
  const tresult result = SingleComponentEffect::activateBus(type, dir, index, state);
  if (result == kResultTrue) {
    CheckCall(LifecycleCall::BusChange, "IPlugVST3::activateBus", __LINE__, "bus %d of direction %d", index, dir);
  }
  return result;
}

tresult PLUGIN_API IPlugVST3::setBusArrangements(SpeakerArrangement* inputs, int32 numIns, SpeakerArrangement* outputs,
                                                 int32 numOuts) {
  PluginLock lock(Mutex());
  if (!HasBuses(mState)) {
    CheckCall(LifecycleCall::BusChange, "IPlugVST3::setBusArrangements", __LINE__, "setBusArrangements without buses");
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

  CheckCall(LifecycleCall::BusChange, "IPlugVST3::setBusArrangements", __LINE__, "%d input and %d output arrangements",
            numIns, numOuts);
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
  {
    // The scratch buffers are replaced here; a block still running on a misbehaving host must
    // not see them move. They are allocated first: when that fails the earlier setup stays whole.
    // The host bypass is left alone: hosts restore a project's state before setting up.
    PluginLock lock(Mutex());
    if (!SetBlockSize(setup.maxSamplesPerBlock)) return kResultFalse;
    SetSampleRate(setup.sampleRate);
    processSetup = setup;
    if (CheckCall(LifecycleCall::SetupProcessing, "IPlugVST3::setupProcessing", __LINE__,
                  "sample rate %g Hz, block size %d", setup.sampleRate, setup.maxSamplesPerBlock))
      mState = LifecycleState::SetUp;
  }
  ResetProcessing();
  return kResultOk;
}
