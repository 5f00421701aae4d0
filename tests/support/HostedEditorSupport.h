#pragma once
// What the editor-window test hosts (X11 and Win32) do alike to the instance behind an editor and
// to the pictures they compare: the host's parameter changes and loud audio through process
// calls, and pixel comparison.

#include "bitmap/LICE_IBitmap.h"
#include "bitmap/LICE_MemBitmap.h"
#include "framework/graphics/IRect.h"
#include "plugin/VelmoraEditor.h"
#include "tools/vst3host/ComponentHandler.h"
#include "tools/vst3host/Instance.h"

#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace editortest {

// A Velmora instance from the bundle (loaded once per program), prepared for 32-bit processing at
// 44.1 kHz in blocks of up to 512; null, with a test failure, when that fails.
std::unique_ptr<vst3host::Instance> NewVelmoraInstance(const char* bundle, Steinberg::FUnknown* hostContext,
                                                       Steinberg::Vst::IComponentHandler* handler);

// ---- Velmora's panel ----
// The knob bound to paramIdx, its rectangle (one frame), the meter's rectangle.
const VelmoraKnob& Knob(int paramIdx);
IRect KnobRect(const VelmoraKnob& knob);
IRect MeterRect();
// "Title=step", as velmora-snapshot's --set takes it.
std::string StepSetting(int paramIdx, int step);
// The normalised value of a step.
double StepNormalized(int paramIdx, int step);

// Sends the steps (parameter index, step) as the host's parameter changes in one process call.
void SendSteps(vst3host::Instance& instance, const std::vector<std::pair<int, int>>& steps);
// Processes seconds of a full-scale 1 kHz sine (44.1 kHz, both channels) in 512-frame blocks.
void ProcessLoudAudio(vst3host::Instance& instance, double seconds);

// The host calls of an editor session as one line, values left out: "begin 5, perform 5, end 5,
// menu 7", for comparing whole gestures at once.
std::string GestureText(const std::vector<vst3host::HandlerCall>& calls);
// Refresh ticks after which a wheel burst's gesture ends at the latest (the editor's pause).
int WheelPauseTicks();

// Velmora's panel at the steps as the graphics core draws it without a window, at a display scale
// (DeviceCoord of the panel's size): what an editor window at that scale must show. repainted, when
// given, receives the same drawing painted over itself once more: where the two differ, a pixel
// depends on how often it was painted (a blend over no background), which a window's paints do not
// fix, so only the pixels the two share can be compared with a screen.
bool HeadlessPanel(double scale, const std::vector<std::pair<int, int>>& steps, LICE_MemBitmap* out,
                   LICE_MemBitmap* repainted = nullptr);
// A panel coordinate in device pixels at scale, as IGraphics::DeviceCoord maps it.
int DeviceCoordAt(double scale, int panel);

// Pixels whose colour (alpha aside) differs between a and b inside rect (a's coordinates for a,
// at (bx, by) in b); every pixel of rect when either is too small.
// With sameIn (b's size), only the pixels where b and sameIn agree count.
int DifferingPixels(const LICE_IBitmap& a, const LICE_IBitmap& b, const IRect& rect, int bx = -1, int by = -1,
                    const LICE_IBitmap* sameIn = nullptr);

}  // namespace editortest
