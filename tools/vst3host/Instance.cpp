#include "tools/vst3host/Instance.h"

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

void SetError(std::string* error, const char* text) {
  if (error) *error = text;
}
}  // namespace

std::unique_ptr<Instance> Instance::Create(const Module& module, const TUID cid, FUnknown* hostContext,
                                           IComponentHandler* handler, std::string* error) {
  IPluginFactory* factory = module.Factory();
  if (!factory) {
    SetError(error, "module has no factory");
    return nullptr;
  }
  std::unique_ptr<Instance> instance(new Instance());
  void* obj = nullptr;
  if (factory->createInstance(cid, IComponent::iid, &obj) != kResultOk || !obj) {
    SetError(error, "the factory could not create the class as a component");
    return nullptr;
  }
  instance->mComponent = static_cast<IComponent*>(obj);

  if (hostContext) {
    hostContext->addRef();
    instance->mHostContext = hostContext;
  }
  if (instance->mComponent->initialize(hostContext) != kResultOk) {
    SetError(error, "initialize failed");
    return nullptr;
  }
  instance->mInitialised = true;

  instance->mProcessor = Query<IAudioProcessor>(instance->mComponent);
  instance->mController = Query<IEditController>(instance->mComponent);
  instance->mUnitInfo = Query<IUnitInfo>(instance->mComponent);
  if (!instance->mProcessor || !instance->mController) {
    SetError(error, "the component is not a single-component effect (no processor or controller on it)");
    return nullptr;
  }
  if (handler) instance->mController->setComponentHandler(handler);
  instance->ActivateDefaultBuses();
  return instance;
}

Instance::~Instance() {
  Stop();
  if (mController) mController->setComponentHandler(nullptr);
  if (mInitialised && mComponent) mComponent->terminate();
  if (mUnitInfo) mUnitInfo->release();
  if (mController) mController->release();
  if (mProcessor) mProcessor->release();
  if (mComponent) mComponent->release();
  if (mHostContext) mHostContext->release();
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

}  // namespace vst3host
