#pragma once
// Reference counting and interface lookup for the objects a host hands to a plug-in.
// RefCounted<IA, IB, ...> answers queries for FUnknown and each listed interface, starts with
// one reference (the creator's) and deletes itself on the last release.

#include "pluginterfaces/base/funknown.h"

#include <atomic>

// Interfaces have no virtual destructors by design: objects die through release().
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

namespace vst3host {

template <typename First, typename... Rest>
class RefCounted : public First, public Rest... {
public:
  RefCounted() = default;
  RefCounted(const RefCounted&) = delete;
  RefCounted& operator=(const RefCounted&) = delete;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID queried, void** obj) override {
    if (!obj) return Steinberg::kInvalidArgument;
    if (Steinberg::FUnknownPrivate::iidEqual(queried, Steinberg::FUnknown::iid)) {
      *obj = static_cast<First*>(this);
    } else if (!Find<First, Rest...>(queried, obj)) {
      *obj = nullptr;
      return Steinberg::kNoInterface;
    }
    addRef();
    return Steinberg::kResultOk;
  }
  Steinberg::uint32 PLUGIN_API addRef() override { return ++mRefs; }
  Steinberg::uint32 PLUGIN_API release() override {
    const Steinberg::uint32 left = --mRefs;
    if (left == 0) delete this;
    return left;
  }
  Steinberg::uint32 RefCount() const { return mRefs.load(); }

protected:
  virtual ~RefCounted() = default;

private:
  template <typename I, typename... More>
  bool Find(const Steinberg::TUID queried, void** obj) {
    if (Steinberg::FUnknownPrivate::iidEqual(queried, I::iid)) {
      *obj = static_cast<I*>(this);
      return true;
    }
    if constexpr (sizeof...(More) > 0) return Find<More...>(queried, obj);
    return false;
  }

  std::atomic<Steinberg::uint32> mRefs{1};
};

}  // namespace vst3host

#pragma GCC diagnostic pop
