#include "tools/levelplot/PlotCanvas.h"

#include "bitmap/LICE_CachedFont.h"
#include "bitmap/LICE_FontCache.h"
#include "bitmap/LICE_TextFlags.h"
#include "bitmap/LICE_TextPaint.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr const char* kFace = "DejaVu Sans";
constexpr int kAntialiased = 2;

LICE_Rect Intersect(const LICE_Rect& a, const LICE_Rect& b) {
  LICE_Rect r(std::max(a.L, b.L), std::max(a.T, b.T), std::min(a.R, b.R), std::min(a.B, b.B));
  if (r.R < r.L) r.R = r.L;
  if (r.B < r.T) r.B = r.T;
  return r;
}

int Opacity256(float opacity) {
  if (!(opacity > 0.0f)) return 0;
  return opacity >= 1.0f ? 256 : static_cast<int>(opacity * 256.0f + 0.5f);
}

// Distance from (px, py) to the segment a-b.
float SegmentDistance(float px, float py, const PlotPoint& a, const PlotPoint& b) {
  const float dx = b.x - a.x, dy = b.y - a.y;
  const float lengthSq = dx * dx + dy * dy;
  float t = lengthSq > 0.0f ? ((px - a.x) * dx + (py - a.y) * dy) / lengthSq : 0.0f;
  t = std::min(1.0f, std::max(0.0f, t));
  const float ex = a.x + t * dx - px, ey = a.y + t * dy - py;
  return std::sqrt(ex * ex + ey * ey);
}

LICE_CachedFont* Font(int size, bool bold) {
  return LICE_FontCache::Module().FontFor(size, 0, bold ? 1 : 0, kAntialiased, kFace);
}

}  // namespace

void PlotCanvas::Fill(const LICE_Rect& r, LICE_pixel colour) {
  LICE_FillRect(mTarget, r, colour, LICE_ClipToBitmap(*mTarget, r));
}

void PlotCanvas::Tint(const LICE_Rect& r, LICE_pixel colour, float opacity) {
  const LICE_Rect clip = LICE_ClipToBitmap(*mTarget, r);
  if (clip.Width() <= 0 || clip.Height() <= 0) return;
  const std::vector<unsigned char> full(static_cast<size_t>(clip.Width()) * static_cast<size_t>(clip.Height()), 255);
  PaintMask(full, clip, colour, opacity);
}

void PlotCanvas::HorizontalLine(int x0, int x1, int y, LICE_pixel colour, float opacity) {
  Tint(LICE_Rect(std::min(x0, x1), y, std::max(x0, x1) + 1, y + 1), colour, opacity);
}

void PlotCanvas::VerticalLine(int x, int y0, int y1, LICE_pixel colour, float opacity) {
  Tint(LICE_Rect(x, std::min(y0, y1), x + 1, std::max(y0, y1) + 1), colour, opacity);
}

void PlotCanvas::Frame(const LICE_Rect& r, LICE_pixel colour) {
  if (r.Width() <= 0 || r.Height() <= 0) return;
  Fill(LICE_Rect(r.L, r.T, r.R, r.T + 1), colour);
  Fill(LICE_Rect(r.L, r.B - 1, r.R, r.B), colour);
  Fill(LICE_Rect(r.L, r.T, r.L + 1, r.B), colour);
  Fill(LICE_Rect(r.R - 1, r.T, r.R, r.B), colour);
}

void PlotCanvas::PaintMask(const std::vector<unsigned char>& mask, const LICE_Rect& clip, LICE_pixel colour,
                           float opacity) {
  LICE_TextPaint paint;
  paint.colour = colour;
  paint.opacity = Opacity256(opacity);
  LICE_PaintCoverage(mTarget, clip.L, clip.T, mask.data(), clip.Width(), clip.Height(), clip.Width(), clip, paint);
}

