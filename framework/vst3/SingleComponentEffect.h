#pragma once
// One object that is component, audio processor, edit controller and unit-info provider at once.
// The SDK release we build against ships the controller and component support classes but not
// this combination, so it lives here: the bus lists and the stored process setup of a component,
// on top of the SDK's extended edit controller.

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "public.sdk/source/vst/vstbus.h"
#include "public.sdk/source/vst/vsteditcontroller.h"

// The SDK's interfaces have no virtual destructors by design (objects die through release(), never
// through delete on an interface pointer), so the warning about them says nothing here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

namespace Steinberg {
namespace Vst {

// IComponent and IEditController both declare setState/getState with the same signature, so one
// override would answer both. These two shims give each interface its own body.
class ControllerStateShim : public EditControllerEx1 {
public:
  tresult PLUGIN_API setState(IBStream* state) SMTG_OVERRIDE final { return controllerSetState(state); }
  tresult PLUGIN_API getState(IBStream* state) SMTG_OVERRIDE final { return controllerGetState(state); }

protected:
  virtual tresult controllerSetState(IBStream* /*state*/) { return kNotImplemented; }
  virtual tresult controllerGetState(IBStream* /*state*/) { return kNotImplemented; }
};

class ComponentStateShim : public IComponent {
public:
  tresult PLUGIN_API setState(IBStream* state) SMTG_OVERRIDE final { return componentSetState(state); }
  tresult PLUGIN_API getState(IBStream* state) SMTG_OVERRIDE final { return componentGetState(state); }

protected:
  virtual tresult componentSetState(IBStream* /*state*/) { return kNotImplemented; }
  virtual tresult componentGetState(IBStream* /*state*/) { return kNotImplemented; }
};

class SingleComponentEffect : public ControllerStateShim, public ComponentStateShim, public IAudioProcessor {
public:
  SingleComponentEffect();
  ~SingleComponentEffect() override;

  // ---- IPluginBase (one body for the component and the controller) ----
  tresult PLUGIN_API initialize(FUnknown* context) SMTG_OVERRIDE;
  tresult PLUGIN_API terminate() SMTG_OVERRIDE;

  // ---- IComponent ----
  tresult PLUGIN_API getControllerClassId(TUID classID) SMTG_OVERRIDE;
  tresult PLUGIN_API setIoMode(IoMode mode) SMTG_OVERRIDE;
  int32 PLUGIN_API getBusCount(MediaType type, BusDirection dir) SMTG_OVERRIDE;
  tresult PLUGIN_API getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& info) SMTG_OVERRIDE;
  tresult PLUGIN_API getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) SMTG_OVERRIDE;
  tresult PLUGIN_API activateBus(MediaType type, BusDirection dir, int32 index, TBool state) SMTG_OVERRIDE;
  tresult PLUGIN_API setActive(TBool state) SMTG_OVERRIDE;

  // ---- IAudioProcessor ----
  tresult PLUGIN_API setBusArrangements(SpeakerArrangement* inputs, int32 numIns, SpeakerArrangement* outputs,
                                        int32 numOuts) SMTG_OVERRIDE;
  tresult PLUGIN_API getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr) SMTG_OVERRIDE;
  tresult PLUGIN_API canProcessSampleSize(int32 symbolicSampleSize) SMTG_OVERRIDE;
  uint32 PLUGIN_API getLatencySamples() SMTG_OVERRIDE { return 0; }
  tresult PLUGIN_API setupProcessing(ProcessSetup& setup) SMTG_OVERRIDE;
  tresult PLUGIN_API setProcessing(TBool state) SMTG_OVERRIDE;
  tresult PLUGIN_API process(ProcessData& data) SMTG_OVERRIDE;
  uint32 PLUGIN_API getTailSamples() SMTG_OVERRIDE { return kNoTail; }

  // The controller's own parameter lookup answers an index outside the list with kResultFalse
  // (the container's lookup by index would throw).
  tresult PLUGIN_API getParameterInfo(int32 paramIndex, ParameterInfo& info) SMTG_OVERRIDE;

  OBJ_METHODS(SingleComponentEffect, EditControllerEx1)
  // IConnectionPoint is deliberately absent: with processor and controller in one object there
  // is no peer to talk to, and hosts take the refusal as "single component".
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) SMTG_OVERRIDE;
  REFCOUNT_METHODS(EditControllerEx1)

protected:
  AudioBus* addAudioInput(const TChar* name, SpeakerArrangement arr, BusType busType = kMain,
                          int32 flags = BusInfo::kDefaultActive);
  AudioBus* addAudioOutput(const TChar* name, SpeakerArrangement arr, BusType busType = kMain,
                           int32 flags = BusInfo::kDefaultActive);
  EventBus* addEventInput(const TChar* name, int32 channels = 16, BusType busType = kMain,
                          int32 flags = BusInfo::kDefaultActive);
  void removeAudioBusses();
  void removeAllBusses();
  BusList* getBusList(MediaType type, BusDirection dir);
  // The audio bus at index of a list, or null.
  AudioBus* audioBus(BusList& list, int32 index);

  BusList audioInputs;
  BusList audioOutputs;
  BusList eventInputs;
  BusList eventOutputs;
  ProcessSetup processSetup;
};

}  // namespace Vst
}  // namespace Steinberg

#pragma GCC diagnostic pop
