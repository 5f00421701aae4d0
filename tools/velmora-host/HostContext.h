#pragma once
// The host-side objects a plug-in talks to: the application context handed to initialize (it
// names the host, which Velmora uses to identify it, and creates messages for plug-ins whose
// controller is a separate object), the component handler that receives edit notifications,
// an empty event list for effects with an event input, and per-block parameter changes.
#include "tools/velmora-host/HostObject.h"

#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/ivsthostapplication.h"

#include <vector>

namespace velmora_host {

constexpr const char* kHostName = "velmora-host";

// Written here rather than taken from the SDK's example host class, whose reference count is
// fixed at one (it is meant to live on the stack) and so never frees it when made with new.
class HostContext : public HostObject<Steinberg::Vst::IHostApplication> {
public:
  Steinberg::tresult PLUGIN_API getName(Steinberg::Vst::String128 name) override;
  // Messages and attribute lists, for effects whose component and controller talk to each other.
  Steinberg::tresult PLUGIN_API createInstance(Steinberg::TUID cid, Steinberg::TUID interfaceIid, void** obj) override;
};

// Nothing in an offline render reacts to edits; restart requests (latency, I/O changes) are read
// by the renderer directly from the processor when it prepares the next render.
class ComponentHandler : public HostObject<Steinberg::Vst::IComponentHandler> {
public:
  Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID) override { return Steinberg::kResultOk; }
  Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID, Steinberg::Vst::ParamValue) override {
    return Steinberg::kResultOk;
  }
  Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID) override { return Steinberg::kResultOk; }
  Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32) override { return Steinberg::kResultOk; }
};

class EmptyEventList : public HostObject<Steinberg::Vst::IEventList> {
public:
  Steinberg::int32 PLUGIN_API getEventCount() override { return 0; }
  Steinberg::tresult PLUGIN_API getEvent(Steinberg::int32, Steinberg::Vst::Event&) override {
    return Steinberg::kInvalidArgument;
  }
  Steinberg::tresult PLUGIN_API addEvent(Steinberg::Vst::Event&) override { return Steinberg::kResultOk; }
};

class ParamValueQueue : public HostObject<Steinberg::Vst::IParamValueQueue> {
public:
  explicit ParamValueQueue(Steinberg::Vst::ParamID id) : mId(id) {}
  Steinberg::Vst::ParamID PLUGIN_API getParameterId() override { return mId; }
  Steinberg::int32 PLUGIN_API getPointCount() override { return static_cast<Steinberg::int32>(mPoints.size()); }
  Steinberg::tresult PLUGIN_API getPoint(Steinberg::int32 index, Steinberg::int32& sampleOffset,
                                         Steinberg::Vst::ParamValue& value) override;
  Steinberg::tresult PLUGIN_API addPoint(Steinberg::int32 sampleOffset, Steinberg::Vst::ParamValue value,
                                         Steinberg::int32& index) override;

private:
  struct Point {
    Steinberg::int32 offset;
    Steinberg::Vst::ParamValue value;
  };
  Steinberg::Vst::ParamID mId;
  std::vector<Point> mPoints;
};

class ParameterChanges : public HostObject<Steinberg::Vst::IParameterChanges> {
public:
  ~ParameterChanges() override;
  Steinberg::int32 PLUGIN_API getParameterCount() override { return static_cast<Steinberg::int32>(mQueues.size()); }
  Steinberg::Vst::IParamValueQueue* PLUGIN_API getParameterData(Steinberg::int32 index) override;
  Steinberg::Vst::IParamValueQueue* PLUGIN_API addParameterData(const Steinberg::Vst::ParamID& id,
                                                                Steinberg::int32& index) override;
  // Host-side shortcut: one point for `id` at `offset`, in a queue of its own or appended to it.
  void add(Steinberg::Vst::ParamID id, Steinberg::int32 offset, double value);
  void clear();

private:
  std::vector<ParamValueQueue*> mQueues;  // one reference held by this list
};

}  // namespace velmora_host
