#include "tools/velmora-host/HostContext.h"

#include "pluginterfaces/base/ustring.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <algorithm>

namespace velmora_host {

using namespace Steinberg;

tresult PLUGIN_API HostContext::getName(Vst::String128 name) {
  UString(name, 128).assign(kHostName);
  return kResultOk;
}

tresult PLUGIN_API HostContext::createInstance(TUID cid, TUID interfaceIid, void** obj) {
  const FUID classId = FUID::fromTUID(cid);
  const FUID interfaceId = FUID::fromTUID(interfaceIid);
  if (classId == Vst::IMessage::iid && interfaceId == Vst::IMessage::iid) {
    *obj = static_cast<Vst::IMessage*>(new Vst::HostMessage);
    return kResultOk;
  }
  if (classId == Vst::IAttributeList::iid && interfaceId == Vst::IAttributeList::iid) {
    *obj = static_cast<Vst::IAttributeList*>(new Vst::HostAttributeList);
    return kResultOk;
  }
  *obj = nullptr;
  return kResultFalse;
}

tresult PLUGIN_API ParamValueQueue::getPoint(int32 index, int32& sampleOffset, Vst::ParamValue& value) {
  if (index < 0 || index >= getPointCount()) return kInvalidArgument;
  sampleOffset = mPoints[static_cast<std::size_t>(index)].offset;
  value = mPoints[static_cast<std::size_t>(index)].value;
  return kResultOk;
}

tresult PLUGIN_API ParamValueQueue::addPoint(int32 sampleOffset, Vst::ParamValue value, int32& index) {
  // Points stay ordered by offset; a second point at the same offset replaces the first.
  auto at = std::lower_bound(mPoints.begin(), mPoints.end(), sampleOffset,
                             [](const Point& p, int32 offset) { return p.offset < offset; });
  if (at != mPoints.end() && at->offset == sampleOffset)
    at->value = value;
  else
    at = mPoints.insert(at, Point{sampleOffset, value});
  index = static_cast<int32>(at - mPoints.begin());
  return kResultOk;
}

ParameterChanges::~ParameterChanges() { clear(); }

Vst::IParamValueQueue* PLUGIN_API ParameterChanges::getParameterData(int32 index) {
  if (index < 0 || index >= getParameterCount()) return nullptr;
  return mQueues[static_cast<std::size_t>(index)];
}

Vst::IParamValueQueue* PLUGIN_API ParameterChanges::addParameterData(const Vst::ParamID& id, int32& index) {
  for (std::size_t i = 0; i < mQueues.size(); ++i)
    if (mQueues[i]->getParameterId() == id) {
      index = static_cast<int32>(i);
      return mQueues[i];
    }
  mQueues.push_back(new ParamValueQueue(id));
  index = static_cast<int32>(mQueues.size() - 1);
  return mQueues.back();
}

void ParameterChanges::add(Vst::ParamID id, int32 offset, double value) {
  int32 index = 0;
  int32 pointIndex = 0;
  addParameterData(id, index)->addPoint(offset, value, pointIndex);
}

void ParameterChanges::clear() {
  for (ParamValueQueue* queue : mQueues) queue->release();
  mQueues.clear();
}

}  // namespace velmora_host
