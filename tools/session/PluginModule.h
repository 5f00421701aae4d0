#pragma once
// A loaded VST3 module with what its factory says about itself, and instances of its effect.
// Loading and setting instances up are the hosting layer's (a bundle directory or the shared object
// itself); anything that is not a loadable VST3 module is answered with the reason.
#include "tools/session/SessionOptions.h"
#include "tools/vst3host/Instance.h"
#include "tools/vst3host/Module.h"

#include "pluginterfaces/base/ipluginbase.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace velmora_host {

// How the host names itself to the effects it loads.
constexpr const char* kHostName = "velmora-host";

struct ClassDescription {
  Steinberg::TUID cid{};
  std::string name, category, subCategories, vendor, version, sdkVersion;
  Steinberg::int32 cardinality = 0;
  Steinberg::uint32 classFlags = 0;
  bool hasExtendedInfo = false;  // sub-categories, vendor, versions and flags come from IPluginFactory2
};

struct FactoryDescription {
  std::string vendor, url, email;
  Steinberg::int32 flags = 0;
};

class PluginModule {
public:
  // Loads the module at options.path; null, with the reason in *error, when there is none or it
  // does not load.
  static std::unique_ptr<PluginModule> Open(const ModuleOptions& options, std::string* error);
  ~PluginModule();
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  const std::string& LibraryPath() const { return mModule->BinaryPath(); }
  Steinberg::IPluginFactory* Factory() const { return mModule->Factory(); }
  const FactoryDescription& FactoryInfo() const { return mFactoryDescription; }
  const std::vector<ClassDescription>& Classes() const { return mClasses; }

  // The first class of category "Audio Module Class"; null, with the reason, if there is none.
  const ClassDescription* EffectClass(std::string* error) const;
  // A new instance of EffectClass(), set up with this host's context and component handler (a
  // recording one unless another is given); null, with the reason, when it cannot be. With tracing on,
  // the context offers the effect a trace sink whose reports go to stderr. Any thread may ask;
  // instances are created one at a time, as a host creates them on its one main thread.
  std::unique_ptr<vst3host::Instance> CreateEffect(Steinberg::Vst::IComponentHandler* handler,
                                                   std::string* error) const;

private:
  PluginModule(std::unique_ptr<vst3host::Module> module, bool trace);
  void ReadDescriptions();

  std::unique_ptr<vst3host::Module> mModule;
  mutable std::mutex mCreation;
  bool mTrace = false;
  FactoryDescription mFactoryDescription;
  std::vector<ClassDescription> mClasses;
};

}  // namespace velmora_host
