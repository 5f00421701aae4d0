#pragma once
// The Velmora editor: a fixed 404 x 634 surface at 25 frames per second with the background,
// ten filmstrip knobs, three two-state switches and the 121-frame gain-reduction meter, every
// image coming from the module's embedded PNG resources (listed in resources/img/manifest.txt).

#include "PanelImages.h"

class IGraphics;
class IPlugBase;

constexpr int kEditorWidth = 404;
constexpr int kEditorHeight = 634;
constexpr int kEditorFrameRate = 25;

// A control placed at (x, y) with the filmstrip of image, bound to paramIdx.
struct VelmoraKnob {
  int paramIdx;
  PanelImage image;
  int x, y;
  double gearing;
};

struct VelmoraSwitch {
  int paramIdx;
  PanelImage image;
  int x, y;
};

constexpr int kNumEditorKnobs = 10;
constexpr int kNumEditorSwitches = 3;
extern const PanelImage kEditorBackground;
extern const VelmoraKnob kEditorKnobs[kNumEditorKnobs];          // in attach order: controls 1..10
extern const VelmoraSwitch kEditorSwitches[kNumEditorSwitches];  // controls 11..13
extern const PanelImage kEditorMeter;
constexpr int kMeterX = 58;
constexpr int kMeterY = 15;

// Fills graphics with the editor's controls, bound to plugin's parameters, and returns the index
// of the meter control (14).
int LayOutVelmoraEditor(IGraphics& graphics, IPlugBase* plugin);

struct VelmoraEditor {
  IGraphics* graphics;  // owned by the caller until handed to IPlugBase::AttachGraphics
  int meterControl;
};

// Creates the editor's graphics object (the build's platform class, reading the embedded
// images) and lays it out.
VelmoraEditor MakeVelmoraEditor(IPlugBase* plugin);
