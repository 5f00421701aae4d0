#pragma once
// One object that is component, audio processor, edit controller and unit-info provider at once.
// The SDK release we build against ships the controller and component support classes but not
// this combination, so it lives here: the bus lists and the stored process setup of a component,
// on top of the SDK's extended edit controller.
//
// It is ours, in the global namespace, and not the SDK's class of the same name found in fuller SDK
// releases (Steinberg::Vst::SingleComponentEffect): that one splits the component's and the
// controller's state differently. Here each interface keeps its own state body (the shims below)
// and the binding decides what travels where.

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "public.sdk/source/vst/vstbus.h"
#include "public.sdk/source/vst/vsteditcontroller.h"

// The SDK's interfaces have no virtual destructors by design (objects die through release(), never
// through delete on an interface pointer), so the warning about them says nothing here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// IComponent and IEditController both declare setState/getState with the same signature, so one
// override would answer both. These two shims give each interface its own body.
class ControllerStateShim : public Steinberg::Vst::EditControllerEx1 {
public:
  Steinberg::tresult PLUGIN_API setState(Steinberg::IBStream* state) SMTG_OVERRIDE final {
    return controllerSetState(state);
  }
  Steinberg::tresult PLUGIN_API getState(Steinberg::IBStream* state) SMTG_OVERRIDE final {
    return controllerGetState(state);
  }

protected:
  virtual Steinberg::tresult controllerSetState(Steinberg::IBStream* /*state*/) { return Steinberg::kNotImplemented; }
  virtual Steinberg::tresult controllerGetState(Steinberg::IBStream* /*state*/) { return Steinberg::kNotImplemented; }
};

class ComponentStateShim : public Steinberg::Vst::IComponent {
public:
  Steinberg::tresult PLUGIN_API setState(Steinberg::IBStream* state) SMTG_OVERRIDE final {
    return componentSetState(state);
  }
  Steinberg::tresult PLUGIN_API getState(Steinberg::IBStream* state) SMTG_OVERRIDE final {
    return componentGetState(state);
  }

protected:
  virtual Steinberg::tresult componentSetState(Steinberg::IBStream* /*state*/) { return Steinberg::kNotImplemented; }
  virtual Steinberg::tresult componentGetState(Steinberg::IBStream* /*state*/) { return Steinberg::kNotImplemented; }
};

class SingleComponentEffect : public ControllerStateShim,
                              public ComponentStateShim,
                              public Steinberg::Vst::IAudioProcessor {
public:
  using tresult = Steinberg::tresult;
  using int32 = Steinberg::int32;
  using uint32 = Steinberg::uint32;
  using TBool = Steinberg::TBool;
  using MediaType = Steinberg::Vst::MediaType;
  using BusDirection = Steinberg::Vst::BusDirection;
  using SpeakerArrangement = Steinberg::Vst::SpeakerArrangement;

  SingleComponentEffect();
  ~SingleComponentEffect() override;

  // ---- IPluginBase (one body for the component and the controller) ----
  tresult PLUGIN_API initialize(Steinberg::FUnknown* context) SMTG_OVERRIDE;
  tresult PLUGIN_API terminate() SMTG_OVERRIDE;

  // ---- IComponent ----
  tresult PLUGIN_API getControllerClassId(Steinberg::TUID classID) SMTG_OVERRIDE;
  tresult PLUGIN_API setIoMode(Steinberg::Vst::IoMode mode) SMTG_OVERRIDE;
  int32 PLUGIN_API getBusCount(MediaType type, BusDirection dir) SMTG_OVERRIDE;
  tresult PLUGIN_API getBusInfo(MediaType type, BusDirection dir, int32 index,
                                Steinberg::Vst::BusInfo& info) SMTG_OVERRIDE;
  tresult PLUGIN_API getRoutingInfo(Steinberg::Vst::RoutingInfo& inInfo,
                                    Steinberg::Vst::RoutingInfo& outInfo) SMTG_OVERRIDE;
  tresult PLUGIN_API activateBus(MediaType type, BusDirection dir, int32 index, TBool state) SMTG_OVERRIDE;
  tresult PLUGIN_API setActive(TBool state) SMTG_OVERRIDE;

  // ---- IAudioProcessor ----
  tresult PLUGIN_API setBusArrangements(SpeakerArrangement* inputs, int32 numIns, SpeakerArrangement* outputs,
                                        int32 numOuts) SMTG_OVERRIDE;
  tresult PLUGIN_API getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr) SMTG_OVERRIDE;
  tresult PLUGIN_API canProcessSampleSize(int32 symbolicSampleSize) SMTG_OVERRIDE;
  uint32 PLUGIN_API getLatencySamples() SMTG_OVERRIDE { return 0; }
  tresult PLUGIN_API setupProcessing(Steinberg::Vst::ProcessSetup& setup) SMTG_OVERRIDE;
  tresult PLUGIN_API setProcessing(TBool state) SMTG_OVERRIDE;
  tresult PLUGIN_API process(Steinberg::Vst::ProcessData& data) SMTG_OVERRIDE;
  uint32 PLUGIN_API getTailSamples() SMTG_OVERRIDE { return Steinberg::Vst::kNoTail; }

  // The controller's own parameter lookup answers an index outside the list with kResultFalse
  // (the container's lookup by index would throw).
  tresult PLUGIN_API getParameterInfo(int32 paramIndex, Steinberg::Vst::ParameterInfo& info) SMTG_OVERRIDE;

  OBJ_METHODS(SingleComponentEffect, Steinberg::Vst::EditControllerEx1)
  // IConnectionPoint is deliberately absent: with processor and controller in one object there
  // is no peer to talk to, and hosts take the refusal as "single component".
  tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
  REFCOUNT_METHODS(Steinberg::Vst::EditControllerEx1)

protected:
  Steinberg::Vst::AudioBus* addAudioInput(const Steinberg::Vst::TChar* name, SpeakerArrangement arr,
                                          Steinberg::Vst::BusType busType = Steinberg::Vst::kMain,
                                          int32 flags = Steinberg::Vst::BusInfo::kDefaultActive);
  Steinberg::Vst::AudioBus* addAudioOutput(const Steinberg::Vst::TChar* name, SpeakerArrangement arr,
                                           Steinberg::Vst::BusType busType = Steinberg::Vst::kMain,
                                           int32 flags = Steinberg::Vst::BusInfo::kDefaultActive);
  Steinberg::Vst::EventBus* addEventInput(const Steinberg::Vst::TChar* name, int32 channels = 16,
                                          Steinberg::Vst::BusType busType = Steinberg::Vst::kMain,
                                          int32 flags = Steinberg::Vst::BusInfo::kDefaultActive);
  void removeAudioBusses();
  void removeAllBusses();
  Steinberg::Vst::BusList* getBusList(MediaType type, BusDirection dir);
  // The audio bus at index of a list, or null.
  Steinberg::Vst::AudioBus* audioBus(Steinberg::Vst::BusList& list, int32 index);

  Steinberg::Vst::BusList audioInputs;
  Steinberg::Vst::BusList audioOutputs;
  Steinberg::Vst::BusList eventInputs;
  Steinberg::Vst::BusList eventOutputs;
  Steinberg::Vst::ProcessSetup processSetup;
};

#pragma GCC diagnostic pop
