// The Windows platform's editor: a child window in the host's window. Its images come from the
// module's own resource section, so the embedded-resource table is not needed.

#include "framework/graphics/PlatformGraphics.h"
#include "framework/graphics/platform/win32/IGraphicsWin.h"

IGraphics* MakePlatformGraphics(IPlugBase* plugin, int width, int height, int frameRate,
                                const EmbeddedResourceTable& /*resources*/) {
  return new IGraphicsWin(plugin, width, height, frameRate);
}
