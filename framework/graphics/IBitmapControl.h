#pragma once
// A control that shows one frame of a filmstrip, chosen by its value. The editor uses it for
// the background (blend replace, no parameter) and the gain-reduction meter.

#include "framework/graphics/IControl.h"

class IBitmapControl : public IControl {
public:
  IBitmapControl(IPlugBase* plugin, int x, int y, int paramIdx, const IFilmstrip& filmstrip,
                 int blendKind = IBlend::BlendOver);

  bool Paint(IGraphics& graphics) override;

  const IFilmstrip& Filmstrip() const { return mFilmstrip; }

protected:
  IFilmstrip mFilmstrip;
};
