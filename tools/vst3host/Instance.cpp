#include "tools/vst3host/Instance.h"

#include "tools/vst3host/HostText.h"

#include "public.sdk/source/common/memorystream.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace vst3host {

namespace {
template <class I>
I* Query(FUnknown* object) {
  void* obj = nullptr;
  if (!object || object->queryInterface(I::iid, &obj) != kResultOk) return nullptr;
  return static_cast<I*>(obj);
}

template <class I>
I* CreateFromFactory(IPluginFactory* factory, const TUID cid) {
  void* obj = nullptr;
  if (factory->createInstance(cid, I::iid, &obj) != kResultOk) return nullptr;
  return static_cast<I*>(obj);
}

template <class I>
void Release(I*& object) {
  if (object) object->release();
  object = nullptr;
}

void SetError(std::string* error, const char* text) {
  if (error) *error = text;
}
}  // namespace

std::unique_ptr<Instance> Instance::Create(const Module& module, const TUID cid, FUnknown* hostContext,
                                           IComponentHandler* handler, std::string* error) {
  IPluginFactory* factory = module.Factory();
  if (!factory) {
    SetError(error, "the module has no factory");
    return nullptr;
  }
  std::unique_ptr<Instance> instance(new Instance());
  instance->mComponent = CreateFromFactory<IComponent>(factory, cid);
  if (!instance->mComponent) {
    SetError(error, "the factory could not create the class as a component");
    return nullptr;
  }
  if (hostContext) {
    hostContext->addRef();
    instance->mHostContext = hostContext;
  }
  if (instance->mComponent->initialize(hostContext) != kResultOk) {
    SetError(error, "the component failed to initialise");
    return nullptr;
  }
  instance->mInitialised = true;

  instance->mProcessor = Query<IAudioProcessor>(instance->mComponent);
  if (!instance->mProcessor) {
    SetError(error, "the component has no audio processor");
    return nullptr;
  }
  instance->mController = Query<IEditController>(instance->mComponent);
  if (!instance->mController && !instance->CreateSeparateController(module, error)) return nullptr;
  instance->mUnitInfo = Query<IUnitInfo>(instance->mController);
  if (handler) {
    handler->addRef();
    instance->mHandler = handler;
    instance->mController->setComponentHandler(handler);
  }
  instance->ActivateDefaultBuses();
  return instance;
}

// A separate controller starts from the component's state, as it would when a project loads.
bool Instance::CreateSeparateController(const Module& module, std::string* error) {
  TUID controllerCid{};
  if (mComponent->getControllerClassId(controllerCid) == kResultOk)
    mController = CreateFromFactory<IEditController>(module.Factory(), controllerCid);
  if (!mController) {
    SetError(error, "the component has no edit controller");
    return false;
  }
  if (mController->initialize(mHostContext) != kResultOk) {
    SetError(error, "the edit controller failed to initialise");
    return false;
  }
  mControllerInitialised = true;
  mComponentConnection = Query<IConnectionPoint>(mComponent);
  mControllerConnection = Query<IConnectionPoint>(mController);
  if (mComponentConnection && mControllerConnection) {
    mComponentConnection->connect(mControllerConnection);
    mControllerConnection->connect(mComponentConnection);
  }
  MemoryStream* stream = new MemoryStream();
  if (mComponent->getState(stream) == kResultOk) {
    stream->seek(0, IBStream::kIBSeekSet, nullptr);
    mController->setComponentState(stream);
  }
  stream->release();
  return true;
}

Instance::~Instance() {
  Stop();
  if (mController) mController->setComponentHandler(nullptr);
  if (mComponentConnection && mControllerConnection) {
    mComponentConnection->disconnect(mControllerConnection);
    mControllerConnection->disconnect(mComponentConnection);
  }
  Release(mComponentConnection);
  Release(mControllerConnection);
  if (mControllerInitialised) mController->terminate();
  if (mInitialised && mComponent) mComponent->terminate();
  Release(mUnitInfo);
  Release(mController);
  Release(mProcessor);
  Release(mComponent);
  Release(mHandler);
  Release(mHostContext);
}

void Instance::ActivateDefaultBuses() {
  for (MediaType type : {kAudio, kEvent}) {
    for (BusDirection dir : {kInput, kOutput}) {
      for (int32 i = 0, n = mComponent->getBusCount(type, dir); i < n; ++i) {
        BusInfo info{};
        if (mComponent->getBusInfo(type, dir, i, info) == kResultOk && (info.flags & BusInfo::kDefaultActive))
          mComponent->activateBus(type, dir, i, true);
      }
    }
  }
}

tresult Instance::Prepare(int32 symbolicSampleSize, double sampleRate, int32 maxBlock, int32 processMode) {
  ProcessSetup setup{processMode, symbolicSampleSize, maxBlock, sampleRate};
  const tresult result = mProcessor->setupProcessing(setup);
  if (result != kResultOk) return result;
  mComponent->setActive(true);
  mProcessor->setProcessing(true);
  mActive = true;
  return result;
}

void Instance::Stop() {
  if (!mActive) return;
  mProcessor->setProcessing(false);
  mComponent->setActive(false);
  mActive = false;
}

std::vector<BusDescription> Instance::AudioBuses(BusDirection direction) const {
  std::vector<BusDescription> buses;
  const int32 count = mComponent->getBusCount(kAudio, direction);
  for (int32 i = 0; i < count; ++i) {
    BusInfo info{};
    if (mComponent->getBusInfo(kAudio, direction, i, info) != kResultOk) continue;
    BusDescription bus;
    bus.index = i;
    bus.name = Utf16ToUtf8(info.name, 128);
    bus.channels = info.channelCount;
    bus.aux = info.busType == kAux;
    bus.defaultActive = (info.flags & BusInfo::kDefaultActive) != 0;
    if (mProcessor->getBusArrangement(direction, i, bus.arrangement) != kResultOk) bus.arrangement = 0;
    buses.push_back(bus);
  }
  return buses;
}

std::vector<ParameterDescription> Instance::Parameters() const {
  std::vector<ParameterDescription> list;
  const int32 count = mController->getParameterCount();
  for (int32 i = 0; i < count; ++i) {
    ParameterInfo info{};
    if (mController->getParameterInfo(i, info) != kResultOk) continue;
    ParameterDescription parameter;
    parameter.id = info.id;
    parameter.title = Utf16ToUtf8(info.title, 128);
    parameter.units = Utf16ToUtf8(info.units, 128);
    parameter.stepCount = info.stepCount;
    parameter.defaultNormalized = info.defaultNormalizedValue;
    parameter.flags = info.flags;
    list.push_back(parameter);
  }
  return list;
}

std::string Instance::DisplayText(ParamID id, double normalized) const {
  String128 text{};
  if (mController->getParamStringByValue(id, normalized, text) != kResultOk) return {};
  return Utf16ToUtf8(text, 128);
}

}  // namespace vst3host