void PlotCanvas::Polyline(const std::vector<PlotPoint>& points, float width, LICE_pixel colour, const LICE_Rect& clip) {
  const LICE_Rect area = Intersect(LICE_ClipToBitmap(*mTarget, clip), clip);
  const int w = area.Width(), h = area.Height();
  if (w <= 0 || h <= 0 || points.empty()) return;
  std::vector<unsigned char> mask(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
  const float half = width * 0.5f;
  const float reach = half + 1.0f;

  auto cover = [&](const PlotPoint& a, const PlotPoint& b) {
    const int x0 = std::max(area.L, static_cast<int>(std::floor(std::min(a.x, b.x) - reach)));
    const int x1 = std::min(area.R, static_cast<int>(std::ceil(std::max(a.x, b.x) + reach)));
    const int y0 = std::max(area.T, static_cast<int>(std::floor(std::min(a.y, b.y) - reach)));
    const int y1 = std::min(area.B, static_cast<int>(std::ceil(std::max(a.y, b.y) + reach)));
    for (int y = y0; y < y1; ++y) {
      unsigned char* row = mask.data() + static_cast<size_t>(y - area.T) * static_cast<size_t>(w);
      for (int x = x0; x < x1; ++x) {
        // A pixel is covered by the part of it within half the width of the segment.
        const float d = SegmentDistance(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f, a, b);
        const float c = std::min(1.0f, std::max(0.0f, half + 0.5f - d));
        const auto v = static_cast<unsigned char>(c * 255.0f + 0.5f);
        unsigned char& m = row[x - area.L];
        if (v > m) m = v;
      }
    }
  };

  for (size_t i = 0; i < points.size(); ++i) {
    const PlotPoint& p = points[i];
    if (std::isnan(p.y)) continue;
    const bool hasNext = i + 1 < points.size() && !std::isnan(points[i + 1].y);
    const bool hasPrevious = i > 0 && !std::isnan(points[i - 1].y);
    if (hasNext)
      cover(p, points[i + 1]);
    else if (!hasPrevious)
      cover(p, p);  // a lone point between gaps still shows as a dot
  }
  PaintMask(mask, area, colour, 1.0f);
}

void PlotCanvas::FillToBaseline(const std::vector<PlotPoint>& points, float baseline, LICE_pixel colour, float opacity,
                                const LICE_Rect& clip) {
  const LICE_Rect area = Intersect(LICE_ClipToBitmap(*mTarget, clip), clip);
  const int w = area.Width(), h = area.Height();
  if (w <= 0 || h <= 0 || points.empty()) return;

  // Per column, the furthest reach from the baseline: points inside it, and the curve where it
  // crosses the column's centre.
  std::vector<float> reach(static_cast<size_t>(w), std::nanf(""));
  auto extend = [&](int column, float y) {
    if (column < area.L || column >= area.R) return;
    float& r = reach[static_cast<size_t>(column - area.L)];
    if (std::isnan(r) || std::fabs(y - baseline) > std::fabs(r - baseline)) r = y;
  };
  for (size_t i = 0; i < points.size(); ++i) {
    const PlotPoint& a = points[i];
    if (std::isnan(a.y)) continue;
    extend(static_cast<int>(std::floor(a.x)), a.y);
    if (i + 1 >= points.size() || std::isnan(points[i + 1].y)) continue;
    const PlotPoint& b = points[i + 1];
    const int c0 = static_cast<int>(std::ceil(std::min(a.x, b.x) - 0.5f));
    const int c1 = static_cast<int>(std::floor(std::max(a.x, b.x) - 0.5f));
    for (int c = c0; c <= c1; ++c) {
      const float cx = static_cast<float>(c) + 0.5f;
      const float t = b.x != a.x ? (cx - a.x) / (b.x - a.x) : 0.0f;
      extend(c, a.y + t * (b.y - a.y));
    }
  }

  std::vector<unsigned char> mask(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
  for (int c = 0; c < w; ++c) {
    const float r = reach[static_cast<size_t>(c)];
    if (std::isnan(r)) continue;
    const float top = std::min(r, baseline), bottom = std::max(r, baseline);
    for (int y = area.T; y < area.B; ++y) {
      // The share of the pixel's height between top and bottom.
      const float covered = std::min(bottom, static_cast<float>(y + 1)) - std::max(top, static_cast<float>(y));
      if (covered <= 0.0f) continue;
      mask[static_cast<size_t>(y - area.T) * static_cast<size_t>(w) + static_cast<size_t>(c)] =
          static_cast<unsigned char>(std::min(1.0f, covered) * 255.0f + 0.5f);
    }
  }
  PaintMask(mask, area, colour, opacity);
}

int PlotCanvas::TextWidth(const char* text, int size, bool bold) {
  LICE_CachedFont* font = Font(size, bold);
  if (!font || !text) return 0;
  LICE_Rect r;
  font->DrawTextUtf8(nullptr, text, -1, &r, LICE_TEXT_SINGLE_LINE | LICE_TEXT_MEASURE);
  return r.Width();
}

int PlotCanvas::Text(const char* text, int x, int y, int size, bool bold, LICE_pixel colour, Align align) {
  LICE_CachedFont* font = Font(size, bold);
  if (!font || !text) return 0;
  const int width = TextWidth(text, size, bold);
  const int left = align == AlignCentre ? x - width / 2 : align == AlignRight ? x - width : x;
  font->SetTextColour(colour);
  LICE_Rect r(left, y, left + width, y + font->LineHeight());
  font->DrawTextUtf8(mTarget, text, -1, &r, LICE_TEXT_SINGLE_LINE | LICE_TEXT_NO_CLIP);
  return width;
}
