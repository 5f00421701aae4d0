#pragma once
// The platform seam under the text path: making platform fonts, rasterising one glyph into the
// glyph bitmap, and drawing text directly. Windows backs it with GDI; elsewhere FreeType faces
// found through fontconfig.

#include "bitmap/LICE_IFont.h"
#include "bitmap/LICE_TextRun.h"

#include <string>

// A font as asked for (the arguments of a platform font creation call).
struct LICE_FontRequest {
  int height = 0;      // pixels; positive: cell height, negative: character height
  int escapement = 0;  // tenths of a degree
  int weight = 400;    // 400 normal, 700 bold
  bool italic = false;
  int quality = 0;  // 0 platform default, 1 non-antialiased, 2 antialiased, 3 ClearType
  const char* face = "";
};

// Where one rendered glyph lies relative to the pen: its cell starts left pixels right of the pen
// (negative for glyphs reaching back), is width pixels wide and one line high.
struct LICE_GlyphBox {
  int advance = 0;
  int left = 0;
  int width = 0;
};

// How the platform paints when it draws text itself.
struct LICE_PlatformTextStyle {
  LICE_pixel colour = 0;
  int backMode = 1;
  LICE_pixel backColour = 0xFFFFFFFF;
};

namespace LICE_Platform {

// Null when no font can be made.
LICE_PlatformFont CreatePlatformFont(const LICE_FontRequest& request);
void DeletePlatformFont(LICE_PlatformFont font);
// Height of one line of text in pixels.
int PlatformFontLineHeight(LICE_PlatformFont font);
// The family actually used (which differs from the request when it fell back).
std::string PlatformFontFamily(LICE_PlatformFont font);

// Whether the module runs under Wine, whose platform text drawing is not trusted; looked up once.
bool RunsUnderWine();

// Renders character ch alone, white on opaque black, into the top-left corner of target (at
// most its size); the cell is box->width pixels wide and one line high. False when it cannot.
bool RenderGlyph(LICE_PlatformFont font, char32_t ch, LICE_IBitmap* target, LICE_GlyphBox* box);

// Draws (or with LICE_TEXT_MEASURE measures) the text the platform's own way. Same contract as
// LICE_IFont::DrawTextUtf8.
int DrawPlatformText(LICE_PlatformFont font, LICE_IBitmap* dest, const LICE_TextRun& text, LICE_Rect* rect, int flags,
                     const LICE_PlatformTextStyle& style);

}  // namespace LICE_Platform
