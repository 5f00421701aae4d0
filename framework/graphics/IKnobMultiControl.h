#pragma once
// A knob drawn from a filmstrip: one frame per step of its parameter.

#include "framework/graphics/IKnobControl.h"

class IKnobMultiControl : public IKnobControl {
public:
  IKnobMultiControl(IPlugBase* plugin, int x, int y, int paramIdx, const IFilmstrip& filmstrip,
                    int dragAxis = AxisVertical, double dragRatio = 2.0);

  bool Paint(IGraphics& graphics) override;

  const IFilmstrip& Filmstrip() const { return mFilmstrip; }

protected:
  IFilmstrip mFilmstrip;
};
