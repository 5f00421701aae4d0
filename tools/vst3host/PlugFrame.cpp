#include "tools/vst3host/PlugFrame.h"

using namespace Steinberg;

namespace vst3host {

PlugFrame::PlugFrame(RunLoop* runLoop) : mRunLoop(runLoop) {
  if (mRunLoop) mRunLoop->addRef();
}

PlugFrame::~PlugFrame() {
  if (mRunLoop) mRunLoop->release();
}

tresult PLUGIN_API PlugFrame::queryInterface(const TUID queried, void** obj) {
  if (mRunLoop && obj && FUnknownPrivate::iidEqual(queried, Linux::IRunLoop::iid)) {
    mRunLoop->addRef();
    *obj = static_cast<Linux::IRunLoop*>(mRunLoop);
    return kResultOk;
  }
  return RefCounted<IPlugFrame>::queryInterface(queried, obj);
}

tresult PLUGIN_API PlugFrame::resizeView(IPlugView* view, ViewRect* newSize) {
  if (!view || !newSize) return kInvalidArgument;
  mRequests.push_back(*newSize);
  return view->onSize(newSize);
}

}  // namespace vst3host
