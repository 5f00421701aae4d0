#include "framework/graphics/FilmstripFrame.h"

#include "framework/graphics/IGraphics.h"

int FilmstripFrameIndex(int nFrames, double value) {
  if (nFrames < 2) return 1;
  const double x = static_cast<double>(nFrames - 1) * value + 0.5;
  // Clamping before the conversion keeps NaN and huge values away from the integer cast.
  if (!(x >= 1.0)) return 1;
  if (x >= static_cast<double>(nFrames)) return nFrames;
  const int i = static_cast<int>(x) + 1;
  return i < nFrames ? i : nFrames;
}

void FilmstripFrameOffset(const IFilmstrip& filmstrip, int frame, int* srcX, int* srcY) {
  *srcX = 0;
  *srcY = 0;
  const int n = filmstrip.N;
  if (n < 2 || frame < 2) return;
  if (filmstrip.framesSideBySide)
    *srcX = static_cast<int>(static_cast<double>(filmstrip.W) * (frame - 1) / n + 0.5);
  else
    *srcY = static_cast<int>(static_cast<double>(filmstrip.H) * (frame - 1) / n + 0.5);
}

IRect FilmstripFrameRect(int x, int y, const IFilmstrip& filmstrip) {
  return IRect(x, y, x + filmstrip.FrameWidth(), y + filmstrip.FrameHeight());
}

bool DrawFilmstripFrame(IGraphics& graphics, const IFilmstrip& filmstrip, const IRect& rect, double value,
                        const IBlend& blend) {
  int srcX = 0, srcY = 0;
  FilmstripFrameOffset(filmstrip, FilmstripFrameIndex(filmstrip.N, value), &srcX, &srcY);
  graphics.BlitFilmstrip(filmstrip, rect, srcX, srcY, &blend);
  return true;
}
