#include "tools/vst3host/Module.h"

#include "tools/vst3host/ModuleLibrary.h"

#include <cstring>

using namespace Steinberg;

namespace vst3host {

namespace {
using GetFactoryFunc = IPluginFactory*(PLUGIN_API*)();

void SetError(std::string* error, const std::string& text) {
  if (error) *error = text;
}
}  // namespace

std::string BundleBinary(const std::string& bundleDir) {
  std::string dir = bundleDir;
  while (dir.size() > 1 && std::strchr(kPathSeparators, dir.back())) dir.pop_back();
  const size_t slash = dir.find_last_of(kPathSeparators);
  std::string name = slash == std::string::npos ? dir : dir.substr(slash + 1);
  const size_t dot = name.rfind(".vst3");
  if (dot != std::string::npos) name.resize(dot);
  const std::string sep(1, kPathSeparators[0]);
  return dir + sep + "Contents" + sep + VELMORA_VST3_ARCH + sep + name + kBundleBinaryExtension;
}

std::unique_ptr<Module> Module::Load(const std::string& path, std::string* error) {
  std::unique_ptr<Module> module(new Module());
  module->mBinaryPath = IsDirectory(path) ? BundleBinary(path) : path;

  std::string why;
  module->mHandle = OpenModuleLibrary(module->mBinaryPath, &why);
  if (!module->mHandle) {
    SetError(error, "cannot open " + module->mBinaryPath + ": " + why);
    return nullptr;
  }

  auto getFactory = reinterpret_cast<GetFactoryFunc>(module->Symbol("GetPluginFactory"));
  if (!module->Symbol(kModuleEntryName) || !getFactory || !module->Symbol(kModuleExitName)) {
    SetError(error, module->mBinaryPath + " does not export " + kModuleEntryName + ", " + kModuleExitName +
                        " and GetPluginFactory");
    return nullptr;
  }
  if (!EnterModule(module->mHandle)) {
    SetError(error, module->mBinaryPath + ": " + kModuleEntryName + " failed");
    return nullptr;
  }
  module->mEntered = true;

  module->mFactory = getFactory();
  if (!module->mFactory) {
    SetError(error, module->mBinaryPath + ": GetPluginFactory returned no factory");
    return nullptr;
  }
  return module;
}

Module::~Module() {
  if (mFactory) mFactory->release();
  if (mEntered) ExitModule(mHandle);
  CloseModuleLibrary(mHandle);
}

void* Module::Symbol(const char* name) const { return ModuleLibrarySymbol(mHandle, name); }

bool Module::FindClass(const char* category, TUID cid) const {
  if (!mFactory) return false;
  for (int32 i = 0, n = mFactory->countClasses(); i < n; ++i) {
    PClassInfo info;
    if (mFactory->getClassInfo(i, &info) != kResultOk) continue;
    if (std::strncmp(info.category, category, PClassInfo::kCategorySize) == 0) {
      std::memcpy(cid, info.cid, sizeof(TUID));
      return true;
    }
  }
  return false;
}

}  // namespace vst3host
