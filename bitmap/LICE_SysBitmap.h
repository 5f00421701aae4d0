#pragma once
// A bitmap held in a platform drawing surface so the window can copy it to the screen (the
// editor's back buffer). Top-down rows. The surface only grows: shrinking keeps it, and so does
// growing back within what was allocated.

#include "bitmap/LICE_IBitmap.h"
#include "bitmap/LICE_SysSurface.h"

class LICE_SysBitmap final : public LICE_IBitmap {
public:
  LICE_SysBitmap(int w = 0, int h = 0);
  ~LICE_SysBitmap() override;
  LICE_SysBitmap(const LICE_SysBitmap&) = delete;
  LICE_SysBitmap& operator=(const LICE_SysBitmap&) = delete;

  LICE_pixel* Pixels() const override { return mSurface.pixels; }
  int Width() const override { return mWidth; }
  int Height() const override { return mHeight; }
  // The allocated span, at least Width() and a multiple of 4.
  int RowSpan() const override { return mAllocSpan; }
  bool IsBottomUp() const override { return false; }
  // Same size: false. Keeps the surface while it is large enough. A size without a surface
  // (a side below 1) answers false and leaves 0 x 0; a failed allocation answers true and leaves
  // 0 x 0 without pixels, into which blits draw nothing.
  bool Resize(int w, int h) override;
  LICE_DrawingContext DrawingContext() const override { return mContext; }
  intptr_t ExtensionQuery(int, void*) override { return 0; }

  // The platform surface currently selected (null when there is none).
  const void* SurfaceHandle() const { return mSurface.handle; }
  int AllocatedHeight() const { return mAllocHeight; }

private:
  void ReleaseSurface();

  int mWidth = 0;
  int mHeight = 0;
  LICE_DrawingContext mContext = nullptr;
  int mAllocSpan = 0;
  int mAllocHeight = 0;
  LICE_SysSurface mSurface;
};
