// The module's class factory and GetPluginFactory, the entry point every platform exports. The
// platform's own entry points (ModuleEntry and ModuleExit on Linux, InitDll and ExitDll on
// Windows) live in platform/<name>/; the build picks one (cmake/Platform.cmake) and hides
// everything else in the module.

#include "base/ClassId.h"
#include "framework/vst3/EffectClassInfo.h"
#include "framework/vst3/IPlugVST3.h"
#include "framework/vst3/PluginFactory.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

#include <cstring>
#include <mutex>

using namespace Steinberg;

namespace {
constexpr const char* kCategory = "Audio Module Class";
constexpr const char* kSdkVersion = "VST 3.6.12";

PluginFactory* gFactory = nullptr;
std::mutex gFactoryMutex;  // guards the first creation of the factory against concurrent callers

PFactoryInfo gFactoryInfo;
PClassInfo2 gClassInfo;
std::once_flag gFactoryInfoOnce;
std::once_flag gClassInfoOnce;

// The SDK's records copy each text bounded by its field and zero-fill the rest.
void FillFactoryInfo() {
  const EffectClassInfo& effect = GetEffectClassInfo();
  gFactoryInfo = PFactoryInfo(effect.identity.maker, effect.url, effect.email, PFactoryInfo::kUnicode);
}

void FillClassInfo() {
  const EffectClassInfo& effect = GetEffectClassInfo();
  const auto cid = EffectClassId(effect.identity.makerCode, effect.identity.pluginCode);
  gClassInfo = PClassInfo2(reinterpret_cast<const char*>(cid.data()), PClassInfo::kManyInstances, kCategory,
                           effect.identity.name, Vst::kSimpleModeSupported, effect.subCategories, "",
                           effect.identity.versionText, kSdkVersion);
}

// Instances are constructed one at a time, whichever host thread asks.
std::mutex& CreationLock() {
  static std::mutex lock;
  return lock;
}

FUnknown* CreateEffect(void* /*context*/) {
  IPlugVST3* plugin = nullptr;
  {
    std::lock_guard<std::mutex> guard(CreationLock());
    plugin = GetEffectClassInfo().create();
  }
  if (!plugin) return nullptr;
  // Set per module at build time (velmora_add_vst3_bundle): only test modules end on a breach.
  if (VELMORA_FATAL_HOST_BREACHES) IPlugVST3::SetHostBreachesFatal(true);
  return static_cast<Vst::IAudioProcessor*>(plugin);
}

void ForgetFactory(PluginFactory* factory) {
  std::lock_guard<std::mutex> guard(gFactoryMutex);
  if (gFactory == factory) gFactory = nullptr;
}
}  // namespace

extern "C" SMTG_EXPORT_SYMBOL IPluginFactory* PLUGIN_API GetPluginFactory() {
  std::lock_guard<std::mutex> guard(gFactoryMutex);
  if (gFactory) {
    gFactory->addRef();
    return gFactory;
  }
  std::call_once(gFactoryInfoOnce, FillFactoryInfo);
  gFactory = new PluginFactory(gFactoryInfo, ForgetFactory);
  std::call_once(gClassInfoOnce, FillClassInfo);
  gFactory->RegisterClass(gClassInfo, CreateEffect, nullptr);
  return gFactory;
}
