#include "bitmap/LICE_SysBitmap.h"

#include <climits>

LICE_SysBitmap::LICE_SysBitmap(int w, int h) : mContext(LICE_Platform::CreateSurfaceContext()) { Resize(w, h); }

LICE_SysBitmap::~LICE_SysBitmap() {
  ReleaseSurface();
  if (mContext) LICE_Platform::DestroySurfaceContext(mContext);
}

void LICE_SysBitmap::ReleaseSurface() {
  if (mContext) LICE_Platform::DestroySurface(mContext, &mSurface);
  mSurface = LICE_SysSurface();
}

bool LICE_SysBitmap::Resize(int w, int h) {
  if (!mContext) {
    mWidth = 0;
    mHeight = 0;
    mSurface = LICE_SysSurface();
    return false;
  }
  if (w == mWidth && h == mHeight) return false;
  mWidth = w;
  mHeight = h;

  // Shrinking, and growing back within the allocation, keep the surface.
  if (w > 0 && h > 0 && mAllocSpan >= w && mAllocHeight >= h && mSurface.pixels) return true;

  ReleaseSurface();
  const long long span = w > 0 ? (static_cast<long long>(w) + 3) & ~3LL : 0;
  if (span < 1 || h < 1) {
    // No surface for this size: an empty bitmap rather than a size without pixels.
    mWidth = mHeight = 0;
    mAllocSpan = mAllocHeight = 0;
    return false;
  }
  if (span > INT_MAX || !LICE_Platform::CreateSurface(mContext, static_cast<int>(span), h, &mSurface)) {
    mSurface = LICE_SysSurface();
    mWidth = mHeight = 0;
    mAllocSpan = mAllocHeight = 0;
    return true;
  }
  mAllocSpan = static_cast<int>(span);
  mAllocHeight = h;
  return true;
}
