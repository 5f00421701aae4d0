// The text seam on Windows: fonts are GDI fonts (CreateFontA), glyphs for the glyph cache are
// rendered with DrawTextW into the shared glyph bitmap's device context, and platform drawing is
// DrawTextW (for text holding UTF-8) or DrawTextA (any other text, byte for byte).

#include "base/TextEncoding.h"
#include "bitmap/LICE_FontPlatform.h"
#include "bitmap/LICE_SysBitmap.h"
#include "bitmap/LICE_TextFlags.h"
#include "bitmap/LICE_TextPaint.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <new>
#include <string>
#include <vector>

namespace {

// The drawing flags that mean the same to DrawText (DT_CENTER, DT_RIGHT, DT_SINGLELINE).
constexpr UINT kDrawTextFlags = LICE_TEXT_CENTRE | LICE_TEXT_RIGHT | LICE_TEXT_SINGLE_LINE;
static_assert(LICE_TEXT_CENTRE == DT_CENTER && LICE_TEXT_RIGHT == DT_RIGHT && LICE_TEXT_SINGLE_LINE == DT_SINGLELINE &&
                  LICE_TEXT_NO_CLIP == DT_NOCLIP && LICE_TEXT_MEASURE == DT_CALCRECT,
              "the text flags are GDI's DrawText flags");

BYTE QualityOf(int quality) {
  switch (quality) {
    case 1: return NONANTIALIASED_QUALITY;
    case 2: return ANTIALIASED_QUALITY;
    case 3: return CLEARTYPE_QUALITY;
    default: return DEFAULT_QUALITY;
  }
}

COLORREF ColourRef(LICE_pixel p) { return RGB(LICE_PixelR(p), LICE_PixelG(p), LICE_PixelB(p)); }

// A device context with the font selected for the lifetime of this object: the given one, or a
// memory context of its own when none is given (measuring without a destination).
class FontContext {
public:
  FontContext(HDC dc, HFONT font) : mOwned(dc ? nullptr : CreateCompatibleDC(nullptr)), mDc(dc ? dc : mOwned) {
    if (mDc) mPrevious = SelectObject(mDc, font);
  }
  ~FontContext() {
    if (mDc && mPrevious && mPrevious != HGDI_ERROR) SelectObject(mDc, mPrevious);
    if (mOwned) DeleteDC(mOwned);
  }
  FontContext(const FontContext&) = delete;
  FontContext& operator=(const FontContext&) = delete;

  HDC Dc() const { return mDc; }
  bool Ok() const { return mDc && mPrevious && mPrevious != HGDI_ERROR; }

private:
  HDC mOwned;
  HDC mDc;
  HGDIOBJ mPrevious = nullptr;
};

// The characters of a run as UTF-16 for the wide GDI calls.
std::basic_string<WCHAR> Utf16(const char32_t* chars, int count) {
  return velmora_base::Utf16FromUtf32<WCHAR>(chars, static_cast<std::size_t>(count));
}

// DrawTextW when the run came from UTF-8, else DrawTextA over its bytes. Answers the height.
int CallDrawText(HDC dc, const LICE_TextRun& text, RECT* r, UINT format) {
  if (text.IsWide()) {
    const std::basic_string<WCHAR> wide = Utf16(text.Chars(), text.CharCount());
    return DrawTextW(dc, wide.data(), static_cast<int>(wide.size()), r, format);
  }
  return DrawTextA(dc, text.Bytes(), text.ByteCount(), r, format);
}

RECT ToRect(const LICE_Rect& r) { return RECT{r.L, r.T, r.R, r.B}; }

}  // namespace

