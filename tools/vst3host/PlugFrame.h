#pragma once
// A host frame for editor views: it records resize requests and answers each at once with the
// view's onSize, as a host window that grants the size would.

#include "tools/vst3host/RefCounted.h"

#include "pluginterfaces/gui/iplugview.h"

#include <vector>

namespace vst3host {

class PlugFrame : public RefCounted<Steinberg::IPlugFrame> {
public:
  Steinberg::tresult PLUGIN_API resizeView(Steinberg::IPlugView* view, Steinberg::ViewRect* newSize) override;

  const std::vector<Steinberg::ViewRect>& Requests() const { return mRequests; }

private:
  std::vector<Steinberg::ViewRect> mRequests;
};

}  // namespace vst3host
