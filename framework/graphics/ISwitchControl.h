#pragma once
// A filmstrip control that steps to its next frame on every press, wrapping to the first after
// the last. With two frames every press toggles 0 <-> 1.

#include "framework/graphics/IBitmapControl.h"

class ISwitchControl : public IBitmapControl {
public:
  ISwitchControl(IPlugBase* plugin, int x, int y, int paramIdx, const IFilmstrip& filmstrip,
                 int blendKind = IBlend::BlendOver)
      : IBitmapControl(plugin, x, y, paramIdx, filmstrip, blendKind) {}

  // Any button, any modifiers.
  void OnPress(int x, int y, const IModifiers& mods) override;
  // The window delivers press, release, double click, release: a double click is a second press.
  void OnDoubleClick(int x, int y, const IModifiers& mods) override { OnPress(x, y, mods); }
};
