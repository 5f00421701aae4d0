#include "tools/vst3host/ModuleLibrary.h"

#include <dlfcn.h>
#include <sys/stat.h>

namespace vst3host {

namespace {
using ModuleEntryFunc = bool (*)(void*);
using ModuleExitFunc = bool (*)();
}  // namespace

const char* const kModuleEntryName = "ModuleEntry";
const char* const kModuleExitName = "ModuleExit";
const char* const kPathSeparators = "/";
const char* const kBundleBinaryExtension = ".so";

bool PathExists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void* OpenModuleLibrary(const std::string& path, std::string* error) {
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library && error) {
    const char* why = dlerror();
    *error = why ? why : "unknown error";
  }
  return library;
}

void* ModuleLibrarySymbol(void* library, const char* name) { return library ? dlsym(library, name) : nullptr; }

void CloseModuleLibrary(void* library) {
  if (library) dlclose(library);
}

bool EnterModule(void* library) {
  auto entry = reinterpret_cast<ModuleEntryFunc>(ModuleLibrarySymbol(library, kModuleEntryName));
  return entry && entry(library);
}

void ExitModule(void* library) {
  if (auto exitFunc = reinterpret_cast<ModuleExitFunc>(ModuleLibrarySymbol(library, kModuleExitName))) exitFunc();
}

}  // namespace vst3host
