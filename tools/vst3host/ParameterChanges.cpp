#include "tools/vst3host/ParameterChanges.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace vst3host {

ParamValueQueue::ParamValueQueue(int maxPoints) : mPoints(static_cast<size_t>(maxPoints > 0 ? maxPoints : 1)) {}

void ParamValueQueue::Reset(ParamID id) {
  mId = id;
  mCount = 0;
}

tresult PLUGIN_API ParamValueQueue::getPoint(int32 index, int32& sampleOffset, ParamValue& value) {
  if (index < 0 || index >= mCount) return kInvalidArgument;
  sampleOffset = mPoints[static_cast<size_t>(index)].offset;
  value = mPoints[static_cast<size_t>(index)].value;
  return kResultOk;
}

tresult PLUGIN_API ParamValueQueue::addPoint(int32 sampleOffset, ParamValue value, int32& index) {
  if (mCount >= static_cast<int32>(mPoints.size())) return kResultFalse;
  mPoints[static_cast<size_t>(mCount)] = Point{sampleOffset, value};
  index = mCount++;
  return kResultOk;
}

ParameterChanges::ParameterChanges(int maxQueues, int maxPointsPerQueue) {
  for (int i = 0; i < maxQueues; ++i) mQueues.push_back(new ParamValueQueue(maxPointsPerQueue));
}

ParameterChanges::~ParameterChanges() {
  for (ParamValueQueue* queue : mQueues) queue->release();
}

bool ParameterChanges::Add(ParamID id, int32 sampleOffset, double value) {
  int32 index = 0;
  IParamValueQueue* queue = addParameterData(id, index);
  int32 point = 0;
  return queue && queue->addPoint(sampleOffset, value, point) == kResultOk;
}

void ParameterChanges::Clear() { mUsed = 0; }

IParamValueQueue* PLUGIN_API ParameterChanges::getParameterData(int32 index) {
  if (index < 0 || index >= mUsed) return nullptr;
  return mQueues[static_cast<size_t>(index)];
}

IParamValueQueue* PLUGIN_API ParameterChanges::addParameterData(const ParamID& id, int32& index) {
  for (int32 i = 0; i < mUsed; ++i) {
    if (mQueues[static_cast<size_t>(i)]->getParameterId() == id) {
      index = i;
      return mQueues[static_cast<size_t>(i)];
    }
  }
  if (mUsed >= static_cast<int32>(mQueues.size())) return nullptr;
  mQueues[static_cast<size_t>(mUsed)]->Reset(id);
  index = mUsed;
  return mQueues[static_cast<size_t>(mUsed++)];
}

}  // namespace vst3host
