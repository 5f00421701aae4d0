#include "tools/vst3host/ComponentHandler.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace vst3host {

RecordingComponentHandler::RecordingComponentHandler(FUnknown* offered) : mOffered(offered) {
  mCalls.reserve(256);
  if (mOffered) mOffered->addRef();
}

RecordingComponentHandler::~RecordingComponentHandler() {
  if (mOffered) mOffered->release();
}

// The handler's own interfaces come first, so the offered object only adds.
tresult PLUGIN_API RecordingComponentHandler::queryInterface(const TUID queried, void** obj) {
  tresult result = RefCounted::queryInterface(queried, obj);
  if (result == kNoInterface && mOffered) result = mOffered->queryInterface(queried, obj);
  return result;
}

void RecordingComponentHandler::Record(HandlerCall call) {
  call.thread = std::this_thread::get_id();
  std::lock_guard<std::mutex> lock(mMutex);
  mCalls.push_back(call);
}

tresult PLUGIN_API RecordingComponentHandler::beginEdit(ParamID id) {
  Record({HandlerCall::kBeginEdit, id, 0.0, 0, {}});
  return kResultOk;
}

tresult PLUGIN_API RecordingComponentHandler::performEdit(ParamID id, ParamValue value) {
  Record({HandlerCall::kPerformEdit, id, value, 0, {}});
  return kResultOk;
}

tresult PLUGIN_API RecordingComponentHandler::endEdit(ParamID id) {
  Record({HandlerCall::kEndEdit, id, 0.0, 0, {}});
  return kResultOk;
}

tresult PLUGIN_API RecordingComponentHandler::restartComponent(int32 flags) {
  Record({HandlerCall::kRestart, 0, 0.0, flags, {}});
  return kResultOk;
}

IContextMenu* PLUGIN_API RecordingComponentHandler::createContextMenu(IPlugView* /*view*/, const ParamID* paramID) {
  Record({HandlerCall::kContextMenu, paramID ? *paramID : 0, 0.0, 0, {}});
  return nullptr;
}

std::vector<HandlerCall> RecordingComponentHandler::Calls() const {
  std::lock_guard<std::mutex> lock(mMutex);
  return mCalls;
}

void RecordingComponentHandler::Clear() {
  std::lock_guard<std::mutex> lock(mMutex);
  mCalls.clear();
}

}  // namespace vst3host
