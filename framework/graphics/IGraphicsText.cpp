#include "framework/graphics/IGraphics.h"

#include "bitmap/LICE_CachedFont.h"
#include "bitmap/LICE_FontCache.h"
#include "bitmap/LICE_SysBitmap.h"
#include "bitmap/LICE_TextFlags.h"

namespace {
// The style's font: the one it already carries, else the module cache's for its size,
// orientation, style and face (made on first use), remembered in the style.
LICE_CachedFont* FontForStyle(ITextStyle& style) {
  if (!style.cachedFont)
    style.cachedFont =
        LICE_FontCache::Module().FontFor(style.size, style.orientation, style.style, style.quality, style.face);
  return style.cachedFont;
}

// The style at a display scale: the same face and colours at the scale's font size. The font it
// finds belongs to the module cache; the caller's style keeps its own 1x font.
ITextStyle AtScale(const ITextStyle& style, double scale) {
  ITextStyle scaled = style;
  scaled.size = IGraphics::ScaledFontSize(style.size, scale);
  scaled.cachedFont = nullptr;
  return scaled;
}

// The size text takes in style, in the font's own pixels.
bool MeasureInFont(ITextStyle& style, const char* text, int* w, int* h) {
  LICE_CachedFont* font = FontForStyle(style);
  if (!font) return false;
  LICE_Rect measured;
  font->DrawTextUtf8(nullptr, text, -1, &measured, LICE_RenderTextFlags(style.align, style.colour.Packed(), true));
  *w = measured.Width();
  *h = measured.Height();
  return true;
}

// A length of device pixels in whole panel pixels, rounded up as IGraphics::PanelRect does.
int PanelLength(int device, double scale) {
  return device > 0 ? IGraphics::UnscaleCoord(device - 1, scale) + 1 : device;
}
}  // namespace

int IGraphics::ScaledFontSize(int size, double scale) {
  const int scaled = ScaleCoord(size, scale);
  return scaled > 0 ? scaled : 1;
}

bool IGraphics::RenderTextInto(LICE_IBitmap* dest, ITextStyle& style, const char* text, const IRect& rect,
                               double scale) {
  if (!text || !*text) return true;
  if (scale != 1.0) {
    ITextStyle scaled = AtScale(style, scale);
    return RenderTextInto(dest, scaled, text, rect);
  }
  LICE_CachedFont* font = FontForStyle(style);
  if (!font) return false;
  const LICE_pixel colour = style.colour.Packed();
  font->SetTextColour(colour);
  LICE_Rect r(rect.L, rect.T, rect.R, rect.B);
  font->DrawTextUtf8(dest, text, -1, &r, LICE_RenderTextFlags(style.align, colour, false));
  return true;
}

int IGraphics::TextWidth(ITextStyle& style, const char* text, double scale) {
  if (!text || !*text) return 0;
  int w = 0, h = 0;
  if (scale != 1.0) {
    ITextStyle scaled = AtScale(style, scale);
    return MeasureInFont(scaled, text, &w, &h) ? PanelLength(w, scale) : 0;
  }
  return MeasureInFont(style, text, &w, &h) ? w : 0;
}

bool IGraphics::RenderText(ITextStyle& style, const char* text, IRect& rect, bool measureOnly) {
  if (!measureOnly) {
    if (mDrawScale == 1.0) return RenderTextInto(mBackBuffer, style, text, rect);
    return RenderTextInto(mBackBuffer, style, text, DeviceRect(rect), mDrawScale);
  }
  if (!text || !*text) return true;
  int w = 0, h = 0;
  if (mDrawScale == 1.0) {
    if (!MeasureInFont(style, text, &w, &h)) return false;
  } else {
    ITextStyle scaled = AtScale(style, mDrawScale);
    if (!MeasureInFont(scaled, text, &w, &h)) return false;
    w = PanelLength(w, mDrawScale);
    h = PanelLength(h, mDrawScale);
  }
  switch (style.align) {
    case ITextStyle::AlignCentre:
      // The centre is taken in single precision, the half width as an integer.
      rect.L = static_cast<int>(static_cast<float>(rect.L + rect.R) * 0.5f) - w / 2;
      rect.R = rect.L + w;
      break;
    case ITextStyle::AlignRight: rect.L = rect.R - w; break;
    default:
      // Left alignment keeps the left edge; the width is added to it so the result is a
      // rectangle at the text's place, like the other two alignments.
      rect.R = rect.L + w;
      break;
  }
  rect.B = rect.T + h;
  return true;
}
