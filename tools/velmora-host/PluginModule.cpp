#include "tools/velmora-host/PluginModule.h"

#include "tools/velmora-host/HostError.h"
#include "tools/velmora-host/Utf16Text.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <sys/stat.h>

#include <cstring>

namespace velmora_host {

using namespace Steinberg;

PluginModule::PluginModule(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) throw HostError("no VST3 module at " + path);
  std::string error;
  mModule = vst3host::Module::Load(path, &error);
  if (!mModule) throw HostError(error);
  readDescriptions();
}

PluginModule::~PluginModule() = default;

void PluginModule::readDescriptions() {
  PFactoryInfo factoryInfo{};
  IPluginFactory* factory = mModule->Factory();
  if (factory->getFactoryInfo(&factoryInfo) == kResultOk) {
    mFactoryDescription.vendor = fieldText(factoryInfo.vendor, PFactoryInfo::kNameSize);
    mFactoryDescription.url = fieldText(factoryInfo.url, PFactoryInfo::kURLSize);
    mFactoryDescription.email = fieldText(factoryInfo.email, PFactoryInfo::kEmailSize);
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
      description.name = fieldText(info2.name, PClassInfo::kNameSize);
      description.category = fieldText(info2.category, PClassInfo::kCategorySize);
      description.subCategories = fieldText(info2.subCategories, PClassInfo2::kSubCategoriesSize);
      description.vendor = fieldText(info2.vendor, PClassInfo2::kVendorSize);
      description.version = fieldText(info2.version, PClassInfo2::kVersionSize);
      description.sdkVersion = fieldText(info2.sdkVersion, PClassInfo2::kVersionSize);
      description.cardinality = info2.cardinality;
      description.classFlags = info2.classFlags;
      description.hasExtendedInfo = true;
    } else if (factory->getClassInfo(i, &info) == kResultOk) {
      std::memcpy(description.cid, info.cid, sizeof(TUID));
      description.name = fieldText(info.name, PClassInfo::kNameSize);
      description.category = fieldText(info.category, PClassInfo::kCategorySize);
      description.cardinality = info.cardinality;
    } else {
      continue;
    }
    mClasses.push_back(description);
  }
}

const ClassDescription& PluginModule::effectClass() const {
  for (const ClassDescription& description : mClasses)
    if (description.category == kVstAudioEffectClass) return description;
  throw HostError("module " + libraryPath() + " has no audio effect class");
}

}  // namespace velmora_host
