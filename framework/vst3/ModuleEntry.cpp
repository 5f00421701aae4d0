// The module's class factory and GetPluginFactory, the entry point every platform exports. The
// platform's own entry points (ModuleEntry and ModuleExit on Linux, InitDll and ExitDll on
// Windows) live in platform/<name>/; the build picks one (cmake/Platform.cmake) and hides
// everything else in the module.

#include "framework/vst3/ClassId.h"
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

// Bounded copy: at most width bytes, the rest zero.
void CopyField(char8* dst, const char* src, size_t width) {
  size_t n = 0;
  for (; src && n < width && src[n]; ++n) dst[n] = src[n];
  for (; n < width; ++n) dst[n] = 0;
}

void FillFactoryInfo() {
  const EffectClassInfo& effect = GetEffectClassInfo();
  gFactoryInfo = PFactoryInfo();
  CopyField(gFactoryInfo.vendor, effect.identity.maker, PFactoryInfo::kNameSize);
  CopyField(gFactoryInfo.url, effect.url, PFactoryInfo::kURLSize);
  CopyField(gFactoryInfo.email, effect.email, PFactoryInfo::kEmailSize);
  gFactoryInfo.flags = PFactoryInfo::kUnicode;
}

void FillClassInfo() {
  const EffectClassInfo& effect = GetEffectClassInfo();
  gClassInfo = PClassInfo2();
  const auto cid = EffectClassId(effect.identity.makerCode, effect.identity.pluginCode);
  std::memcpy(gClassInfo.cid, cid.data(), cid.size());
  gClassInfo.cardinality = PClassInfo::kManyInstances;
  CopyField(gClassInfo.category, kCategory, PClassInfo::kCategorySize);
  CopyField(gClassInfo.name, effect.identity.name, PClassInfo::kNameSize);
  gClassInfo.classFlags = Vst::kSimpleModeSupported;
  CopyField(gClassInfo.subCategories, effect.subCategories, PClassInfo2::kSubCategoriesSize);
  CopyField(gClassInfo.vendor, "", PClassInfo2::kVendorSize);
  CopyField(gClassInfo.version, effect.identity.versionText, PClassInfo2::kVersionSize);
  CopyField(gClassInfo.sdkVersion, kSdkVersion, PClassInfo2::kVersionSize);
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
