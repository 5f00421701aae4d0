#include "tools/vst3host/ModuleLibrary.h"

#include "base/platform/win32/WideText.h"

#include "pluginterfaces/base/fplatform.h"

#include <windows.h>

namespace vst3host {

namespace {
using InitDllFunc = bool(PLUGIN_API*)();
using ExitDllFunc = bool(PLUGIN_API*)();

DWORD Attributes(const std::string& path) {
  const std::wstring wide = velmora_base::WideFromUtf8(path);
  return wide.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(wide.c_str());
}
}  // namespace

const char* const kModuleEntryName = "InitDll";
const char* const kModuleExitName = "ExitDll";
const char* const kPathSeparators = "\\/";
const char* const kBundleBinaryExtension = ".vst3";

bool PathExists(const std::string& path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }

bool IsDirectory(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void* OpenModuleLibrary(const std::string& path, std::string* error) {
  const std::wstring wide = velmora_base::WideFromUtf8(path);
  if (wide.empty()) {
    if (error) *error = "the path is not valid UTF-8";
    return nullptr;
  }
  // A module that cannot be loaded must not make Windows show a dialog box.
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  // The module's own folder is searched for the DLLs it depends on.
  HMODULE library = LoadLibraryExW(wide.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  const DWORD code = GetLastError();
  SetErrorMode(oldMode);
  if (!library && error) *error = velmora_base::SystemErrorText(code);
  return library;
}

void* ModuleLibrarySymbol(void* library, const char* name) {
  return library ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name)) : nullptr;
}

void CloseModuleLibrary(void* library) {
  if (library) FreeLibrary(static_cast<HMODULE>(library));
}

bool EnterModule(void* library) {
  auto entry = reinterpret_cast<InitDllFunc>(ModuleLibrarySymbol(library, kModuleEntryName));
  return entry && entry();
}

void ExitModule(void* library) {
  if (auto exitFunc = reinterpret_cast<ExitDllFunc>(ModuleLibrarySymbol(library, kModuleExitName))) exitFunc();
}

}  // namespace vst3host
