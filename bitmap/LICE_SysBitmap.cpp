#include "bitmap/LICE_SysBitmap.h"

LICE_SysBitmap::LICE_SysBitmap(int w, int h) : mContext(LICE_Platform::CreateSurfaceContext()) {
  Resize(w, h);
}

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

  mAllocHeight = h;
  mAllocSpan = w > 0 ? static_cast<int>((static_cast<long long>(w) + 3) & ~3LL) : 0;
  ReleaseSurface();
  if (mAllocSpan < 1 || mAllocHeight < 1 || mAllocSpan < w) {
    // No surface for this size: report an empty bitmap rather than a size without pixels.
    mWidth = mHeight = 0;
    mAllocSpan = mAllocHeight = 0;
    return false;
  }
  if (!LICE_Platform::CreateSurface(mContext, mAllocSpan, mAllocHeight, &mSurface)) {
    mSurface = LICE_SysSurface();
    mWidth = mHeight = 0;
    mAllocSpan = mAllocHeight = 0;
  }
  return true;
}
