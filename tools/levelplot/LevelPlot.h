#pragma once
// A producer's picture of what a dynamics processor did: input and output level over time in an
// upper panel (dBFS), the gain change between them in a lower one (dB), with a time axis in
// seconds, a legend and a title. Drawn with the project's bitmap layer and fonts in the panel's
// graphite, ivory and amber, and written as a PNG.

#include "tools/levelplot/LevelTrace.h"

#include <string>

class LICE_IBitmap;

constexpr int kLevelPlotWidth = 900;
constexpr int kLevelPlotHeight = 360;

// Draws the plot into bitmap, which is resized to kLevelPlotWidth x kLevelPlotHeight. title may
// be null. False (bitmap untouched) when the trace has no windows or the bitmap cannot be sized.
bool RenderLevelPlot(const LevelTrace& trace, const char* title, LICE_IBitmap* bitmap);

// Renders and writes the plot as a PNG at path, whole or not at all. False with a one-line
// reason in *error (when given).
bool WriteLevelPlot(const LevelTrace& trace, const char* title, const char* path, std::string* error);
