#include "tools/levelplot/LevelPlot.h"

#include "bitmap/LICE_MemBitmap.h"
#include "bitmap/LICE_PngEncode.h"
#include "tools/levelplot/PlotCanvas.h"
#include "tools/levelplot/PlotScale.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// The panel's palette: graphite ground, ivory print, amber accents.
const LICE_pixel kGround = PlotColour(0x1B1D20);
const LICE_pixel kPanel = PlotColour(0x24272B);
const LICE_pixel kPanelEdge = PlotColour(0x3B3F45);
const LICE_pixel kGrid = PlotColour(0x33373C);
const LICE_pixel kZeroLine = PlotColour(0x5A5F66);
const LICE_pixel kLabel = PlotColour(0xA8A294);
const LICE_pixel kIvory = PlotColour(0xECE4D0);
const LICE_pixel kAmber = PlotColour(0xE8A23A);
const LICE_pixel kInputTrace = PlotColour(0xB9B3A4);
const LICE_pixel kOutputTrace = PlotColour(0xF2A83C);
const LICE_pixel kGainTrace = PlotColour(0xE4694D);

// Layout in pixels.
constexpr int kPlotLeft = 58;
constexpr int kPlotRight = kLevelPlotWidth - 18;
constexpr int kLevelTop = 56, kLevelBottom = 210;
constexpr int kGainTop = 236, kGainBottom = 322;
constexpr int kTimeLabelTop = 327;
constexpr int kCaptionGap = 16;  // captions sit above their panels, clear of the curves
constexpr int kLabelSize = 11;

struct Series {
  std::vector<float> times;  // window centres, seconds
  std::vector<float> in, out, gain;
};

// With many more windows than pixel columns the curves are reduced to one value per group of
// windows: the loudest level and the deepest gain change, so short peaks and dips stay visible.
Series Reduce(const LevelTrace& trace, int columns) {
  Series s;
  const size_t n = trace.WindowCount();
  const size_t group = n > static_cast<size_t>(2 * columns) ? (n + static_cast<size_t>(columns) - 1) / columns : 1;
  for (size_t start = 0; start < n; start += group) {
    const size_t end = std::min(n, start + group);
    float in = kSilenceDb, out = kSilenceDb, gain = std::nanf("");
    for (size_t i = start; i < end; ++i) {
      in = std::max(in, trace.inRmsDb[i]);
      out = std::max(out, trace.outRmsDb[i]);
      const float g = trace.gainChangeDb[i];
      if (!std::isnan(g) && (std::isnan(gain) || g < gain)) gain = g;
    }
    const double centre = 0.5 * (trace.WindowStart(start) + std::min(trace.WindowStart(end), trace.totalSeconds));
    s.times.push_back(static_cast<float>(centre));
    s.in.push_back(in);
    s.out.push_back(out);
    s.gain.push_back(gain);
  }
  return s;
}

// Smallest and largest of the values that are numbers; false when there are none.
bool Extent(const std::vector<float>& values, float* low, float* high) {
  bool any = false;
  for (float v : values) {
    if (std::isnan(v)) continue;
    *low = any ? std::min(*low, v) : v;
    *high = any ? std::max(*high, v) : v;
    any = true;
  }
  return any;
}

std::vector<PlotPoint> Points(const std::vector<float>& times, const std::vector<float>& values, const PlotScale& x,
                              const PlotScale& y) {
  std::vector<PlotPoint> points;
  points.reserve(values.size());
  // Values far outside the panel are pinned just beyond its edge, so lines leave it cleanly.
  const double margin = (y.high - y.low) * 0.05;
  for (size_t i = 0; i < values.size(); ++i) {
    const float v = values[i];
    const float py = std::isnan(v) ? v : y.ToPixel(std::min(y.high + margin, std::max(y.low - margin, double(v))));
    points.push_back(PlotPoint{x.ToPixel(times[i]), py});
  }
  return points;
}

