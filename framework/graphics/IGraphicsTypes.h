#pragma once
// The graphics layer's small value types, copied by value: colour, blend, modifier set, text
// style and the descriptor of a loaded filmstrip.

#include "framework/BoundedText.h"

#include <cstdint>

class LICE_IBitmap;
class LICE_CachedFont;

struct IArgb {
  int32_t A = 255, R = 0, G = 0, B = 0;

  IArgb() = default;
  IArgb(int a, int r, int g, int b) : A(a), R(r), G(g), B(b) {}
  // The bitmap layer's pixel value.
  uint32_t Packed() const {
    return static_cast<uint32_t>(A) << 24 | static_cast<uint32_t>(R) << 16 | static_cast<uint32_t>(G) << 8 |
           static_cast<uint32_t>(B);
  }
};

struct IBlend {
  enum EKind : int32_t { BlendOver = 0, BlendReplace = 1, BlendAdd = 2, BlendDodge = 3 };
  int32_t kind = BlendOver;
  float weight = 1.0f;

  IBlend() = default;
  IBlend(int32_t k, float w) : kind(k), weight(w) {}
};

// Mouse buttons and modifier keys of one event.
struct IModifiers {
  bool L = false, R = false, S = false, C = false, A = false;

  IModifiers() = default;
  IModifiers(bool l, bool r = false, bool s = false, bool c = false, bool a = false) : L(l), R(r), S(s), C(c), A(a) {}
};

struct ITextStyle {
  enum EStyle : int32_t { StyleNormal = 0, StyleBold = 1, StyleItalic = 2 };
  enum EAlign : int32_t { AlignLeft = 0, AlignCentre = 1, AlignRight = 2 };
  enum EQuality : int32_t {
    QualityDefault = 0,
    QualityNonAntiAliased = 1,
    QualityAntiAliased = 2,
    QualityClearType = 3
  };
  static constexpr int kFaceLen = 32;

  char face[kFaceLen] = "Verdana";
  int32_t size = 12;
  IArgb colour{255, 0, 0, 0};
  IArgb entryBackground{255, 255, 255, 255};
  IArgb entryForeground{255, 0, 0, 0};
  int32_t style = StyleNormal;
  int32_t align = AlignCentre;
  int32_t orientation = 0;
  int32_t quality = QualityDefault;
  // Made on first use and owned by the module-wide font cache.
  LICE_CachedFont* cachedFont = nullptr;

  ITextStyle() = default;
  ITextStyle(const char* faceName, int sizePx, const IArgb& textColour, int32_t textStyle = StyleNormal,
             int32_t alignment = AlignCentre)
      : size(sizePx), colour(textColour), style(textStyle), align(alignment) {
    SetFace(faceName);
  }
  void SetFace(const char* faceName) { CopyBoundedText(face, faceName, sizeof(face)); }
};

// A loaded filmstrip: the bitmap belongs to the module-wide cache, never to the descriptor. A
// failed load leaves bitmap null and the sizes 0, and such a filmstrip draws nothing.
struct IFilmstrip {
  LICE_IBitmap* bitmap = nullptr;
  int W = 0;
  int H = 0;
  int N = 1;
  bool framesSideBySide = false;

  IFilmstrip() = default;
  IFilmstrip(LICE_IBitmap* bmp, int w, int h, int n, bool sideBySide = false)
      : bitmap(bmp), W(w), H(h), N(n), framesSideBySide(sideBySide) {}

  // One frame's size; a frame count below 1 counts as one frame.
  int FrameWidth() const { return framesSideBySide ? W / (N > 0 ? N : 1) : W; }
  int FrameHeight() const { return framesSideBySide ? H : H / (N > 0 ? N : 1); }
};

// Key codes passed to OnKey (the platform window maps its own key events onto them).
enum EKeyCode {
  KeySpace = 0,
  KeyUp = 1,
  KeyDown = 2,
  KeyLeft = 3,
  KeyRight = 4,
  KeyDigit0 = 5,  // ... KeyDigit0 + 9
  KeyA = 15,      // ... KeyA + 25
};
