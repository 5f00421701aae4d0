#pragma once
// Flags of the text path: how one call draws (alignment, clipping, measuring), what a font may
// do, and how a font fills behind its text.

#include "bitmap/LICE_Pixel.h"

#include <climits>

// Drawing flags of LICE_IFont::DrawTextUtf8. Left alignment is the absence of the two below.
constexpr int LICE_TEXT_CENTRE = 0x1;
constexpr int LICE_TEXT_RIGHT = 0x2;
constexpr int LICE_TEXT_SINGLE_LINE = 0x20;  // line breaks are not honoured
constexpr int LICE_TEXT_NO_CLIP = 0x100;     // clip to the destination only, not to the rectangle
constexpr int LICE_TEXT_MEASURE = 0x400;     // compute the rectangle, draw nothing
constexpr int LICE_TEXT_USE_COLOUR_ALPHA = 0x40000000;
constexpr int LICE_TEXT_GLYPHS_ONLY = INT_MIN;  // top bit: never let the platform draw

// Font flags of LICE_IFont::SetFromPlatformFont.
constexpr int LICE_FONT_PRERENDER = 0x4;             // render characters 0..127 at once
constexpr int LICE_FONT_EFFECT_MASK = 0x1F7;         // any of these keeps drawing on the glyph path
constexpr int LICE_FONT_OWNS_PLATFORM_FONT = 0x200;  // the font deletes its platform font
constexpr int LICE_FONT_PLATFORM_MAY_DRAW = 0x400;   // the platform may draw the text itself

// Background modes.
constexpr int LICE_BACK_TRANSPARENT = 1;
constexpr int LICE_BACK_OPAQUE = 2;

// The drawing flags the graphics core's RenderText uses: no clipping, the alignment (0 left,
// 1 centre, 2 right), measuring, and the colour's alpha when it is not opaque.
constexpr int LICE_RenderTextFlags(int align, LICE_pixel colour, bool measureOnly) {
  return LICE_TEXT_NO_CLIP |
         (align == 1   ? LICE_TEXT_CENTRE
          : align == 2 ? LICE_TEXT_RIGHT
                       : 0) |
         (measureOnly ? LICE_TEXT_MEASURE : 0) | (LICE_PixelA(colour) != 255 ? LICE_TEXT_USE_COLOUR_ALPHA : 0);
}
