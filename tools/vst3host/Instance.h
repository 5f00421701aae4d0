#pragma once
// One plug-in instance set up as a host sets it up: the component created from the module's
// factory and initialised with the host context; its audio processor; its edit controller (the
// same object for a single-component effect, else created from the factory, initialised,
// connected to the component and started from the component's state); its unit info when
// offered; the component handler installed; and every bus the plug-in marks default-active
// activated (buses start inactive until a host says so). Destruction stops processing,
// deactivates, disconnects, terminates and releases, in that order. What a host reads about the
// instance (buses, parameters, display texts) is answered through the public interfaces.

#include "tools/vst3host/Module.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/ivstunits.h"

#include <memory>
#include <string>
#include <vector>

namespace vst3host {

struct BusDescription {
  int index = 0;
  std::string name;
  int channels = 0;
  bool aux = false;
  bool defaultActive = false;
  Steinberg::Vst::SpeakerArrangement arrangement = 0;
};

struct ParameterDescription {
  Steinberg::Vst::ParamID id = 0;
  std::string title, units;
  int stepCount = 0;
  double defaultNormalized = 0.0;
  Steinberg::int32 flags = 0;
};

class Instance {
public:
  // hostContext and handler may be null; both are referenced for the instance's lifetime.
  // Answers null, with the reason in *error, when creation or initialisation fails or the class
  // is not a component with an audio processor and an edit controller.
  static std::unique_ptr<Instance> Create(const Module& module, const Steinberg::TUID cid,
                                          Steinberg::FUnknown* hostContext, Steinberg::Vst::IComponentHandler* handler,
                                          std::string* error = nullptr);
  ~Instance();
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  Steinberg::Vst::IComponent* Component() const { return mComponent; }
  Steinberg::Vst::IAudioProcessor* Processor() const { return mProcessor; }
  Steinberg::Vst::IEditController* Controller() const { return mController; }
  Steinberg::Vst::IUnitInfo* UnitInfo() const { return mUnitInfo; }  // null when not offered
  // Whether component and controller are one object.
  bool IsSingleComponent() const { return !mControllerInitialised; }

  // setupProcessing, then setActive(true) and setProcessing(true). Answers setupProcessing's
  // result (nothing is activated when it fails).
  Steinberg::tresult Prepare(Steinberg::int32 symbolicSampleSize, double sampleRate, Steinberg::int32 maxBlock,
                             Steinberg::int32 processMode = Steinberg::Vst::kRealtime);
  // setProcessing(false) and setActive(false), if prepared.
  void Stop();

  std::vector<BusDescription> AudioBuses(Steinberg::Vst::BusDirection direction) const;
  std::vector<ParameterDescription> Parameters() const;
  // The controller's text for a normalised value; empty when it has none.
  std::string DisplayText(Steinberg::Vst::ParamID id, double normalized) const;

private:
  Instance() = default;
  bool CreateSeparateController(const Module& module, std::string* error);
  void ActivateDefaultBuses();

  Steinberg::FUnknown* mHostContext = nullptr;
  Steinberg::Vst::IComponentHandler* mHandler = nullptr;
  Steinberg::Vst::IComponent* mComponent = nullptr;
  Steinberg::Vst::IAudioProcessor* mProcessor = nullptr;
  Steinberg::Vst::IEditController* mController = nullptr;
  Steinberg::Vst::IUnitInfo* mUnitInfo = nullptr;
  Steinberg::Vst::IConnectionPoint* mComponentConnection = nullptr;
  Steinberg::Vst::IConnectionPoint* mControllerConnection = nullptr;
  bool mInitialised = false;
  bool mControllerInitialised = false;
  bool mActive = false;
};

}  // namespace vst3host
