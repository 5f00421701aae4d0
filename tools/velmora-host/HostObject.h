#pragma once
// Reference counting and interface lookup for the objects this host hands to a plug-in.
// HostObject<IA, IB> answers queries for FUnknown, IA and IB and deletes itself on the last
// release, which is the contract every VST3 interface pointer carries.
#include "pluginterfaces/base/funknown.h"

#include <atomic>

namespace velmora_host {

// VST3 interfaces are COM-style: no virtual destructor, lifetime ends through release(). The
// object is only ever deleted here, through its own virtual destructor, so the warning about the
// interfaces' destructors does not apply.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
template <typename First, typename... Rest>
class HostObject : public First, public Rest... {
public:
  HostObject() = default;
  HostObject(const HostObject&) = delete;
  HostObject& operator=(const HostObject&) = delete;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID queried, void** obj) override {
    if (Steinberg::FUnknownPrivate::iidEqual(queried, Steinberg::FUnknown::iid)) {
      *obj = static_cast<First*>(this);
    } else if (!findInterface<First, Rest...>(queried, obj)) {
      *obj = nullptr;
      return Steinberg::kNoInterface;
    }
    addRef();
    return Steinberg::kResultOk;
  }
  Steinberg::uint32 PLUGIN_API addRef() override { return ++mReferences; }
  Steinberg::uint32 PLUGIN_API release() override {
    const Steinberg::uint32 left = --mReferences;
    if (left == 0) delete this;
    return left;
  }

protected:
  virtual ~HostObject() = default;

private:
  template <typename I, typename... More>
  bool findInterface(const Steinberg::TUID queried, void** obj) {
    if (Steinberg::FUnknownPrivate::iidEqual(queried, I::iid)) {
      *obj = static_cast<I*>(this);
      return true;
    }
    if constexpr (sizeof...(More) > 0) return findInterface<More...>(queried, obj);
    return false;
  }

  std::atomic<Steinberg::uint32> mReferences{1};
};
#pragma GCC diagnostic pop

}  // namespace velmora_host
