#pragma once
// Resampling a whole bitmap to another size with a cubic convolution filter (Keys, a = -0.5,
// also known as Catmull-Rom): smooth, sharp at edges, and exact on linear ramps, so artwork
// drawn at one scale reads well at another. Colours are filtered with premultiplied alpha, so a
// transparent pixel's colour never bleeds into its neighbours; pixels past the edges repeat the
// edge. Downscaling widens the filter so every source pixel still counts.

class LICE_IBitmap;

// Fills dest, at its current size, with src resampled to that size. Nothing happens when either
// bitmap is missing or has no pixels.
void ResampleBitmap(LICE_IBitmap* dest, const LICE_IBitmap* src);