std::string FormatNumber(double v, int decimals, bool sign = false) {
  char text[32];
  std::snprintf(text, sizeof(text), sign && v > 0 ? "+%.*f" : "%.*f", decimals, v);
  return text;
}

int Decimals(double step) {
  int d = 0;
  while (d < 3 && std::fabs(step * std::pow(10.0, d) - std::round(step * std::pow(10.0, d))) > 1e-6) ++d;
  return d;
}

// Panel ground, horizontal grid with labels in the left margin, vertical time grid.
void DrawPanel(PlotCanvas& canvas, const LICE_Rect& panel, const PlotScale& y, double gridStep, const PlotScale& x,
               double timeStep, const char* caption, const char* unit, bool signedLabels) {
  canvas.Fill(panel, kPanel);
  for (double t : GridValues(x.low, x.high, timeStep)) {
    const int px = static_cast<int>(std::floor(x.ToPixel(t)));
    if (px > panel.L && px < panel.R - 1) canvas.VerticalLine(px, panel.T + 1, panel.B - 2, kGrid);
  }
  for (double v : GridValues(y.low, y.high, gridStep)) {
    const int py = static_cast<int>(std::floor(y.ToPixel(v)));
    const bool zero = v == 0.0;
    if (py > panel.T && py < panel.B - 1) canvas.HorizontalLine(panel.L + 1, panel.R - 2, py, zero ? kZeroLine : kGrid);
    canvas.Text(FormatNumber(v, 0, signedLabels).c_str(), panel.L - 8, py - 7, kLabelSize, false, kLabel,
                PlotCanvas::AlignRight);
  }
  canvas.Frame(panel, kPanelEdge);
  const int captionTop = panel.T - kCaptionGap;
  canvas.Text(caption, panel.L, captionTop, 11, true, kAmber);
  canvas.Text(unit, panel.L + canvas.TextWidth(caption, 11, true) + 8, captionTop, 11, false, kLabel);
}

// Legend entries from the right edge leftwards, on the title row.
void DrawLegend(PlotCanvas& canvas) {
  struct Entry {
    const char* label;
    LICE_pixel colour;
  };
  const Entry entries[] = {{"Input", kInputTrace}, {"Output", kOutputTrace}, {"Gain change", kGainTrace}};
  int x = kPlotRight;
  for (int i = 2; i >= 0; --i) {
    const int w = canvas.TextWidth(entries[i].label, 12, false);
    x -= w;
    canvas.Text(entries[i].label, x, 15, 12, false, kIvory);
    x -= 24;
    canvas.Fill(LICE_Rect(x, 21, x + 18, 24), entries[i].colour);
    x -= 18;
  }
}

}  // namespace

