// The Linux module entry points a VST3 host calls around GetPluginFactory: ModuleEntry after
// loading the shared object, ModuleExit before unloading it. Nothing in the module needs the
// handle (resources are compiled in), so it is only kept for the module's lifetime.

#include "pluginterfaces/base/fplatform.h"

namespace {
void* gModuleHandle = nullptr;
}

extern "C" SMTG_EXPORT_SYMBOL bool ModuleEntry(void* sharedLibraryHandle) {
  gModuleHandle = sharedLibraryHandle;
  return true;
}

extern "C" SMTG_EXPORT_SYMBOL bool ModuleExit() {
  gModuleHandle = nullptr;
  return true;
}
