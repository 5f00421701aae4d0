// The X11 platform's editor: a child window in the host's window, driven by the host's run loop.

#include "framework/graphics/PlatformGraphics.h"
#include "framework/graphics/platform/x11/IGraphicsX11.h"

IGraphics* MakePlatformGraphics(IPlugBase* plugin, int width, int height, int frameRate,
                                const EmbeddedResourceTable& resources) {
  return new IGraphicsX11(plugin, width, height, frameRate, resources);
}