bool RenderLevelPlot(const LevelTrace& trace, const char* title, LICE_IBitmap* bitmap) {
  if (!bitmap || trace.WindowCount() == 0 || trace.outRmsDb.size() != trace.WindowCount() ||
      trace.gainChangeDb.size() != trace.WindowCount() || !(trace.totalSeconds > 0.0))
    return false;
  bitmap->Resize(kLevelPlotWidth, kLevelPlotHeight);
  if (!bitmap->Pixels() || bitmap->Width() != kLevelPlotWidth || bitmap->Height() != kLevelPlotHeight) return false;

  PlotCanvas canvas(bitmap);
  canvas.Fill(LICE_Rect(0, 0, kLevelPlotWidth, kLevelPlotHeight), kGround);

  const Series s = Reduce(trace, kPlotRight - kPlotLeft);

  // Levels: -60 .. 0 dBFS, opened upwards in 10 dB steps when something went over full scale.
  float low = 0.0f, high = 0.0f, inLow = 0.0f, inHigh = 0.0f;
  Extent(s.out, &low, &high);
  Extent(s.in, &inLow, &inHigh);
  const double levelTop = std::min(20.0, std::max(0.0, std::ceil(std::max(high, inHigh) / 10.0) * 10.0));
  // Gain change: 0 .. -24 dB, widened in 6 dB steps to what happened (up to +24 / -48).
  float gainLow = 0.0f, gainHigh = 0.0f;
  Extent(s.gain, &gainLow, &gainHigh);
  const double gainTop = std::min(24.0, std::max(0.0, std::ceil(gainHigh / 6.0) * 6.0));
  const double gainBottom = std::max(-48.0, std::min(-24.0, std::floor(gainLow / 6.0) * 6.0));

  const PlotScale x{0.0, trace.totalSeconds, static_cast<float>(kPlotLeft), static_cast<float>(kPlotRight)};
  const PlotScale levelY{-60.0, levelTop, static_cast<float>(kLevelBottom), static_cast<float>(kLevelTop)};
  const PlotScale gainY{gainBottom, gainTop, static_cast<float>(kGainBottom), static_cast<float>(kGainTop)};
  const double timeStep = NiceTimeStep(trace.totalSeconds, 12);

  const LICE_Rect levelPanel(kPlotLeft, kLevelTop, kPlotRight, kLevelBottom);
  const LICE_Rect gainPanel(kPlotLeft, kGainTop, kPlotRight, kGainBottom);
  const double windowMs = trace.windowSeconds * 1000.0;
  const std::string levelUnit = "dBFS, RMS of " + FormatNumber(windowMs, windowMs < 10.0 ? 1 : 0) + " ms windows";
  DrawPanel(canvas, levelPanel, levelY, 10.0, x, timeStep, "LEVEL", levelUnit.c_str(), true);
  DrawPanel(canvas, gainPanel, gainY, gainTop - gainBottom > 36.0 ? 12.0 : 6.0, x, timeStep, "GAIN CHANGE",
            "dB, output \u2212 input", true);

  const LICE_Rect levelInside(levelPanel.L + 1, levelPanel.T + 1, levelPanel.R - 1, levelPanel.B - 1);
  const LICE_Rect gainInside(gainPanel.L + 1, gainPanel.T + 1, gainPanel.R - 1, gainPanel.B - 1);
  const std::vector<PlotPoint> in = Points(s.times, s.in, x, levelY);
  const std::vector<PlotPoint> out = Points(s.times, s.out, x, levelY);
  const std::vector<PlotPoint> gain = Points(s.times, s.gain, x, gainY);
  canvas.FillToBaseline(in, static_cast<float>(kLevelBottom), kInputTrace, 0.10f, levelInside);
  canvas.Polyline(in, 1.3f, kInputTrace, levelInside);
  canvas.Polyline(out, 1.6f, kOutputTrace, levelInside);
  canvas.FillToBaseline(gain, gainY.ToPixel(0.0), kGainTrace, 0.30f, gainInside);
  canvas.Polyline(gain, 1.5f, kGainTrace, gainInside);

  // Time axis under the lower panel.
  const int decimals = Decimals(timeStep);
  for (double t : GridValues(0.0, trace.totalSeconds, timeStep)) {
    const int px = static_cast<int>(std::floor(x.ToPixel(t)));
    canvas.VerticalLine(px, kGainBottom, kGainBottom + 3, kPanelEdge);
    canvas.Text(FormatNumber(t, decimals).c_str(), px, kTimeLabelTop, kLabelSize, false, kLabel,
                PlotCanvas::AlignCentre);
  }
  canvas.Text("seconds", kPlotLeft - 14, kTimeLabelTop, kLabelSize, false, kLabel, PlotCanvas::AlignRight);

  if (title && *title) canvas.Text(title, kPlotLeft, 12, 16, true, kIvory);
  DrawLegend(canvas);
  return true;
}

bool WriteLevelPlot(const LevelTrace& trace, const char* title, const char* path, std::string* error) {
  LICE_MemBitmap bitmap;
  if (!RenderLevelPlot(trace, title, &bitmap)) {
    if (error) *error = "no levels to plot";
    return false;
  }
  return WriteBitmapPng(&bitmap, path, error);
}
