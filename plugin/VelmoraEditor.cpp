#include "plugin/VelmoraEditor.h"

#include "VelmoraResources.h"
#include "framework/graphics/IBitmapControl.h"
#include "framework/graphics/IGraphics.h"
#include "framework/graphics/IKnobMultiControl.h"
#include "framework/graphics/ISwitchControl.h"
#include "framework/graphics/PlatformGraphics.h"
#include "plugin/VelmoraSteps.h"

const PanelImage kEditorBackground = kImageBG;

// Each knob has one frame per step of its parameter (maximum + 1).
const VelmoraKnob kEditorKnobs[kNumEditorKnobs] = {
    {kParamCompressorThreshold, kImageCTHR, 25, 327, 2.0},
    {kParamLimitLevel, kImageLTHR, 25, 196, 2.0},
    {kParamGain, kImageGAIN, 26, 441, 2.0},
    {kParamMix, kImageMIX, 307, 203, 2.0},
    {kParamRatio, kImageRAT, 161, 442, 1.5},
    {kParamHigh, kImageHIGH, 307, 311, 1.5},
    {kParamMid, kImageMID, 307, 408, 1.5},
    {kParamHighPassFilter, kImageHPF, 307, 503, 1.5},
    {kParamCompressorRecoveryTime, kImageCREC, 164, 328, 1.5},
    {kParamLevelRecoveryTime, kImageLREC, 163, 197, 1.5},
};

// Frame 1 shows value 0, frame 2 value 1.
const VelmoraSwitch kEditorSwitches[kNumEditorSwitches] = {
    {kParamBypass, kImageBYPASS, 49, 565},  // lit IN = processing
    {kParamExternalSidechain, kImageEXT, 319, 585},
    {kParamGRSelect, kImageGRSW, 96, 163},
};

const PanelImage kEditorMeter = kImageMETER;

namespace {
IFilmstrip Load(IGraphics& graphics, const PanelImage& image) {
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
