// The module's class factory and GetPluginFactory, the entry point every platform exports. The
// platform's own entry points (ModuleEntry and ModuleExit on Linux, InitDll and ExitDll on
// Windows) live in platform/<name>/; the build picks one (cmake/Platform.cmake) and hides
// everything else in the module.

#include "framework/vst3/EffectClassInfo.h"
#include "framework/vst3/IPlugVST3.h"
#include "framework/vst3/PluginFactory.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

#include <cstring>
#include <mutex>

using namespace Steinberg;

namespace {
// Class identifier: eight fixed bytes, then the maker code and the plug-in code, each as four
// characters in reading order.
const uint8_t kClassIdPrefix[8] = {0x0D, 0xE7, 0xAE, 0xF2, 0xDE, 0x00, 0x4E, 0x4F};
constexpr const char* kCategory = "Audio Module Class";
constexpr const char* kSdkVersion = "VST 3.6.12";

PluginFactory* gFactory = nullptr;
std::mutex gFactoryMutex;  // guards the first creation of the factory against concurrent callers

PFactoryInfo gFactoryInfo;
PClassInfo2 gClassInfo;
std::once_flag gFactoryInfoOnce;
std::once_flag gClassInfoOnce;

void PutCode(uint8_t* dst, int32_t code) {
  const uint32_t c = static_cast<uint32_t>(code);
  dst[0] = static_cast<uint8_t>(c >> 24);
  dst[1] = static_cast<uint8_t>(c >> 16);
  dst[2] = static_cast<uint8_t>(c >> 8);
  dst[3] = static_cast<uint8_t>(c);
}

// Bounded copy: at most width bytes, the rest zero.
void CopyField(char8* dst, const char* src, size_t width) {
  size_t n = 0;
  for (; src && n < width && src[n]; ++n) dst[n] = src[n];
  for (; n < width; ++n) dst[n] = 0;
}

void FillFactoryInfo() {
  const EffectClassInfo& effect = GetEffectClassInfo();
  gFactoryInfo = PFactoryInfo();
  CopyField(gFactoryInfo.vendor, effect.vendor, PFactoryInfo::kNameSize);
  CopyField(gFactoryInfo.url, effect.url, PFactoryInfo::kURLSize);
  CopyField(gFactoryInfo.email, effect.email, PFactoryInfo::kEmailSize);
  gFactoryInfo.flags = PFactoryInfo::kUnicode;
}

void FillClassInfo() {
  const EffectClassInfo& effect = GetEffectClassInfo();
  gClassInfo = PClassInfo2();
  uint8_t cid[16];
  std::memcpy(cid, kClassIdPrefix, sizeof(kClassIdPrefix));
  PutCode(cid + 8, effect.mfrID);
  PutCode(cid + 12, effect.uniqueID);
  std::memcpy(gClassInfo.cid, cid, sizeof(cid));
  gClassInfo.cardinality = PClassInfo::kManyInstances;
  CopyField(gClassInfo.category, kCategory, PClassInfo::kCategorySize);
  CopyField(gClassInfo.name, effect.name, PClassInfo::kNameSize);
  gClassInfo.classFlags = Vst::kSimpleModeSupported;
  CopyField(gClassInfo.subCategories, effect.subCategories, PClassInfo2::kSubCategoriesSize);
  CopyField(gClassInfo.vendor, "", PClassInfo2::kVendorSize);
  CopyField(gClassInfo.version, effect.version, PClassInfo2::kVersionSize);
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
