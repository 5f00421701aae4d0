#include "tools/vst3host/PlugFrame.h"

using namespace Steinberg;

namespace vst3host {

PlugFrame::PlugFrame(FUnknown* offered) : mOffered(offered) {
  if (mOffered) mOffered->addRef();
}

PlugFrame::~PlugFrame() {
  if (mOffered) mOffered->release();
}

// The frame's own interfaces (FUnknown, IPlugFrame) come first, so the offered object only adds.
tresult PLUGIN_API PlugFrame::queryInterface(const TUID queried, void** obj) {
  tresult result = RefCounted<IPlugFrame>::queryInterface(queried, obj);
  if (result == kNoInterface && mOffered) result = mOffered->queryInterface(queried, obj);
  return result;
}

tresult PLUGIN_API PlugFrame::resizeView(IPlugView* view, ViewRect* newSize) {
  if (!view || !newSize) return kInvalidArgument;
  mRequests.push_back(*newSize);
  return view->onSize(newSize);
}

}  // namespace vst3host
