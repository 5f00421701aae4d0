#pragma once
// Input events of one block (notes for instruments and MIDI effects), with storage reserved at
// construction so reading them during process allocates nothing.

#include "tools/vst3host/RefCounted.h"

#include "pluginterfaces/vst/ivstevents.h"

#include <vector>

namespace vst3host {

class EventList : public RefCounted<Steinberg::Vst::IEventList> {
public:
  explicit EventList(int capacity = 128) { mEvents.reserve(static_cast<size_t>(capacity > 0 ? capacity : 1)); }

  Steinberg::int32 PLUGIN_API getEventCount() override { return static_cast<Steinberg::int32>(mEvents.size()); }
  Steinberg::tresult PLUGIN_API getEvent(Steinberg::int32 index, Steinberg::Vst::Event& e) override {
    if (index < 0 || index >= getEventCount()) return Steinberg::kInvalidArgument;
    e = mEvents[static_cast<size_t>(index)];
    return Steinberg::kResultOk;
  }
  // kResultFalse once the reserved capacity is used up.
  Steinberg::tresult PLUGIN_API addEvent(Steinberg::Vst::Event& e) override {
    if (mEvents.size() >= mEvents.capacity()) return Steinberg::kResultFalse;
    mEvents.push_back(e);
    return Steinberg::kResultOk;
  }
  void Clear() { mEvents.clear(); }

private:
  std::vector<Steinberg::Vst::Event> mEvents;
};

}  // namespace vst3host
