#pragma once
// The platform seam under LICE_SysBitmap: a drawing context and the 32-bit top-down surfaces
// selected into it. Windows backs it with a memory device context and DIB sections; elsewhere a
// plain memory surface serves.

#include "bitmap/LICE_IBitmap.h"

struct LICE_SysSurface {
  void* handle = nullptr;        // the platform surface
  void* previous = nullptr;      // what the context held before this surface was selected
  LICE_pixel* pixels = nullptr;  // top-down rows, span pixels apart
};

namespace LICE_Platform {

// A context compatible with the screen; null on failure.
LICE_DrawingContext CreateSurfaceContext();
void DestroySurfaceContext(LICE_DrawingContext context);

// Creates a span x height surface and selects it into the context. On failure answers false and
// leaves the surface empty.
bool CreateSurface(LICE_DrawingContext context, int span, int height, LICE_SysSurface* surface);
// Selects the previous object back into the context and deletes the surface (empty is fine).
void DestroySurface(LICE_DrawingContext context, LICE_SysSurface* surface);

}  // namespace LICE_Platform
