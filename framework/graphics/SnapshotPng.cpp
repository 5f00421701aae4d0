#include "framework/graphics/SnapshotPng.h"

#include "bitmap/LICE_PngEncode.h"
#include "bitmap/LICE_SysBitmap.h"
#include "framework/graphics/IGraphics.h"

bool WriteEditorSnapshot(IGraphics& graphics, const char* path) {
  if (!graphics.BackBuffer()) graphics.CreateDrawBitmaps();
  graphics.DrawPass(IRect(0, 0, graphics.Width(), graphics.Height()));
  return WriteBitmapPng(graphics.BackBuffer(), path);
}
