#pragma once
// One instance of a module's effect class, set up as a host sets it up: the component
// initialised with our host context, its edit controller (the same object for single-component
// effects, else created from the factory, initialised and connected), and the component handler
// installed. Teardown mirrors it in reverse. Everything the host reads about the instance
// (buses, parameters, display texts) is answered here through the public interfaces.
#include "tools/velmora-host/PluginModule.h"
#include "tools/vst3host/ComponentHandler.h"
#include "tools/vst3host/HostApplication.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <string>
#include <vector>

namespace velmora_host {

// How the host names itself to the effects it loads.
constexpr const char* kHostName = "velmora-host";

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

class PluginInstance {
public:
  explicit PluginInstance(const PluginModule& module);
  ~PluginInstance();
  PluginInstance(const PluginInstance&) = delete;
  PluginInstance& operator=(const PluginInstance&) = delete;

  const ClassDescription& classDescription() const { return mClass; }
  Steinberg::Vst::IComponent* component() const { return mComponent; }
  Steinberg::Vst::IAudioProcessor* processor() const { return mProcessor; }
  Steinberg::Vst::IEditController* controller() const { return mController; }
  bool isSingleComponent() const { return mSingleComponent; }

  std::vector<BusDescription> audioBuses(Steinberg::Vst::BusDirection direction) const;
  std::vector<ParameterDescription> parameters() const;
  std::string displayText(Steinberg::Vst::ParamID id, double normalized) const;

  // Sets the controller's value; the caller also delivers it to the processor in a process call.
  void setControllerValue(Steinberg::Vst::ParamID id, double normalized);

private:
  void releaseAll();

  ClassDescription mClass;
  Steinberg::IPtr<vst3host::HostApplication> mHostContext;
  Steinberg::IPtr<vst3host::RecordingComponentHandler> mHandler;
  Steinberg::IPtr<Steinberg::Vst::IComponent> mComponent;
  Steinberg::IPtr<Steinberg::Vst::IAudioProcessor> mProcessor;
  Steinberg::IPtr<Steinberg::Vst::IEditController> mController;
  Steinberg::IPtr<Steinberg::Vst::IConnectionPoint> mComponentConnection, mControllerConnection;
  bool mSingleComponent = false;
  bool mComponentInitialised = false;
  bool mControllerInitialised = false;
};

}  // namespace velmora_host
