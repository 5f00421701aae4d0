#pragma once
// The abstract 32-bit bitmap every drawing path of the editor works on. Rows are stored top row
// first unless IsBottomUp() says otherwise; RowSpan() is the distance between the starts of two
// stored rows, in pixels.

#include "bitmap/LICE_Pixel.h"

#include <cstdint>

// A platform drawing context (a memory device context on Windows); null where there is none.
using LICE_DrawingContext = void*;

class LICE_IBitmap {
public:
  virtual ~LICE_IBitmap() = default;

  // First pixel of the first stored row; null when the bitmap holds no pixels.
  virtual LICE_pixel* Pixels() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual int RowSpan() const = 0;
  virtual bool IsBottomUp() const = 0;
  // True when the size changed. Pixel contents are undefined afterwards.
  virtual bool Resize(int w, int h) = 0;
  virtual LICE_DrawingContext DrawingContext() const = 0;
  // Room for optional capabilities; the bitmaps of this layer answer 0 to every id.
  virtual intptr_t ExtensionQuery(int id, void* data) = 0;

protected:
  LICE_IBitmap() = default;
  LICE_IBitmap(const LICE_IBitmap&) = default;
  LICE_IBitmap& operator=(const LICE_IBitmap&) = default;
};

// Address of logical row y (0 = top), whichever way the bitmap stores its rows.
inline LICE_pixel* LICE_RowAddress(const LICE_IBitmap& bm, int y) {
  const int stored = bm.IsBottomUp() ? bm.Height() - 1 - y : y;
  return bm.Pixels() + static_cast<intptr_t>(stored) * bm.RowSpan();
}
