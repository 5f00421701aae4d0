// The memory-backed drawing surface: where no platform drawing surface is needed (tests, the
// command-line host, non-Windows builds) a context is a small record of the surface selected
// into it and a surface is a 64-byte aligned block of top-down rows.

#include "bitmap/LICE_MemBitmap.h"
#include "bitmap/LICE_SysSurface.h"

#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

struct MemoryContext {
  void* selected = nullptr;
};

constexpr size_t kSurfaceAlignment = 64;

}  // namespace

namespace LICE_Platform {

LICE_DrawingContext CreateSurfaceContext() { return new (std::nothrow) MemoryContext; }

void DestroySurfaceContext(LICE_DrawingContext context) { delete static_cast<MemoryContext*>(context); }

bool CreateSurface(LICE_DrawingContext context, int span, int height, LICE_SysSurface* surface) {
  *surface = LICE_SysSurface();
  if (!context || span < 1 || height < 1) return false;
  const uint64_t bytes = static_cast<uint64_t>(span) * static_cast<uint64_t>(height) * 4u;
  if (bytes > LICE_MemBitmap::kMaxBytes) return false;
  // aligned_alloc wants a multiple of the alignment.
  const size_t rounded = (static_cast<size_t>(bytes) + kSurfaceAlignment - 1) & ~(kSurfaceAlignment - 1);
  void* block = std::aligned_alloc(kSurfaceAlignment, rounded);
  if (!block) return false;
  auto* ctx = static_cast<MemoryContext*>(context);
  surface->handle = block;
  surface->previous = ctx->selected;
  surface->pixels = static_cast<LICE_pixel*>(block);
  ctx->selected = block;
  return true;
}

void DestroySurface(LICE_DrawingContext context, LICE_SysSurface* surface) {
  if (!surface->handle) return;
  if (context) static_cast<MemoryContext*>(context)->selected = surface->previous;
  std::free(surface->handle);
  *surface = LICE_SysSurface();
}

}  // namespace LICE_Platform
