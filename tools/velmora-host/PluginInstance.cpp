#include "tools/velmora-host/PluginInstance.h"

#include "tools/velmora-host/HostError.h"
#include "tools/velmora-host/Utf16Text.h"

#include "pluginterfaces/vst/ivstmessage.h"
#include "public.sdk/source/common/memorystream.h"

namespace velmora_host {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

template <typename T>
IPtr<T> createFromFactory(IPluginFactory* factory, const TUID cid) {
  T* object = nullptr;
  if (factory->createInstance(cid, T::iid, reinterpret_cast<void**>(&object)) != kResultOk) return nullptr;
  return owned(object);
}

// A separate controller starts from the component's state, as it would when a project loads.
void syncControllerToComponent(IComponent* component, IEditController* controller) {
  IPtr<MemoryStream> stream = owned(new MemoryStream);
  if (component->getState(stream) != kResultOk) return;
  stream->seek(0, IBStream::kIBSeekSet, nullptr);
  controller->setComponentState(stream);
}

}  // namespace

PluginInstance::PluginInstance(const PluginModule& module) : mClass(module.effectClass()) {
  const std::string who = "module " + module.libraryPath();
  mHostContext = owned(new vst3host::HostApplication(kHostName));
  mHandler = owned(new vst3host::RecordingComponentHandler);
  try {
    mComponent = createFromFactory<IComponent>(module.factory(), mClass.cid);
    if (!mComponent) throw HostError(who + " could not create its effect \"" + mClass.name + "\"");
    if (mComponent->initialize(mHostContext) != kResultOk)
      throw HostError(who + ": effect \"" + mClass.name + "\" failed to initialise");
    mComponentInitialised = true;

    mProcessor = FUnknownPtr<IAudioProcessor>(mComponent);
    if (!mProcessor) throw HostError(who + ": \"" + mClass.name + "\" has no audio processor");

    mController = FUnknownPtr<IEditController>(mComponent);
    mSingleComponent = mController != nullptr;
    if (!mController) {
      TUID controllerCid{};
      if (mComponent->getControllerClassId(controllerCid) == kResultOk)
        mController = createFromFactory<IEditController>(module.factory(), controllerCid);
      if (!mController) throw HostError(who + ": \"" + mClass.name + "\" has no edit controller");
      if (mController->initialize(mHostContext) != kResultOk)
        throw HostError(who + ": the edit controller of \"" + mClass.name + "\" failed to initialise");
      mControllerInitialised = true;
      mComponentConnection = FUnknownPtr<IConnectionPoint>(mComponent);
      mControllerConnection = FUnknownPtr<IConnectionPoint>(mController);
      if (mComponentConnection && mControllerConnection) {
        mComponentConnection->connect(mControllerConnection);
        mControllerConnection->connect(mComponentConnection);
      }
      syncControllerToComponent(mComponent, mController);
    }
    mController->setComponentHandler(mHandler);
  } catch (...) {
    releaseAll();
    throw;
  }
}

PluginInstance::~PluginInstance() { releaseAll(); }

void PluginInstance::releaseAll() {
  if (mController) mController->setComponentHandler(nullptr);
  if (mComponentConnection && mControllerConnection) {
    mComponentConnection->disconnect(mControllerConnection);
    mControllerConnection->disconnect(mComponentConnection);
  }
  mComponentConnection = nullptr;
  mControllerConnection = nullptr;
  if (mControllerInitialised) mController->terminate();
  mControllerInitialised = false;
  mController = nullptr;
  mProcessor = nullptr;
  if (mComponentInitialised) mComponent->terminate();
  mComponentInitialised = false;
  mComponent = nullptr;
}

std::vector<BusDescription> PluginInstance::audioBuses(BusDirection direction) const {
  std::vector<BusDescription> buses;
  const int32 count = mComponent->getBusCount(kAudio, direction);
  for (int32 i = 0; i < count; ++i) {
    BusInfo info{};
    if (mComponent->getBusInfo(kAudio, direction, i, info) != kResultOk) continue;
    BusDescription bus;
    bus.index = i;
    bus.name = utf16ToUtf8(info.name, 128);
    bus.channels = info.channelCount;
    bus.aux = info.busType == kAux;
    bus.defaultActive = (info.flags & BusInfo::kDefaultActive) != 0;
    if (mProcessor->getBusArrangement(direction, i, bus.arrangement) != kResultOk) bus.arrangement = 0;
    buses.push_back(bus);
  }
  return buses;
}

std::vector<ParameterDescription> PluginInstance::parameters() const {
  std::vector<ParameterDescription> list;
  const int32 count = mController->getParameterCount();
  for (int32 i = 0; i < count; ++i) {
    ParameterInfo info{};
    if (mController->getParameterInfo(i, info) != kResultOk) continue;
    ParameterDescription parameter;
    parameter.id = info.id;
    parameter.title = utf16ToUtf8(info.title, 128);
    parameter.units = utf16ToUtf8(info.units, 128);
    parameter.stepCount = info.stepCount;
    parameter.defaultNormalized = info.defaultNormalizedValue;
    parameter.flags = info.flags;
    list.push_back(parameter);
  }
  return list;
}

std::string PluginInstance::displayText(ParamID id, double normalized) const {
  String128 text{};
  if (mController->getParamStringByValue(id, normalized, text) != kResultOk) return {};
  return utf16ToUtf8(text, 128);
}

void PluginInstance::setControllerValue(ParamID id, double normalized) {
  mController->setParamNormalized(id, normalized);
}

}  // namespace velmora_host
