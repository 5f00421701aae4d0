#pragma once
// The platform half of loading a VST3 module: where the binary sits in a bundle, opening it,
// finding its exports, and the entry and exit calls the module contract names for the platform
// (ModuleEntry / ModuleExit on Linux, InitDll / ExitDll on Windows). Paths are UTF-8.

#include <string>

namespace vst3host {

// The entry and exit exports a module of this platform must have.
extern const char* const kModuleEntryName;
extern const char* const kModuleExitName;
// The characters that separate folders in a path (the first one is the one to write), and the
// extension of a bundle's binary: "/" and ".so" on Linux, "\\/" and ".vst3" on Windows.
extern const char* const kPathSeparators;
extern const char* const kBundleBinaryExtension;

bool PathExists(const std::string& path);
bool IsDirectory(const std::string& path);
// The binary inside a bundle folder for this machine, e.g. "X.vst3/Contents/x86_64-linux/X.so"
// or "X.vst3\Contents\x86_64-win\X.vst3".
std::string BundleBinary(const std::string& bundleDir);

// Null, with the reason in *error, when the binary cannot be loaded.
void* OpenModuleLibrary(const std::string& path, std::string* error);
void* ModuleLibrarySymbol(void* library, const char* name);
void CloseModuleLibrary(void* library);

// Calls the entry export (which must exist); its answer.
bool EnterModule(void* library);
// Calls the exit export, if there is one.
void ExitModule(void* library);

}  // namespace vst3host
