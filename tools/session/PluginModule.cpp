#include "tools/session/PluginModule.h"

#include "tools/vst3host/ComponentHandler.h"
#include "tools/vst3host/HostApplication.h"
#include "tools/vst3host/HostText.h"
#include "tools/vst3host/ModuleLibrary.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <cstdio>
#include <cstring>
#include <utility>

namespace velmora_host {

using namespace Steinberg;

std::unique_ptr<PluginModule> PluginModule::Open(const ModuleOptions& options, std::string* error) {
  const std::string& path = options.path;
  if (!vst3host::PathExists(path)) {
    if (error) *error = "no VST3 module at " + path;
    return nullptr;
  }
  std::unique_ptr<vst3host::Module> module = vst3host::Module::Load(path, error);
  if (!module) return nullptr;
  return std::unique_ptr<PluginModule>(new PluginModule(std::move(module), options.trace));
}

PluginModule::PluginModule(std::unique_ptr<vst3host::Module> module, bool trace)
    : mModule(std::move(module)), mTrace(trace) {
  ReadDescriptions();
}

PluginModule::~PluginModule() = default;

void PluginModule::ReadDescriptions() {
  PFactoryInfo factoryInfo{};
  IPluginFactory* factory = mModule->Factory();
  if (factory->getFactoryInfo(&factoryInfo) == kResultOk) {
    mFactoryDescription.vendor = vst3host::FieldText(factoryInfo.vendor, PFactoryInfo::kNameSize);
    mFactoryDescription.url = vst3host::FieldText(factoryInfo.url, PFactoryInfo::kURLSize);
    mFactoryDescription.email = vst3host::FieldText(factoryInfo.email, PFactoryInfo::kEmailSize);
    mFactoryDescription.flags = factoryInfo.flags;
  }
  FUnknownPtr<IPluginFactory2> factory2(factory);
  const int32 count = factory->countClasses();
  for (int32 i = 0; i < count; ++i) {
    ClassDescription description;
    PClassInfo2 info2{};
    PClassInfo info{};
    if (factory2 && factory2->getClassInfo2(i, &info2) == kResultOk) {
      std::memcpy(description.cid, info2.cid, sizeof(TUID));
      description.name = vst3host::FieldText(info2.name, PClassInfo::kNameSize);
      description.category = vst3host::FieldText(info2.category, PClassInfo::kCategorySize);
      description.subCategories = vst3host::FieldText(info2.subCategories, PClassInfo2::kSubCategoriesSize);
      description.vendor = vst3host::FieldText(info2.vendor, PClassInfo2::kVendorSize);
      description.version = vst3host::FieldText(info2.version, PClassInfo2::kVersionSize);
      description.sdkVersion = vst3host::FieldText(info2.sdkVersion, PClassInfo2::kVersionSize);
      description.cardinality = info2.cardinality;
      description.classFlags = info2.classFlags;
      description.hasExtendedInfo = true;
    } else if (factory->getClassInfo(i, &info) == kResultOk) {
      std::memcpy(description.cid, info.cid, sizeof(TUID));
      description.name = vst3host::FieldText(info.name, PClassInfo::kNameSize);
      description.category = vst3host::FieldText(info.category, PClassInfo::kCategorySize);
      description.cardinality = info.cardinality;
    } else {
      continue;
    }
    mClasses.push_back(description);
  }
}

std::unique_ptr<vst3host::Instance> PluginModule::CreateEffect(Vst::IComponentHandler* handler,
                                                               std::string* error) const {
  const ClassDescription* effect = EffectClass(error);
  if (!effect) return nullptr;
  vst3host::HostApplication::TraceReceiver traces;
  if (mTrace) {
    traces = [](const char* operation, int /*line*/, const char* message) {
      std::fprintf(stderr, "%s: trace: %s: %s\n", kHostName, operation, message);
    };
  }
  IPtr<vst3host::HostApplication> host = owned(new vst3host::HostApplication(kHostName, traces));
  IPtr<Vst::IComponentHandler> recording;
  if (!handler) {
    recording = owned(static_cast<Vst::IComponentHandler*>(new vst3host::RecordingComponentHandler));
    handler = recording;
  }
  std::string reason;
  const std::lock_guard<std::mutex> lock(mCreation);
  std::unique_ptr<vst3host::Instance> instance =
      vst3host::Instance::Create(*mModule, effect->cid, host->Context(), handler, &reason);
  if (!instance && error) *error = "module " + LibraryPath() + ": effect \"" + effect->name + "\": " + reason;
  return instance;
}

const ClassDescription* PluginModule::EffectClass(std::string* error) const {
  for (const ClassDescription& description : mClasses)
    if (description.category == kVstAudioEffectClass) return &description;
  if (error) *error = "module " + LibraryPath() + " has no audio effect class";
  return nullptr;
}

}  // namespace velmora_host
