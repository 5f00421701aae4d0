#pragma once
// One plug-in instance set up as a host sets up a single-component effect: created from the
// module's factory as a component, initialised with the host context, its processor, controller
// and unit-info interfaces looked up on the same object, the component handler installed, and
// every bus the plug-in marks default-active activated (buses start inactive until a host says so).
// Destruction stops processing, deactivates, terminates and releases, in that order.

#include "tools/vst3host/Module.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstunits.h"

#include <memory>
#include <string>

namespace vst3host {

class Instance {
public:
  // hostContext and handler may be null; both are referenced for the instance's lifetime.
  // Answers null, with the reason in *error, when creation or initialisation fails or the object
  // is not a component with an audio processor and an edit controller.
  static std::unique_ptr<Instance> Create(const Module& module, const Steinberg::TUID cid,
                                          Steinberg::FUnknown* hostContext,
                                          Steinberg::Vst::IComponentHandler* handler, std::string* error = nullptr);
  ~Instance();
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  Steinberg::Vst::IComponent* Component() const { return mComponent; }
  Steinberg::Vst::IAudioProcessor* Processor() const { return mProcessor; }
  Steinberg::Vst::IEditController* Controller() const { return mController; }
  Steinberg::Vst::IUnitInfo* UnitInfo() const { return mUnitInfo; }  // null when not offered

  // setupProcessing, then setActive(true) and setProcessing(true). Answers setupProcessing's
  // result (nothing is activated when it fails).
  Steinberg::tresult Prepare(Steinberg::int32 symbolicSampleSize, double sampleRate, Steinberg::int32 maxBlock,
                             Steinberg::int32 processMode = Steinberg::Vst::kRealtime);
  // setProcessing(false) and setActive(false), if prepared.
  void Stop();

private:
  Instance() = default;
  void ActivateDefaultBuses();

  Steinberg::FUnknown* mHostContext = nullptr;
  Steinberg::Vst::IComponent* mComponent = nullptr;
  Steinberg::Vst::IAudioProcessor* mProcessor = nullptr;
  Steinberg::Vst::IEditController* mController = nullptr;
  Steinberg::Vst::IUnitInfo* mUnitInfo = nullptr;
  bool mInitialised = false;
  bool mActive = false;
};

}  // namespace vst3host
