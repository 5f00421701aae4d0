// The Windows module entry: the DLL's process-attach handler records the module instance handle,
// and InitDll, which a VST3 host calls before GetPluginFactory, makes it the framework's instance
// handle, through which the editor's images are found in the module's resources. ExitDll, called
// before unloading, has nothing to undo.

#include "framework/ModuleInstance.h"

#include "pluginterfaces/base/fplatform.h"

#include <windows.h>

namespace {
// Set before any export can be called.
HINSTANCE gDllInstance = nullptr;
}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) gDllInstance = instance;
  return TRUE;
}

extern "C" SMTG_EXPORT_SYMBOL bool PLUGIN_API InitDll() {
  SetModuleInstance(gDllInstance);
  return true;
}

extern "C" SMTG_EXPORT_SYMBOL bool PLUGIN_API ExitDll() { return true; }
