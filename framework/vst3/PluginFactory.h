#pragma once
// The module's class factory: factory information, a table of registered classes, and instance
// creation by class id. It serves the three factory interface versions; the UTF-16 class
// description is converted from the 8-bit one.

#include "pluginterfaces/base/ipluginbase.h"

#include <atomic>
#include <vector>

// Interfaces without virtual destructors are the SDK's design: objects die through release().
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class PluginFactory : public Steinberg::IPluginFactory3 {
public:
  using CreateFunction = Steinberg::FUnknown* (*)(void* context);

  // Starts with one reference, held by the caller. onLastRelease runs just before the factory
  // deletes itself (the module uses it to forget its process-wide pointer).
  PluginFactory(const Steinberg::PFactoryInfo& info, void (*onLastRelease)(PluginFactory*));

  bool RegisterClass(const Steinberg::PClassInfo2& info, CreateFunction create, void* context);

  // ---- FUnknown ----
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID queried, void** obj) SMTG_OVERRIDE;
  Steinberg::uint32 PLUGIN_API addRef() SMTG_OVERRIDE;
  Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE;

  // ---- IPluginFactory ----
  Steinberg::tresult PLUGIN_API getFactoryInfo(Steinberg::PFactoryInfo* info) SMTG_OVERRIDE;
  Steinberg::int32 PLUGIN_API countClasses() SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API getClassInfo(Steinberg::int32 index, Steinberg::PClassInfo* info) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API createInstance(Steinberg::FIDString cid, Steinberg::FIDString interfaceId,
                                               void** obj) SMTG_OVERRIDE;
  // ---- IPluginFactory2 ----
  Steinberg::tresult PLUGIN_API getClassInfo2(Steinberg::int32 index, Steinberg::PClassInfo2* info) SMTG_OVERRIDE;
  // ---- IPluginFactory3 ----
  Steinberg::tresult PLUGIN_API getClassInfoUnicode(Steinberg::int32 index, Steinberg::PClassInfoW* info) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API setHostContext(Steinberg::FUnknown* context) SMTG_OVERRIDE;

private:
  struct ClassEntry {
    Steinberg::PClassInfo2 info;
    CreateFunction create;
    void* context;
  };

  virtual ~PluginFactory() = default;
  const ClassEntry* Entry(Steinberg::int32 index) const;

  std::atomic<Steinberg::uint32> mRefCount{1};
  Steinberg::PFactoryInfo mFactoryInfo;
  std::vector<ClassEntry> mClasses;
  void (*mOnLastRelease)(PluginFactory*);
};
#pragma GCC diagnostic pop
