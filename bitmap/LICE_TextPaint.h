#pragma once
// Compositing text coverage (8 bits a pixel, 255 = fully covered) into a bitmap.

#include "bitmap/LICE_IBitmap.h"
#include "bitmap/LICE_Rect.h"

#include <cstdint>

struct LICE_TextPaint {
  LICE_pixel colour = 0;
  int opacity = 256;  // 0..256, applied on top of the coverage
  int operation = 0;  // LICE_BLIT_COPY (blend towards the colour) or LICE_BLIT_ADD
};

// The part of clip inside dest.
LICE_Rect LICE_ClipToBitmap(const LICE_IBitmap& dest, const LICE_Rect& clip);

// Composites a w x h coverage block (rows stride bytes apart) with its top-left corner at (x, y),
// limited to clip (which must lie inside dest). Answers false when nothing of it is inside clip.
bool LICE_PaintCoverage(LICE_IBitmap* dest, int x, int y, const uint8_t* coverage, int w, int h, int stride,
                        const LICE_Rect& clip, const LICE_TextPaint& paint);

// Fills r, limited to clip, with an opaque colour.
void LICE_FillRect(LICE_IBitmap* dest, const LICE_Rect& r, LICE_pixel colour, const LICE_Rect& clip);
