#pragma once
// The decoder behind DecodePngBuffer and DecodePngFile, writing into any bitmap.

#include "bitmap/LICE_IBitmap.h"

#include <cstddef>

// Decodes a complete PNG file image into target, resizing it to the image. False on any failure;
// the target's size and pixels are then undefined.
bool DecodePngInto(const void* data, size_t length, LICE_IBitmap* target);
