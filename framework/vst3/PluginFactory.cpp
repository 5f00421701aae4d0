#include "framework/vst3/PluginFactory.h"

#include "framework/vst3/HostText.h"

#include <cstring>

using namespace Steinberg;

PluginFactory::PluginFactory(const PFactoryInfo& info, void (*onLastRelease)(PluginFactory*))
    : mFactoryInfo(info), mOnLastRelease(onLastRelease) {}

bool PluginFactory::RegisterClass(const PClassInfo2& info, CreateFunction create, void* context) {
  if (!create) return false;
  mClasses.push_back(ClassEntry{info, create, context});
  return true;
}

tresult PLUGIN_API PluginFactory::queryInterface(const TUID queried, void** obj) {
  if (!obj) return kInvalidArgument;
  if (FUnknownPrivate::iidEqual(queried, FUnknown::iid) || FUnknownPrivate::iidEqual(queried, IPluginFactory::iid) ||
      FUnknownPrivate::iidEqual(queried, IPluginFactory2::iid) ||
      FUnknownPrivate::iidEqual(queried, IPluginFactory3::iid)) {
    addRef();
    *obj = static_cast<IPluginFactory3*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

uint32 PLUGIN_API PluginFactory::addRef() { return ++mRefCount; }

uint32 PLUGIN_API PluginFactory::release() {
  const uint32 left = --mRefCount;
  if (left == 0) {
    if (mOnLastRelease) mOnLastRelease(this);
    delete this;
  }
  return left;
}

const PluginFactory::ClassEntry* PluginFactory::Entry(int32 index) const {
  if (index < 0 || index >= static_cast<int32>(mClasses.size())) return nullptr;
  return &mClasses[static_cast<size_t>(index)];
}

tresult PLUGIN_API PluginFactory::getFactoryInfo(PFactoryInfo* info) {
  if (!info) return kInvalidArgument;
  *info = mFactoryInfo;
  return kResultOk;
}

int32 PLUGIN_API PluginFactory::countClasses() { return static_cast<int32>(mClasses.size()); }

tresult PLUGIN_API PluginFactory::getClassInfo(int32 index, PClassInfo* info) {
  const ClassEntry* entry = Entry(index);
  if (!entry || !info) return kInvalidArgument;
  *info = PClassInfo(entry->info.cid, entry->info.cardinality, entry->info.category, entry->info.name);
  return kResultOk;
}

tresult PLUGIN_API PluginFactory::getClassInfo2(int32 index, PClassInfo2* info) {
  const ClassEntry* entry = Entry(index);
  if (!entry || !info) return kInvalidArgument;
  *info = entry->info;
  return kResultOk;
}

tresult PLUGIN_API PluginFactory::getClassInfoUnicode(int32 index, PClassInfoW* info) {
  const ClassEntry* entry = Entry(index);
  if (!entry || !info) return kInvalidArgument;
  // Not the SDK's own conversion: it sign-extends 8-bit characters and writes one unit past a
  // field whose text fills it. The texts are ASCII; each field stays terminated and zero-padded.
  const PClassInfo2& src = entry->info;
  *info = PClassInfoW();
  std::memcpy(info->cid, src.cid, sizeof(TUID));
  info->cardinality = src.cardinality;
  strncpy8(info->category, src.category, PClassInfo::kCategorySize);
  WidenText(info->name, src.name, PClassInfo::kNameSize - 1);
  info->classFlags = src.classFlags;
  strncpy8(info->subCategories, src.subCategories, PClassInfoW::kSubCategoriesSize);
  WidenText(info->vendor, src.vendor, PClassInfoW::kVendorSize - 1);
  WidenText(info->version, src.version, PClassInfoW::kVersionSize - 1);
  WidenText(info->sdkVersion, src.sdkVersion, PClassInfoW::kVersionSize - 1);
  return kResultOk;
}

tresult PLUGIN_API PluginFactory::createInstance(FIDString cid, FIDString interfaceId, void** obj) {
  if (!obj) return kInvalidArgument;
  *obj = nullptr;
  if (!cid || !interfaceId) return kInvalidArgument;
  for (const ClassEntry& entry : mClasses) {
    if (std::memcmp(entry.info.cid, cid, sizeof(TUID)) != 0) continue;
    FUnknown* instance = entry.create(entry.context);
    if (!instance) return kNoInterface;
    TUID wanted;
    std::memcpy(wanted, interfaceId, sizeof(TUID));
    const tresult result = instance->queryInterface(wanted, obj);
    if (result != kResultOk) *obj = nullptr;
    // The host keeps the reference its query added; the creation reference goes.
    instance->release();
    return result;
  }
  return kNoInterface;
}

tresult PLUGIN_API PluginFactory::setHostContext(FUnknown* /*context*/) { return kNotImplemented; }
