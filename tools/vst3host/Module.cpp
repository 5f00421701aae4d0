#include "tools/vst3host/Module.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstring>

using namespace Steinberg;

namespace vst3host {

namespace {
using ModuleEntryFunc = bool (*)(void*);
using ModuleExitFunc = bool (*)();
using GetFactoryFunc = IPluginFactory* (*)();

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void SetError(std::string* error, const std::string& text) {
  if (error) *error = text;
}
}  // namespace

std::string Module::BundleBinary(const std::string& bundleDir) {
  std::string dir = bundleDir;
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  const size_t slash = dir.find_last_of('/');
  std::string name = slash == std::string::npos ? dir : dir.substr(slash + 1);
  const size_t dot = name.rfind(".vst3");
  if (dot != std::string::npos) name.resize(dot);
  return dir + "/Contents/" VELMORA_VST3_ARCH "/" + name + ".so";
}

std::unique_ptr<Module> Module::Load(const std::string& path, std::string* error) {
  std::unique_ptr<Module> module(new Module());
  module->mBinaryPath = IsDirectory(path) ? BundleBinary(path) : path;

  module->mHandle = dlopen(module->mBinaryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module->mHandle) {
    const char* why = dlerror();
    SetError(error, std::string("cannot open ") + module->mBinaryPath + ": " + (why ? why : "unknown error"));
    return nullptr;
  }

  auto entry = reinterpret_cast<ModuleEntryFunc>(module->Symbol("ModuleEntry"));
  auto getFactory = reinterpret_cast<GetFactoryFunc>(module->Symbol("GetPluginFactory"));
  if (!entry || !getFactory || !module->Symbol("ModuleExit")) {
    SetError(error, module->mBinaryPath + " does not export ModuleEntry, ModuleExit and GetPluginFactory");
    return nullptr;
  }
  if (!entry(module->mHandle)) {
    SetError(error, module->mBinaryPath + ": ModuleEntry failed");
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
  if (mEntered) {
    if (auto exitFunc = reinterpret_cast<ModuleExitFunc>(Symbol("ModuleExit"))) exitFunc();
  }
  if (mHandle) dlclose(mHandle);
}

void* Module::Symbol(const char* name) const { return mHandle ? dlsym(mHandle, name) : nullptr; }

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
