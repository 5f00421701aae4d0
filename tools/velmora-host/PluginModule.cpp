#include "tools/velmora-host/PluginModule.h"

#include "tools/velmora-host/HostError.h"
#include "tools/velmora-host/Utf16Text.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstring>

namespace velmora_host {

using namespace Steinberg;

namespace {

bool isDirectory(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool exists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

// Name.vst3 -> Name.vst3/Contents/x86_64-linux/Name.so, the layout of a Linux VST3 bundle.
std::string resolveLibrary(const std::string& path) {
  if (!exists(path)) throw HostError("no VST3 module at " + path);
  if (!isDirectory(path)) return path;
  std::string bundle = path;
  while (bundle.size() > 1 && bundle.back() == '/') bundle.pop_back();
  std::string name = bundle.substr(bundle.rfind('/') + 1);
  if (name.size() > 5 && name.compare(name.size() - 5, 5, ".vst3") == 0) name.resize(name.size() - 5);
  const std::string library = bundle + "/Contents/x86_64-linux/" + name + ".so";
  if (!exists(library)) throw HostError(path + " is not a VST3 bundle (no " + library + ")");
  return library;
}

using GetFactoryProc = IPluginFactory* (*)();
using ModuleEntryProc = bool (*)(void*);
using ModuleExitProc = bool (*)();

}  // namespace

PluginModule::PluginModule(const std::string& path) : mLibraryPath(resolveLibrary(path)) {
  // RTLD_LOCAL keeps the module's symbols (it carries its own copy of the SDK) out of ours.
  mHandle = dlopen(mLibraryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!mHandle) {
    const char* reason = dlerror();
    throw HostError("cannot load module " + mLibraryPath + ": " + (reason ? reason : "unknown error"));
  }
  try {
    auto getFactory = reinterpret_cast<GetFactoryProc>(dlsym(mHandle, "GetPluginFactory"));
    if (!getFactory) throw HostError(mLibraryPath + " is not a VST3 module (it exports no GetPluginFactory)");
    if (auto entry = reinterpret_cast<ModuleEntryProc>(dlsym(mHandle, "ModuleEntry"))) {
      if (!entry(mHandle)) throw HostError("module " + mLibraryPath + " refused to start (ModuleEntry failed)");
      mEntered = true;
    }
    mFactory = owned(getFactory());
    if (!mFactory) throw HostError("module " + mLibraryPath + " returned no class factory");
    readDescriptions();
  } catch (...) {
    mFactory = nullptr;
    if (mEntered)
      if (auto exitProc = reinterpret_cast<ModuleExitProc>(dlsym(mHandle, "ModuleExit"))) exitProc();
    dlclose(mHandle);
    throw;
  }
}

PluginModule::~PluginModule() {
  mClasses.clear();
  mFactory = nullptr;
  if (mEntered)
    if (auto exitProc = reinterpret_cast<ModuleExitProc>(dlsym(mHandle, "ModuleExit"))) exitProc();
  dlclose(mHandle);
}

void PluginModule::readDescriptions() {
  PFactoryInfo factoryInfo{};
  if (mFactory->getFactoryInfo(&factoryInfo) == kResultOk) {
    mFactoryDescription.vendor = fieldText(factoryInfo.vendor, PFactoryInfo::kNameSize);
    mFactoryDescription.url = fieldText(factoryInfo.url, PFactoryInfo::kURLSize);
    mFactoryDescription.email = fieldText(factoryInfo.email, PFactoryInfo::kEmailSize);
    mFactoryDescription.flags = factoryInfo.flags;
  }
  FUnknownPtr<IPluginFactory2> factory2(mFactory);
  const int32 count = mFactory->countClasses();
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
    } else if (mFactory->getClassInfo(i, &info) == kResultOk) {
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
  throw HostError("module " + mLibraryPath + " has no audio effect class");
}

}  // namespace velmora_host
