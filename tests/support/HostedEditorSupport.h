#pragma once
// What the editor-window test hosts (X11 and Win32) do alike to the instance behind an editor and
// to the pictures they compare: the host's parameter changes and loud audio through process
// calls, and pixel comparison.

#include "bitmap/LICE_IBitmap.h"
#include "framework/graphics/IRect.h"
#include "tools/vst3host/Instance.h"

#include <utility>
#include <vector>

namespace editortest {

// Sends the steps (parameter index, step) as the host's parameter changes in one process call.
void SendSteps(vst3host::Instance& instance, const std::vector<std::pair<int, int>>& steps);
// Processes seconds of a full-scale 1 kHz sine (44.1 kHz, both channels) in 512-frame blocks.
void ProcessLoudAudio(vst3host::Instance& instance, double seconds);

// Pixels whose colour (alpha aside) differs between a and b inside rect (a's coordinates for a,
// at (bx, by) in b); every pixel of rect when either is too small.
int DifferingPixels(const LICE_IBitmap& a, const LICE_IBitmap& b, const IRect& rect, int bx = -1, int by = -1);

}  // namespace editortest
