#include "plugin/VelmoraEditor.h"

#include "VelmoraResources.h"
#include "framework/graphics/IBitmapControl.h"
#include "framework/graphics/IGraphics.h"
#include "framework/graphics/IKnobMultiControl.h"
#include "framework/graphics/ISwitchControl.h"
#include "framework/graphics/PlatformGraphics.h"

// Each knob has one frame per step of its parameter (maximum + 1).
const VelmoraImage kEditorBackground = {101, "resources/img/BG.png", 1};

const VelmoraKnob kEditorKnobs[kNumEditorKnobs] = {
    {0, {104, "resources/img/CTHR.png", 16}, 25, 327, 2.0},  // Compressor Threshold
    {1, {110, "resources/img/LTHR.png", 23}, 25, 196, 2.0},  // Limit Level
    {2, {106, "resources/img/GAIN.png", 11}, 26, 441, 2.0},  // Gain
    {3, {113, "resources/img/MIX.png", 23}, 307, 203, 2.0},  // Mix
    {4, {114, "resources/img/RAT.png", 5}, 161, 442, 1.5},   // Ratio
    {5, {107, "resources/img/HIGH.png", 5}, 307, 311, 1.5},  // High
    {6, {112, "resources/img/MID.png", 5}, 307, 408, 1.5},   // Mid
    {7, {108, "resources/img/HPF.png", 5}, 307, 503, 1.5},   // High Pass Filter
    {8, {103, "resources/img/CREC.png", 6}, 164, 328, 1.5},  // Compressor Recovery Time
    {9, {109, "resources/img/LREC.png", 6}, 163, 197, 1.5},  // Level Recovery Time
};

// Frame 1 shows value 0, frame 2 value 1.
const VelmoraSwitch kEditorSwitches[kNumEditorSwitches] = {
    {10, {102, "resources/img/BYPASS.png", 2}, 49, 565},  // Bypass (lit IN = processing)
    {11, {105, "resources/img/EXT.png", 2}, 319, 585},    // External Sidechain
    {12, {115, "resources/img/GRSW.png", 2}, 96, 163},    // GR Select
};

const VelmoraImage kEditorMeter = {111, "resources/img/METER.png", 121};

namespace {
IFilmstrip Load(IGraphics& graphics, const VelmoraImage& image) {
  return graphics.LoadFilmstrip(image.resourceId, image.name, image.frames);
}
}  // namespace

int LayOutVelmoraEditor(IGraphics& graphics, IPlugBase* plugin) {
  // The background goes first: AddBackground shifts every index attached before it.
  graphics.AddBackground(new IBitmapControl(plugin, 0, 0, -1, Load(graphics, kEditorBackground), IBlend::BlendReplace));

  for (const VelmoraKnob& k : kEditorKnobs) {
    auto* knob = new IKnobMultiControl(plugin, k.x, k.y, k.paramIdx, Load(graphics, k.image));
    knob->SetDragAxis(IKnobControl::AxisVertical);
    knob->SetDragRatio(k.gearing);
    graphics.AddControl(knob);
  }
  for (const VelmoraSwitch& s : kEditorSwitches)
    graphics.AddControl(new ISwitchControl(plugin, s.x, s.y, s.paramIdx, Load(graphics, s.image)));

  return graphics.AddControl(new IBitmapControl(plugin, kMeterX, kMeterY, -1, Load(graphics, kEditorMeter)));
}

VelmoraEditor MakeVelmoraEditor(IPlugBase* plugin) {
  IGraphics* graphics = MakePlatformGraphics(plugin, kEditorWidth, kEditorHeight, kEditorFrameRate, VelmoraResources());
  const int meter = LayOutVelmoraEditor(*graphics, plugin);
  return VelmoraEditor{graphics, meter};
}
