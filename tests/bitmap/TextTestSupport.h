#pragma once
// Looking at what a text drawing did to a bitmap filled with one colour.

#include "bitmap/LICE_IBitmap.h"
#include "bitmap/LICE_Rect.h"

#include <algorithm>
#include <climits>

const LICE_pixel kWhite = LICE_MakePixel(255, 255, 255, 255);
const LICE_pixel kBlack = LICE_MakePixel(0, 0, 0, 255);

// Where a drawing changed a bitmap that was filled with one colour.
struct Ink {
  int count = 0;
  LICE_Rect box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  int darkest = 255;  // lowest green level seen
};

inline Ink FindInk(const LICE_IBitmap& bm, LICE_pixel background) {
  Ink ink;
  for (int y = 0; y < bm.Height(); ++y)
    for (int x = 0; x < bm.Width(); ++x) {
      const LICE_pixel p = LICE_RowAddress(bm, y)[x];
      if (p == background) continue;
      ++ink.count;
      ink.box = LICE_Rect(std::min(ink.box.L, x), std::min(ink.box.T, y), std::max(ink.box.R, x + 1),
                          std::max(ink.box.B, y + 1));
      ink.darkest = std::min(ink.darkest, LICE_PixelG(p));
    }
  return ink;
}

inline bool Inside(const LICE_Rect& inner, const LICE_Rect& outer) {
  return inner.L >= outer.L && inner.T >= outer.T && inner.R <= outer.R && inner.B <= outer.B;
}

inline void Fill(LICE_IBitmap& bm, LICE_pixel p) {
  for (int y = 0; y < bm.Height(); ++y) std::fill_n(LICE_RowAddress(bm, y), bm.Width(), p);
}
