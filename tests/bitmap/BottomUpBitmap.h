#pragma once
// A bitmap that stores its rows bottom first, as a platform surface may: blits and encoders must
// walk rows by their meaning, not by their address.

#include "bitmap/LICE_IBitmap.h"

#include <cstddef>
#include <vector>

class BottomUpBitmap final : public LICE_IBitmap {
public:
  BottomUpBitmap(int w, int h) : mW(w), mH(h), mPixels(static_cast<size_t>(w) * static_cast<size_t>(h)) {}
  LICE_pixel* Pixels() const override { return const_cast<LICE_pixel*>(mPixels.data()); }
  int Width() const override { return mW; }
  int Height() const override { return mH; }
  int RowSpan() const override { return mW; }
  bool IsBottomUp() const override { return true; }
  bool Resize(int, int) override { return false; }
  LICE_DrawingContext DrawingContext() const override { return nullptr; }
  intptr_t ExtensionQuery(int, void*) override { return 0; }

private:
  int mW, mH;
  std::vector<LICE_pixel> mPixels;
};
