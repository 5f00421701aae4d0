#pragma once
// A VST3 module loaded from disk: the binary opened (dlopen, LoadLibrary), its entry export called
// (ModuleEntry, InitDll), and its class factory obtained. The destructor releases the factory,
// calls the exit export (ModuleExit, ExitDll) and unloads the binary, so every object created
// from the module must be gone by then.

#include "pluginterfaces/base/ipluginbase.h"

#include <memory>
#include <string>

namespace vst3host {

class Module {
public:
  // path (UTF-8): a bundle folder ("Name.vst3", whose binary is Contents/<arch>/Name.so, or
  // Contents\x86_64-win\Name.vst3 on Windows) or the binary itself. Answers null, with the
  // reason in *error, when anything fails.
  static std::unique_ptr<Module> Load(const std::string& path, std::string* error = nullptr);
  ~Module();
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  const std::string& BinaryPath() const { return mBinaryPath; }
  // The factory obtained at load; the module holds one reference on it.
  Steinberg::IPluginFactory* Factory() const { return mFactory; }
  // An exported symbol of the module, or null.
  void* Symbol(const char* name) const;
  // The class id of the first class of the category (e.g. "Audio Module Class"), or false.
  bool FindClass(const char* category, Steinberg::TUID cid) const;

private:
  Module() = default;

  std::string mBinaryPath;
  void* mHandle = nullptr;
  bool mEntered = false;
  Steinberg::IPluginFactory* mFactory = nullptr;
};

}  // namespace vst3host
