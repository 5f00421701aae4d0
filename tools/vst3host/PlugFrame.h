#pragma once
// A host frame for editor views: it records resize requests and answers each at once with the
// view's onSize, as a host window that grants the size would. Given another object it also answers
// that object's interfaces through queryInterface: that is how Linux hosts offer their run loop
// (Linux::IRunLoop) to an editor; without one it does not, like a host that has none.

#include "tools/vst3host/RefCounted.h"

#include "pluginterfaces/gui/iplugview.h"

#include <vector>

namespace vst3host {

class PlugFrame : public RefCounted<Steinberg::IPlugFrame> {
public:
  // offered (e.g. a RunLoop) may be null; otherwise the frame holds a reference on it.
  explicit PlugFrame(Steinberg::FUnknown* offered = nullptr);
  ~PlugFrame() override;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID queried, void** obj) override;
  Steinberg::tresult PLUGIN_API resizeView(Steinberg::IPlugView* view, Steinberg::ViewRect* newSize) override;

  const std::vector<Steinberg::ViewRect>& Requests() const { return mRequests; }

private:
  Steinberg::FUnknown* mOffered;
  std::vector<Steinberg::ViewRect> mRequests;
};

}  // namespace vst3host
