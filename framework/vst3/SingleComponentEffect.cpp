#include "framework/vst3/SingleComponentEffect.h"

#include "pluginterfaces/vst/vstspeaker.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

SingleComponentEffect::SingleComponentEffect()
    : audioInputs(kAudio, kInput),
      audioOutputs(kAudio, kOutput),
      eventInputs(kEvent, kInput),
      eventOutputs(kEvent, kOutput) {
  processSetup.processMode = kRealtime;
  processSetup.symbolicSampleSize = kSample32;
  processSetup.maxSamplesPerBlock = 1024;
  processSetup.sampleRate = 44100.0;
}

SingleComponentEffect::~SingleComponentEffect() = default;

tresult PLUGIN_API SingleComponentEffect::initialize(FUnknown* context) {
  return EditControllerEx1::initialize(context);
}

tresult PLUGIN_API SingleComponentEffect::terminate() {
  removeAllBusses();
  parameters.removeAll();
  return EditControllerEx1::terminate();
}

tresult PLUGIN_API SingleComponentEffect::queryInterface(const TUID iid, void** obj) {
  // IPluginBase is reachable along two paths (controller and component); both lead to the one
  // initialize/terminate body, so either cast is right.
  QUERY_INTERFACE(iid, obj, IPluginBase::iid, IComponent)
  QUERY_INTERFACE(iid, obj, IComponent::iid, IComponent)
  QUERY_INTERFACE(iid, obj, IAudioProcessor::iid, IAudioProcessor)
  QUERY_INTERFACE(iid, obj, IEditController::iid, IEditController)
  QUERY_INTERFACE(iid, obj, IEditController2::iid, IEditController2)
  QUERY_INTERFACE(iid, obj, IUnitInfo::iid, IUnitInfo)
  if (FUnknownPrivate::iidEqual(iid, IConnectionPoint::iid)) {
    *obj = nullptr;
    return kNoInterface;
  }
  return FObject::queryInterface(iid, obj);
}

// ---- Buses ----

BusList* SingleComponentEffect::getBusList(MediaType type, BusDirection dir) {
  if (dir != kInput && dir != kOutput) return nullptr;
  if (type == kAudio) return dir == kInput ? &audioInputs : &audioOutputs;
  if (type == kEvent) return dir == kInput ? &eventInputs : &eventOutputs;
  return nullptr;
}

AudioBus* SingleComponentEffect::audioBus(BusList& list, int32 index) {
  if (index < 0 || index >= static_cast<int32>(list.size())) return nullptr;
  return FCast<AudioBus>(list[static_cast<size_t>(index)].get());
}

AudioBus* SingleComponentEffect::addAudioInput(const TChar* name, SpeakerArrangement arr, BusType busType,
                                               int32 flags) {
  auto* bus = new AudioBus(name, busType, flags, arr);
  audioInputs.push_back(IPtr<Bus>(bus, false));
  return bus;
}

AudioBus* SingleComponentEffect::addAudioOutput(const TChar* name, SpeakerArrangement arr, BusType busType,
                                                int32 flags) {
  auto* bus = new AudioBus(name, busType, flags, arr);
  audioOutputs.push_back(IPtr<Bus>(bus, false));
  return bus;
}

EventBus* SingleComponentEffect::addEventInput(const TChar* name, int32 channels, BusType busType, int32 flags) {
  auto* bus = new EventBus(name, busType, flags, channels);
  eventInputs.push_back(IPtr<Bus>(bus, false));
  return bus;
}

void SingleComponentEffect::removeAudioBusses() {
  audioInputs.clear();
  audioOutputs.clear();
}

void SingleComponentEffect::removeAllBusses() {
  removeAudioBusses();
  eventInputs.clear();
  eventOutputs.clear();
}

// ---- IComponent ----

tresult PLUGIN_API SingleComponentEffect::getControllerClassId(TUID /*classID*/) { return kNotImplemented; }

tresult PLUGIN_API SingleComponentEffect::setIoMode(IoMode /*mode*/) { return kNotImplemented; }

int32 PLUGIN_API SingleComponentEffect::getBusCount(MediaType type, BusDirection dir) {
  BusList* list = getBusList(type, dir);
  return list ? static_cast<int32>(list->size()) : 0;
}

tresult PLUGIN_API SingleComponentEffect::getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& info) {
  BusList* list = getBusList(type, dir);
  if (!list || index < 0 || index >= static_cast<int32>(list->size())) return kInvalidArgument;
  info.mediaType = type;
  info.direction = dir;
  return (*list)[static_cast<size_t>(index)]->getInfo(info) ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API SingleComponentEffect::getRoutingInfo(RoutingInfo& /*inInfo*/, RoutingInfo& /*outInfo*/) {
  return kNotImplemented;
}

tresult PLUGIN_API SingleComponentEffect::activateBus(MediaType type, BusDirection dir, int32 index, TBool state) {
  BusList* list = getBusList(type, dir);
  if (!list || index < 0 || index >= static_cast<int32>(list->size())) return kInvalidArgument;
  (*list)[static_cast<size_t>(index)]->setActive(state);
  return kResultTrue;
}

tresult PLUGIN_API SingleComponentEffect::setActive(TBool /*state*/) { return kResultOk; }

// ---- IAudioProcessor ----

tresult PLUGIN_API SingleComponentEffect::setBusArrangements(SpeakerArrangement* /*inputs*/, int32 /*numIns*/,
                                                             SpeakerArrangement* /*outputs*/, int32 /*numOuts*/) {
  return kResultFalse;
}

tresult PLUGIN_API SingleComponentEffect::getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr) {
  BusList* list = getBusList(kAudio, dir);
  AudioBus* bus = list ? audioBus(*list, index) : nullptr;
  if (!bus) return kInvalidArgument;
  arr = bus->getArrangement();
  return kResultTrue;
}

tresult PLUGIN_API SingleComponentEffect::canProcessSampleSize(int32 symbolicSampleSize) {
  return symbolicSampleSize == kSample32 ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API SingleComponentEffect::setupProcessing(ProcessSetup& setup) {
  processSetup = setup;
  return kResultOk;
}

tresult PLUGIN_API SingleComponentEffect::setProcessing(TBool /*state*/) { return kNotImplemented; }

tresult PLUGIN_API SingleComponentEffect::process(ProcessData& /*data*/) { return kNotImplemented; }

// ---- IEditController ----

tresult PLUGIN_API SingleComponentEffect::getParameterInfo(int32 paramIndex, ParameterInfo& info) {
  if (paramIndex < 0 || paramIndex >= parameters.getParameterCount()) return kResultFalse;
  return EditControllerEx1::getParameterInfo(paramIndex, info);
}
