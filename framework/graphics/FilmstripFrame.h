#pragma once
// Which frame of a filmstrip shows a normalised value, and where that frame starts. Shared by
// the bitmap, switch and filmstrip-knob controls.

#include "framework/graphics/IGraphicsTypes.h"
#include "framework/graphics/IRect.h"

class IGraphics;

// The 1-based frame for value: trunc((N - 1) x value + 0.5) + 1, clamped to 1..N; 1 with fewer
// than two frames. A value that is not a number shows frame 1.
int FilmstripFrameIndex(int nFrames, double value);

// The source offset of 1-based frame i: frames stacked vertically start at
// srcY = trunc(H x (i - 1) / N + 0.5), side by side at the matching srcX.
void FilmstripFrameOffset(const IFilmstrip& filmstrip, int frame, int* srcX, int* srcY);

// A control's rectangle for one frame of the filmstrip placed at (x, y).
IRect FilmstripFrameRect(int x, int y, const IFilmstrip& filmstrip);

// Blits the frame for value into rect of the back buffer.
bool DrawFilmstripFrame(IGraphics& graphics, const IFilmstrip& filmstrip, const IRect& rect, double value,
                        const IBlend& blend);
