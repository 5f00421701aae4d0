#pragma once
// The one compositing routine: a rectangle of one bitmap into another with a pixel operation and
// a weight.

#include "bitmap/LICE_IBitmap.h"
#include "bitmap/LICE_Rect.h"

// Blit modes: the low byte selects the operation, LICE_BLIT_USE_ALPHA weights it by the source
// pixel's alpha.
constexpr int LICE_BLIT_COPY = 0;
constexpr int LICE_BLIT_ADD = 1;
constexpr int LICE_BLIT_DODGE = 2;
constexpr int LICE_BLIT_MULTIPLY = 3;
constexpr int LICE_BLIT_OVERLAY = 4;
constexpr int LICE_BLIT_HSV_ADJUST = 5;  // reserved: draws nothing
constexpr int LICE_BLIT_OPERATION_MASK = 0xFF;
constexpr int LICE_BLIT_USE_ALPHA = 0x10000;
// Low byte 0xF0 | dst << 2 | src copies one channel (0 blue, 1 green, 2 red, 3 alpha: the byte
// order in memory) of the source into one channel of the destination.
constexpr int LICE_BLIT_CHANNEL_COPY = 0xF0;
constexpr int LICE_ChannelCopyMode(int srcChannel, int dstChannel) {
  return LICE_BLIT_CHANNEL_COPY | (dstChannel & 3) << 2 | (srcChannel & 3);
}

// Composites srcRect of src (the whole of src when null) into dest with its top-left corner at
// (dstX, dstY). Parts of the source rectangle outside src are cut off, a source rectangle
// starting left of (above) the source moves the destination right (down) by the cut, and the
// result is clipped to dest. Nothing happens when either bitmap is missing or weight is 0.
void BlitBitmap(LICE_IBitmap* dest, const LICE_IBitmap* src, int dstX, int dstY, const LICE_Rect* srcRect, float weight,
                int mode);
