#pragma once
// Per-block parameter changes as a host delivers them in process: one queue per parameter with
// its points in order. All storage is reserved at construction, so a plug-in reading the changes
// during process causes no allocation on the host side either.

#include "tools/vst3host/RefCounted.h"

#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <vector>

namespace vst3host {

class ParamValueQueue : public RefCounted<Steinberg::Vst::IParamValueQueue> {
public:
  explicit ParamValueQueue(int maxPoints);

  void Reset(Steinberg::Vst::ParamID id);

  Steinberg::Vst::ParamID PLUGIN_API getParameterId() override { return mId; }
  Steinberg::int32 PLUGIN_API getPointCount() override { return mCount; }
  Steinberg::tresult PLUGIN_API getPoint(Steinberg::int32 index, Steinberg::int32& sampleOffset,
                                         Steinberg::Vst::ParamValue& value) override;
  // Appends a point (offsets are expected in ascending order); kResultFalse when full.
  Steinberg::tresult PLUGIN_API addPoint(Steinberg::int32 sampleOffset, Steinberg::Vst::ParamValue value,
                                         Steinberg::int32& index) override;

private:
  struct Point {
    Steinberg::int32 offset;
    Steinberg::Vst::ParamValue value;
  };
  Steinberg::Vst::ParamID mId = 0;
  std::vector<Point> mPoints;  // fixed length: the capacity
  Steinberg::int32 mCount = 0;
};

class ParameterChanges : public RefCounted<Steinberg::Vst::IParameterChanges> {
public:
  explicit ParameterChanges(int maxQueues = 64, int maxPointsPerQueue = 64);
  ~ParameterChanges() override;

  // Host side: adds a point for id, to its queue if there is one, else to a new queue.
  // False when the queues or the queue's points are used up.
  bool Add(Steinberg::Vst::ParamID id, Steinberg::int32 sampleOffset, double value);
  // Empties every queue (keeps the storage).
  void Clear();

  Steinberg::int32 PLUGIN_API getParameterCount() override { return mUsed; }
  Steinberg::Vst::IParamValueQueue* PLUGIN_API getParameterData(Steinberg::int32 index) override;
  Steinberg::Vst::IParamValueQueue* PLUGIN_API addParameterData(const Steinberg::Vst::ParamID& id,
                                                                Steinberg::int32& index) override;

private:
  std::vector<ParamValueQueue*> mQueues;  // one reference each, held by this object
  Steinberg::int32 mUsed = 0;
};

}  // namespace vst3host
