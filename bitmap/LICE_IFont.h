#pragma once
// The abstract font of the bitmap layer: draws and measures UTF-8 text into LICE bitmaps.

#include "bitmap/LICE_IBitmap.h"
#include "bitmap/LICE_Rect.h"

// A platform font (an HFONT on Windows, a FreeType face record elsewhere).
using LICE_PlatformFont = void*;

class LICE_IFont {
public:
  virtual ~LICE_IFont() = default;

  // Adopts a platform font with LICE_FONT_* flags; a previously owned, different font is deleted.
  virtual void SetFromPlatformFont(LICE_PlatformFont font, int flags) = 0;
  // Each setter answers the previous value.
  virtual LICE_pixel SetTextColour(LICE_pixel colour) = 0;
  virtual LICE_pixel SetBackColour(LICE_pixel colour) = 0;
  virtual LICE_pixel SetSecondColour(LICE_pixel colour) = 0;
  virtual int SetBackMode(int mode) = 0;
  // A blit operation (LICE_BLIT_COPY or LICE_BLIT_ADD) and its weight for glyph compositing.
  virtual void SetCombine(int mode, float alpha) = 0;
  // Draws text (length bytes, or up to the terminator when negative) into rect of dest with
  // LICE_TEXT_* flags; with LICE_TEXT_MEASURE sets rect's right and bottom to hold the text and
  // needs no destination. Answers the height of the text, 0 when nothing was drawn.
  virtual int DrawTextUtf8(LICE_IBitmap* dest, const char* text, int length, LICE_Rect* rect, int flags) = 0;
  virtual LICE_pixel TextColour() const = 0;
  virtual LICE_PlatformFont PlatformFont() const = 0;
  virtual int LineHeight() const = 0;
  // Composites one character's glyph with its pen position at (x, y) (the top of the line).
  // False when the glyph is not available or lies wholly outside clip.
  virtual bool DrawGlyph(LICE_IBitmap* dest, unsigned int character, int x, int y, const LICE_Rect& clip) = 0;

protected:
  LICE_IFont() = default;
  LICE_IFont(const LICE_IFont&) = default;
  LICE_IFont& operator=(const LICE_IFont&) = default;
};
