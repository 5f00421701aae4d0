#include "tools/vst3host/ViewScale.h"

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

namespace vst3host {

using namespace Steinberg;

bool OfferContentScale(IPlugView* view, double scale) {
  if (!view) return false;
  FUnknownPtr<IPlugViewContentScaleSupport> support(view);
  if (!support) return false;
  return support->setContentScaleFactor(static_cast<IPlugViewContentScaleSupport::ScaleFactor>(scale)) == kResultTrue;
}

}  // namespace vst3host
