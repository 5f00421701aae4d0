#include "framework/graphics/IBitmapControl.h"

#include "framework/graphics/FilmstripFrame.h"

IBitmapControl::IBitmapControl(IPlugBase* plugin, int x, int y, int paramIdx, const IFilmstrip& filmstrip,
                               int blendKind)
    : IControl(plugin, FilmstripFrameRect(x, y, filmstrip), paramIdx, blendKind), mFilmstrip(filmstrip) {}

bool IBitmapControl::Paint(IGraphics& graphics) {
  return DrawFilmstripFrame(graphics, mFilmstrip, mRect, mValue, mBlend);
}
