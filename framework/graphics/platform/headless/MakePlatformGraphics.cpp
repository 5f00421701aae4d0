// The headless platform's editor: no window, bitmaps from the embedded resources.

#include "framework/graphics/PlatformGraphics.h"
#include "framework/graphics/platform/headless/IGraphicsHeadless.h"

IGraphics* MakePlatformGraphics(IPlugBase* plugin, int width, int height, int frameRate,
                                const EmbeddedResourceTable& resources) {
  return new IGraphicsHeadless(plugin, width, height, frameRate, resources);
}
