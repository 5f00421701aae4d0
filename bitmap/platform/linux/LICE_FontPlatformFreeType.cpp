// The text seam on systems without GDI: fonts are FreeType faces located through fontconfig, and
// "platform drawing" renders glyphs straight from FreeType into the destination.

#include "bitmap/LICE_FontPlatform.h"
#include "bitmap/LICE_TextFlags.h"
#include "bitmap/LICE_TextLayout.h"
#include "bitmap/LICE_TextPaint.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <strings.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>
#include <string>
#include <vector>

namespace {

constexpr const char* kFallbackFamily = "DejaVu Sans";
constexpr const char* kFallbackFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
// Height 0 asks for the platform's default size.
constexpr int kDefaultHeight = 16;
// Taller requests are refused: their glyph images alone would run to megabytes.
constexpr int kMaxHeight = 2048;

// FreeType's library object and a fontconfig configuration of our own (the host process may use
// the global one as it likes), shared by all faces. The record is never destroyed, so fonts
// deleted during static destruction still find it; library and configuration go with the last
// face.
struct FreeTypeState {
  std::mutex mutex;
  FT_Library library = nullptr;
  FcConfig* config = nullptr;
  int faces = 0;
};

// Caller holds the state lock.
bool OpenLibraries(FreeTypeState& state) {
  if (!state.library && FT_Init_FreeType(&state.library) != 0) state.library = nullptr;
  if (!state.config) state.config = FcInitLoadConfigAndFonts();
  return state.library != nullptr;
}

void CloseLibrariesWhenUnused(FreeTypeState& state) {
  if (state.faces > 0) return;
  if (state.library) FT_Done_FreeType(state.library);
  if (state.config) FcConfigDestroy(state.config);
  state.library = nullptr;
  state.config = nullptr;
}

FreeTypeState& State() {
  static auto* state = new FreeTypeState;
  return *state;
}

struct FontRecord {
  FT_Face face = nullptr;
  std::string family;
  int ascent = 0;
  int lineHeight = 0;
  bool mono = false;
  bool embolden = false;
  bool oblique = false;
};

struct GlyphImage {
  std::vector<uint8_t> coverage;
  int width = 0;
  int rows = 0;
  int left = 0;  // from the pen to the image's left edge
  int top = 0;   // from the baseline up to the image's top edge
  int advance = 0;
};

bool HasFamily(FcPattern* pattern, const char* family) {
  FcChar8* name = nullptr;
  for (int i = 0; FcPatternGetString(pattern, FC_FAMILY, i, &name) == FcResultMatch; ++i)
    if (strcasecmp(reinterpret_cast<const char*>(name), family) == 0) return true;
  return false;
}

// The font file fontconfig picks for the family, weight and slant; false when it has no font of
// that family (fontconfig would otherwise substitute silently).
bool MatchFontFile(FcConfig* config, const char* family, bool bold, bool italic, std::string* file, int* index,
                   std::string* matched) {
  if (!config || !family || !*family) return false;
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return false;
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(config, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return false;

  bool ok = false;
  FcChar8* path = nullptr;
  if (HasFamily(match, family) && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
    int i = 0;
    if (FcPatternGetInteger(match, FC_INDEX, 0, &i) != FcResultMatch) i = 0;
    *file = reinterpret_cast<const char*>(path);
    *index = i;
    FcChar8* name = nullptr;
    *matched =
        FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch ? reinterpret_cast<const char*>(name) : family;
    ok = true;
  }
  FcPatternDestroy(match);
  return ok;
}

// Opens the requested family, else DejaVu Sans through fontconfig, else DejaVu Sans's usual file.
FT_Face OpenFace(const FreeTypeState& state, const LICE_FontRequest& request, std::string* family) {
  FT_Library library = state.library;
  const bool bold = request.weight >= 700;
  std::string file;
  int index = 0;
  FT_Face face = nullptr;
  if (MatchFontFile(state.config, request.face, bold, request.italic, &file, &index, family) &&
      FT_New_Face(library, file.c_str(), index, &face) == 0)
    return face;
  if (MatchFontFile(state.config, kFallbackFamily, bold, request.italic, &file, &index, family) &&
      FT_New_Face(library, file.c_str(), index, &face) == 0)
    return face;
  *family = kFallbackFamily;
  if (FT_New_Face(library, kFallbackFile, 0, &face) == 0) return face;
  return nullptr;
}

// Positive heights are cell heights (ascender to descender), negative ones character heights.
bool SetPixelHeight(FT_Face face, int height) {
  FT_Size_RequestRec size{};
  size.type = height > 0 ? FT_SIZE_REQUEST_TYPE_REAL_DIM : FT_SIZE_REQUEST_TYPE_NOMINAL;
  size.height = static_cast<FT_Long>(std::abs(height)) * 64;
  if (FT_Request_Size(face, &size) == 0) return true;
  // Bitmap-only faces offer fixed sizes alone.
  return face->num_fixed_sizes > 0 && FT_Select_Size(face, 0) == 0;
}

FT_Int32 LoadFlags(const FontRecord& f) {
  return FT_LOAD_DEFAULT | (f.mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
}

// Loads the glyph with the synthetic bold and slant the face lacks. Caller holds the state lock.
bool LoadGlyph(FontRecord& f, char32_t ch) {
  if (FT_Load_Char(f.face, ch, LoadFlags(f)) != 0) return false;
  if (f.embolden) FT_GlyphSlot_Embolden(f.face->glyph);
  if (f.oblique) FT_GlyphSlot_Oblique(f.face->glyph);
  return true;
}

int AdvanceOf(FontRecord& f, char32_t ch) {
  return LoadGlyph(f, ch) ? static_cast<int>((f.face->glyph->advance.x + 32) >> 6) : 0;
}

bool Rasterise(FontRecord& f, char32_t ch, GlyphImage* image) {
  if (!LoadGlyph(f, ch)) return false;
  FT_GlyphSlot slot = f.face->glyph;
  if (slot->format != FT_GLYPH_FORMAT_BITMAP &&
      FT_Render_Glyph(slot, f.mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0)
    return false;
  const FT_Bitmap& bm = slot->bitmap;
  image->advance = static_cast<int>((slot->advance.x + 32) >> 6);
  image->left = slot->bitmap_left;
  image->top = slot->bitmap_top;
  image->width = static_cast<int>(bm.width);
  image->rows = static_cast<int>(bm.rows);
  try {
    image->coverage.assign(static_cast<size_t>(image->width) * static_cast<size_t>(image->rows), 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  const int pitch = std::abs(bm.pitch);
  for (int y = 0; y < image->rows; ++y) {
    const unsigned char* row = bm.buffer + static_cast<ptrdiff_t>(bm.pitch >= 0 ? y : image->rows - 1 - y) * pitch;
    uint8_t* out = image->coverage.data() + static_cast<size_t>(y) * static_cast<size_t>(image->width);
    for (int x = 0; x < image->width; ++x) {
      switch (bm.pixel_mode) {
        case FT_PIXEL_MODE_MONO: out[x] = ((row[x >> 3] >> (7 - (x & 7))) & 1) ? 255 : 0; break;
        case FT_PIXEL_MODE_GRAY:
          out[x] = bm.num_grays == 256 ? row[x] : static_cast<uint8_t>(row[x] * 255 / std::max(1, bm.num_grays - 1));
          break;
        case FT_PIXEL_MODE_BGRA: out[x] = row[4 * x + 3]; break;
        default: return false;
      }
    }
  }
  return true;
}

FontRecord* Record(LICE_PlatformFont font) { return static_cast<FontRecord*>(font); }

}  // namespace

namespace LICE_Platform {

LICE_PlatformFont CreatePlatformFont(const LICE_FontRequest& request) {
  const int height = request.height == 0 ? kDefaultHeight : request.height;
  if (height > kMaxHeight || height < -kMaxHeight) return nullptr;

  FreeTypeState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto* record = OpenLibraries(state) ? new (std::nothrow) FontRecord : nullptr;
  if (record) record->face = OpenFace(state, request, &record->family);
  if (!record || !record->face || !SetPixelHeight(record->face, height)) {
    if (record && record->face) FT_Done_Face(record->face);
    delete record;
    CloseLibrariesWhenUnused(state);
    return nullptr;
  }
  ++state.faces;

  const FT_Size_Metrics& m = record->face->size->metrics;
  record->ascent = static_cast<int>((m.ascender + 63) >> 6);
  record->lineHeight = record->ascent + static_cast<int>((-m.descender + 63) >> 6);
  if (record->lineHeight < 1) record->lineHeight = std::abs(height);
  record->mono = request.quality == 1;
  record->embolden = request.weight >= 700 && !(record->face->style_flags & FT_STYLE_FLAG_BOLD);
  record->oblique = request.italic && !(record->face->style_flags & FT_STYLE_FLAG_ITALIC);
  return record;
}

void DeletePlatformFont(LICE_PlatformFont font) {
  if (!font) return;
  FreeTypeState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  FT_Done_Face(Record(font)->face);
  delete Record(font);
  --state.faces;
  CloseLibrariesWhenUnused(state);
}

int PlatformFontLineHeight(LICE_PlatformFont font) { return font ? Record(font)->lineHeight : 0; }

std::string PlatformFontFamily(LICE_PlatformFont font) { return font ? Record(font)->family : std::string(); }

bool RunsUnderWine() { return false; }

bool RenderGlyph(LICE_PlatformFont font, char32_t ch, LICE_IBitmap* target, LICE_GlyphBox* box) {
  if (!font || !target || !target->Pixels() || !box) return false;
  FontRecord& f = *Record(font);
  GlyphImage image;
  {
    std::lock_guard<std::mutex> lock(State().mutex);
    if (!Rasterise(f, ch, &image)) return false;
  }
  // The cell reaches from the pen (or further left, for glyphs that overhang backwards) to the
  // advance (or further right).
  box->advance = image.advance;
  box->left = std::min(0, image.left);
  const int right = std::max(image.advance, image.left + image.width);
  box->width = std::min(right - box->left, target->Width());

  const int h = std::min(f.lineHeight, target->Height());
  for (int y = 0; y < h; ++y)
    std::fill_n(LICE_RowAddress(*target, y), std::max(box->width, 0), LICE_MakePixel(0, 0, 0, 255));
  const LICE_Rect cell(0, 0, std::max(box->width, 0), h);
  LICE_TextPaint white;
  white.colour = LICE_MakePixel(255, 255, 255, 255);
  LICE_PaintCoverage(target, image.left - box->left, f.ascent - image.top, image.coverage.data(), image.width,
                     image.rows, image.width, cell, white);
  return true;
}

int DrawPlatformText(LICE_PlatformFont font, LICE_IBitmap* dest, const LICE_TextRun& text, LICE_Rect* rect, int flags,
                     const LICE_PlatformTextStyle& style) {
  const bool measure = (flags & LICE_TEXT_MEASURE) != 0;
  if (!font || !rect || (!dest && !measure)) return 0;
  FontRecord& f = *Record(font);
  std::lock_guard<std::mutex> lock(State().mutex);

  const LICE_TextLayout layout(text.Chars(), text.CharCount(), flags, f.lineHeight, 0,
                               [&f](char32_t c) { return AdvanceOf(f, c); });
  if (measure) {
    layout.Measure(rect);
    return layout.Height();
  }

  const LICE_Rect clip =
      LICE_ClipToBitmap(*dest, (flags & LICE_TEXT_NO_CLIP) ? LICE_Rect(INT_MIN, INT_MIN, INT_MAX, INT_MAX) : *rect);
  // The platform draws text in the solid colour; its alpha plays no part.
  LICE_TextPaint paint;
  paint.colour = style.colour;
  GlyphImage image;
  const auto& lines = layout.Lines();
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    const long long y = layout.LineY(i, *rect);
    long long x = layout.LineX(i, *rect);
    const auto inRange = [](long long v) { return v > INT_MIN / 2 && v < INT_MAX / 2; };
    if (!inRange(x) || !inRange(y)) continue;
    if (style.backMode == LICE_BACK_OPAQUE)
      LICE_FillRect(dest,
                    LICE_Rect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(x + lines[i].width),
                              static_cast<int>(y + f.lineHeight)),
                    style.backColour, clip);
    for (int c = lines[i].begin; c < lines[i].end && inRange(x); ++c) {
      const char32_t ch = text.Chars()[c];
      if (LICE_TextLayout::Skipped(ch) || !Rasterise(f, ch, &image)) continue;
      LICE_PaintCoverage(dest, static_cast<int>(x) + image.left, static_cast<int>(y) + f.ascent - image.top,
                         image.coverage.data(), image.width, image.rows, image.width, clip, paint);
      x += image.advance;
    }
  }
  return layout.Height();
}

}  // namespace LICE_Platform