namespace LICE_Platform {

LICE_PlatformFont CreatePlatformFont(const LICE_FontRequest& request) {
  return CreateFontA(request.height, 0, request.escapement, request.escapement, request.weight,
                     request.italic ? TRUE : FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, QualityOf(request.quality), DEFAULT_PITCH, request.face ? request.face : "");
}

void DeletePlatformFont(LICE_PlatformFont font) {
  if (font) DeleteObject(static_cast<HGDIOBJ>(font));
}

int PlatformFontLineHeight(LICE_PlatformFont font) {
  if (!font) return 0;
  FontContext context(nullptr, static_cast<HFONT>(font));
  TEXTMETRICA metrics{};
  if (!context.Ok() || !GetTextMetricsA(context.Dc(), &metrics)) return 0;
  return static_cast<int>(metrics.tmHeight);
}

std::string PlatformFontFamily(LICE_PlatformFont font) {
  if (!font) return std::string();
  FontContext context(nullptr, static_cast<HFONT>(font));
  char face[LF_FACESIZE] = {};
  if (!context.Ok() || GetTextFaceA(context.Dc(), LF_FACESIZE, face) <= 0) return std::string();
  return face;
}

bool RunsUnderWine() {
  static const bool underWine = [] {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Wine", 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }();
  return underWine;
}

bool RenderGlyph(LICE_PlatformFont font, char32_t ch, LICE_IBitmap* target, LICE_GlyphBox* box) {
  if (!font || !target || !target->Pixels() || !target->DrawingContext() || !box) return false;
  FontContext context(static_cast<HDC>(target->DrawingContext()), static_cast<HFONT>(font));
  if (!context.Ok()) return false;
  const HDC dc = context.Dc();
  const std::basic_string<WCHAR> wide = Utf16(&ch, 1);
  const int units = static_cast<int>(wide.size());

  SIZE extent{};
  if (!GetTextExtentPoint32W(dc, wide.data(), units, &extent)) return false;
  TEXTMETRICW metrics{};
  if (!GetTextMetricsW(dc, &metrics)) return false;
  // Glyphs may reach left of the pen (negative A width) or past the advance (negative C width).
  int left = 0;
  int right = extent.cx;
  ABC abc{};
  if (units == 1 && GetCharABCWidthsW(dc, wide[0], wide[0], &abc)) {
    left = std::min(0, abc.abcA);
    right = std::max(right, abc.abcA + static_cast<int>(abc.abcB));
  }
  box->advance = extent.cx;
  box->left = left;
  box->width = std::min(right - left, target->Width());
  const int height = std::min(static_cast<int>(metrics.tmHeight), target->Height());

  RECT cell{0, 0, std::max(box->width, 0), height};
  FillRect(dc, &cell, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  SetTextColor(dc, RGB(255, 255, 255));
  SetBkColor(dc, RGB(0, 0, 0));
  SetBkMode(dc, OPAQUE);
  RECT pen{-left, 0, cell.right, height};
  DrawTextW(dc, wide.data(), units, &pen, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP | DT_LEFT | DT_TOP);
  // GDI may batch; the pixels are read right after.
  GdiFlush();
  return true;
}

int DrawPlatformText(LICE_PlatformFont font, LICE_IBitmap* dest, const LICE_TextRun& text, LICE_Rect* rect, int flags,
                     const LICE_PlatformTextStyle& style) {
  const bool measure = (flags & LICE_TEXT_MEASURE) != 0;
  if (!font || !rect || (!dest && !measure)) return 0;
  // Prefix processing is always off: the bitmap layer draws '&' as written on every platform.
  const UINT format = (static_cast<UINT>(flags) & kDrawTextFlags) | DT_NOPREFIX;

  if (measure) {
    FontContext context(dest ? static_cast<HDC>(dest->DrawingContext()) : nullptr, static_cast<HFONT>(font));
    if (!context.Ok()) return 0;
    RECT r = ToRect(*rect);
    const int height = CallDrawText(context.Dc(), text, &r, format | DT_CALCRECT);
    rect->R = r.right;
    rect->B = r.bottom;
    return height;
  }

  const LICE_Rect clip =
      LICE_ClipToBitmap(*dest, (flags & LICE_TEXT_NO_CLIP) ? LICE_Rect(INT_MIN, INT_MIN, INT_MAX, INT_MAX) : *rect);
  if (clip.Width() <= 0 || clip.Height() <= 0 || !dest->Pixels()) return 0;

  // GDI draws into device contexts only: a destination without one lends its pixels to a
  // temporary DIB section for the call. Either way the region's pixels are kept, because GDI
  // clears the alpha byte of every pixel it writes; the pixels that changed get alpha 255 back.
  const int w = clip.Width();
  const int h = clip.Height();
  std::vector<LICE_pixel> before;
  try {
    before.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
  } catch (const std::bad_alloc&) {
    return 0;
  }
  for (int y = 0; y < h; ++y)
    std::copy_n(LICE_RowAddress(*dest, clip.T + y) + clip.L, w, before.data() + static_cast<size_t>(y) * w);

  LICE_SysBitmap scratch;
  LICE_IBitmap* surface = dest;
  int originX = 0;
  int originY = 0;
  if (!dest->DrawingContext()) {
    if (!scratch.Resize(w, h) || !scratch.Pixels()) return 0;
    for (int y = 0; y < h; ++y) std::copy_n(before.data() + static_cast<size_t>(y) * w, w, LICE_RowAddress(scratch, y));
    surface = &scratch;
    originX = clip.L;
    originY = clip.T;
  }

  int height = 0;
  {
    FontContext context(static_cast<HDC>(surface->DrawingContext()), static_cast<HFONT>(font));
    if (!context.Ok()) return 0;
    const HDC dc = context.Dc();
    const HRGN saved = CreateRectRgn(0, 0, 0, 0);
    const bool hadClip = saved && GetClipRgn(dc, saved) == 1;
    POINT oldOrigin{};
    SetViewportOrgEx(dc, -originX, -originY, &oldOrigin);
    // The clip rectangle is in logical units: those of the destination.
    IntersectClipRect(dc, clip.L, clip.T, clip.R, clip.B);
    SetTextColor(dc, ColourRef(style.colour));
    SetBkColor(dc, ColourRef(style.backColour));
    SetBkMode(dc, style.backMode == LICE_BACK_OPAQUE ? OPAQUE : TRANSPARENT);
    RECT r = ToRect(*rect);
    height = CallDrawText(dc, text, &r, format | DT_NOCLIP);
    GdiFlush();
    SelectClipRgn(dc, hadClip ? saved : nullptr);
    SetViewportOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    if (saved) DeleteObject(saved);
  }

  for (int y = 0; y < h; ++y) {
    const LICE_pixel* drawn = LICE_RowAddress(*surface, clip.T - originY + y) + (clip.L - originX);
    const LICE_pixel* old = before.data() + static_cast<size_t>(y) * w;
    LICE_pixel* out = LICE_RowAddress(*dest, clip.T + y) + clip.L;
    for (int x = 0; x < w; ++x) out[x] = drawn[x] == old[x] ? old[x] : (drawn[x] | 0xFF000000u);
  }
  return height;
}

}  // namespace LICE_Platform
