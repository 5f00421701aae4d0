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
}  // namespace

bool IGraphics::RenderTextInto(LICE_IBitmap* dest, ITextStyle& style, const char* text, const IRect& rect) {
  if (!text || !*text) return true;
  LICE_CachedFont* font = FontForStyle(style);
  if (!font) return false;
  const LICE_pixel colour = style.colour.Packed();
  font->SetTextColour(colour);
  LICE_Rect r(rect.L, rect.T, rect.R, rect.B);
  font->DrawTextUtf8(dest, text, -1, &r, LICE_RenderTextFlags(style.align, colour, false));
  return true;
}

int IGraphics::TextWidth(ITextStyle& style, const char* text) {
  LICE_CachedFont* font = text && *text ? FontForStyle(style) : nullptr;
  if (!font) return 0;
  LICE_Rect measured;
  font->DrawTextUtf8(nullptr, text, -1, &measured, LICE_RenderTextFlags(style.align, style.colour.Packed(), true));
  return measured.Width();
}

bool IGraphics::RenderText(ITextStyle& style, const char* text, IRect& rect, bool measureOnly) {
  if (!measureOnly) return RenderTextInto(mBackBuffer, style, text, rect);
  if (!text || !*text) return true;
  LICE_CachedFont* font = FontForStyle(style);
  if (!font) return false;
  const LICE_pixel colour = style.colour.Packed();
  font->SetTextColour(colour);
  const int flags = LICE_RenderTextFlags(style.align, colour, measureOnly);

  LICE_Rect measured;
  font->DrawTextUtf8(nullptr, text, -1, &measured, flags);
  const int w = measured.Width(), h = measured.Height();
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
