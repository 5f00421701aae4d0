#pragma once
// A loaded VST3 module: the shared object, its entry and exit calls, and its class factory.
// Accepts a bundle directory (Name.vst3/Contents/x86_64-linux/Name.so is used) or the shared
// object itself. Anything that is not a loadable VST3 module ends in a HostError.
#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/base/smartpointer.h"

#include <string>
#include <vector>

namespace velmora_host {

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
  explicit PluginModule(const std::string& path);
  ~PluginModule();
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  const std::string& libraryPath() const { return mLibraryPath; }
  Steinberg::IPluginFactory* factory() const { return mFactory; }
  const FactoryDescription& factoryDescription() const { return mFactoryDescription; }
  const std::vector<ClassDescription>& classes() const { return mClasses; }

  // The first class of category "Audio Module Class"; throws HostError if there is none.
  const ClassDescription& effectClass() const;

private:
  void readDescriptions();

  std::string mLibraryPath;
  void* mHandle = nullptr;
  bool mEntered = false;
  Steinberg::IPtr<Steinberg::IPluginFactory> mFactory;
  FactoryDescription mFactoryDescription;
  std::vector<ClassDescription> mClasses;
};

}  // namespace velmora_host
