#pragma once
// A VST3 module loaded from disk: the shared object opened with dlopen, its ModuleEntry called,
// and its class factory obtained. The destructor releases the factory, calls ModuleExit and
// closes the shared object, so every object created from the module must be gone by then.

#include "pluginterfaces/base/ipluginbase.h"

#include <memory>
#include <string>

namespace vst3host {

class Module {
public:
  // path: a bundle folder ("Name.vst3", whose binary is Contents/<arch>/Name.so) or the shared
  // object itself. Answers null, with the reason in *error, when anything fails.
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

  // The binary inside a bundle folder for this machine ("x86_64-linux" on 64-bit PCs).
  static std::string BundleBinary(const std::string& bundleDir);

private:
  Module() = default;

  std::string mBinaryPath;
  void* mHandle = nullptr;
  bool mEntered = false;
  Steinberg::IPluginFactory* mFactory = nullptr;
};

}  // namespace vst3host
