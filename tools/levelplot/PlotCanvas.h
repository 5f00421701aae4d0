#pragma once
// The few drawing operations a plot needs, on top of the bitmap layer's pixels: flat and
// translucent rectangles, anti-aliased polylines and filled areas under a curve, and text in the
// project's own fonts. Coordinates are pixels; a pixel's centre lies at (x + 0.5, y + 0.5).

#include "bitmap/LICE_IBitmap.h"
#include "bitmap/LICE_Rect.h"

#include <vector>

// A vertex of a curve. A y that is not a number breaks the curve there.
struct PlotPoint {
  float x;
  float y;
};

class PlotCanvas {
public:
  explicit PlotCanvas(LICE_IBitmap* target) : mTarget(target) {}

  // Opaque fill.
  void Fill(const LICE_Rect& r, LICE_pixel colour);
  // colour blended over what is there, by opacity 0..1.
  void Tint(const LICE_Rect& r, LICE_pixel colour, float opacity);
  // One-pixel lines.
  void HorizontalLine(int x0, int x1, int y, LICE_pixel colour, float opacity = 1.0f);
  void VerticalLine(int x, int y0, int y1, LICE_pixel colour, float opacity = 1.0f);
  // An outline one pixel wide just inside r.
  void Frame(const LICE_Rect& r, LICE_pixel colour);

  // The curve through points, width pixels thick, anti-aliased, limited to clip. Overlapping
  // segments do not darken their joints: coverage is gathered first and painted once.
  void Polyline(const std::vector<PlotPoint>& points, float width, LICE_pixel colour, const LICE_Rect& clip);
  // The area between the horizontal line at baseline and the curve, column by column, blended by
  // opacity; each column reaches as far as the furthest point of the curve inside it.
  void FillToBaseline(const std::vector<PlotPoint>& points, float baseline, LICE_pixel colour, float opacity,
                      const LICE_Rect& clip);

  enum Align { AlignLeft, AlignCentre, AlignRight };
  // One line of text in DejaVu Sans at pixel height size, its top at y and its left edge, centre
  // or right edge at x. Answers the text's width (0 when no font could be made).
  int Text(const char* text, int x, int y, int size, bool bold, LICE_pixel colour, Align align = AlignLeft);
  int TextWidth(const char* text, int size, bool bold);

private:
  // Paints a coverage mask the size of clip (one byte a pixel) in colour.
  void PaintMask(const std::vector<unsigned char>& mask, const LICE_Rect& clip, LICE_pixel colour, float opacity);

  LICE_IBitmap* mTarget;
};

// Colours as 0xRRGGBB, opaque.
constexpr LICE_pixel PlotColour(unsigned rgb) { return 0xFF000000u | (rgb & 0xFFFFFFu); }
