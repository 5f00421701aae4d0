// Interface identifiers of the editor-view interfaces. The SDK subset we build against defines
// the identifiers of every other interface in its own sources but not these. The Linux run-loop
// interfaces are defined here too: the module's editor registers with a host's run loop, and the
// hosting layer's run loop offers itself to plug-ins.

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

namespace Steinberg {
DEF_CLASS_IID(IPlugView)
DEF_CLASS_IID(IPlugFrame)
DEF_CLASS_IID(IPlugViewContentScaleSupport)
#if SMTG_OS_LINUX
namespace Linux {
DEF_CLASS_IID(IEventHandler)
DEF_CLASS_IID(ITimerHandler)
DEF_CLASS_IID(IRunLoop)
}  // namespace Linux
#endif
}  // namespace Steinberg
