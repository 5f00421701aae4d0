#include "framework/graphics/IKnobMultiControl.h"

#include "framework/graphics/FilmstripFrame.h"

IKnobMultiControl::IKnobMultiControl(IPlugBase* plugin, int x, int y, int paramIdx, const IFilmstrip& filmstrip,
                                     int dragAxis, double dragRatio)
    : IKnobControl(plugin, FilmstripFrameRect(x, y, filmstrip), paramIdx, dragAxis, dragRatio, IBlend::BlendOver),
      mFilmstrip(filmstrip) {}

bool IKnobMultiControl::Paint(IGraphics& graphics) {
  return DrawFilmstripFrame(graphics, mFilmstrip, mRect, mValue, mBlend);
}
