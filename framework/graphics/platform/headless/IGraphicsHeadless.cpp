#include "framework/graphics/platform/headless/IGraphicsHeadless.h"

IGraphicsHeadless::IGraphicsHeadless(IPlugBase* plugin, int width, int height, int frameRate,
                                     const EmbeddedResourceTable& resources)
    : IGraphics(plugin, width, height, frameRate, resources) {}

void IGraphicsHeadless::PresentRect(const IRect& rect) {
  ++mPresentCount;
  mLastPresented = rect;
}
