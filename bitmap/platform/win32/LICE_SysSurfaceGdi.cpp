// The Windows drawing surface: a memory device context compatible with the screen, and 32-bit
// top-down DIB sections selected into it, so GDI draws into the same pixels the bitmap layer
// composites and the window copies them out with BitBlt.

#include "bitmap/LICE_MemBitmap.h"
#include "bitmap/LICE_SysSurface.h"

#include <windows.h>

#include <cstdint>

namespace LICE_Platform {

LICE_DrawingContext CreateSurfaceContext() { return CreateCompatibleDC(nullptr); }

void DestroySurfaceContext(LICE_DrawingContext context) { DeleteDC(static_cast<HDC>(context)); }

bool CreateSurface(LICE_DrawingContext context, int span, int height, LICE_SysSurface* surface) {
  *surface = LICE_SysSurface();
  if (!context || span < 1 || height < 1) return false;
  // The same ceiling as memory bitmaps: a DIB section is ordinary memory of the process.
  if (static_cast<uint64_t>(span) * static_cast<uint64_t>(height) * 4u > LICE_MemBitmap::kMaxBytes) return false;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = span;
  info.bmiHeader.biHeight = -height;  // negative: rows top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const HDC dc = static_cast<HDC>(context);
  const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) {
    if (bitmap) DeleteObject(bitmap);
    return false;
  }
  const HGDIOBJ previous = SelectObject(dc, bitmap);
  if (!previous || previous == HGDI_ERROR) {
    DeleteObject(bitmap);
    return false;
  }
  surface->handle = bitmap;
  surface->previous = previous;
  surface->pixels = static_cast<LICE_pixel*>(bits);
  return true;
}

void DestroySurface(LICE_DrawingContext context, LICE_SysSurface* surface) {
  if (!surface->handle) return;
  // A bitmap still selected into a context cannot be deleted.
  if (context) SelectObject(static_cast<HDC>(context), static_cast<HGDIOBJ>(surface->previous));
  DeleteObject(static_cast<HGDIOBJ>(surface->handle));
  *surface = LICE_SysSurface();
}

}  // namespace LICE_Platform
