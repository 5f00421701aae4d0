#pragma once
// The display scale a host gives an editor view: the view's content-scale interface
// (IPlugViewContentScaleSupport), offered before the view is attached and before its size is
// asked, so the host's window is made at the scaled size at once.

#include "pluginterfaces/gui/iplugview.h"

namespace vst3host {

// Tells view the scale (1 = the editor's own pixels). True when the view takes it; false when the
// view has no such interface or refuses the value (it then opens at its own size).
bool OfferContentScale(Steinberg::IPlugView* view, double scale);

}  // namespace vst3host
