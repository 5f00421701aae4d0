// Drawing at a display scale other than 1: which image a frame comes from (an image's 2x copy,
// loaded once and only when a scale above 1 draws it), where each of its pixels lands on the
// device, and text at the scale's font size.

#include "GraphicsTestSupport.h"

#include "bitmap/LICE_SysBitmap.h"
#include "framework/graphics/IBitmapControl.h"
#include "framework/graphics/IKnobMultiControl.h"
#include "framework/graphics/NativeArtwork.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Resource ids private to this file (the bitmap cache is module-wide and outlives each test); the
// 2x copies sit at kNative2xResourceOffset above them, as the module's do.
constexpr int kBackId = 9201;       // 60 x 50, 1 frame, with a 2x copy
constexpr int kStripId = 9202;      // 13 x 9 frames, 3 frames, with a 2x copy
constexpr int kLoneStripId = 9203;  // 13 x 9 frames, 3 frames, no 2x copy
constexpr int kCodedId = 9204;      // 13 x 9 frames, 3 frames; the 2x copy's pixels say where they are
constexpr int kCountedId = 9205;    // 6 x 4 frames, 2 frames, with a 2x copy

// A pixel of the coded 2x copy: opaque, its frame (1-based) in red, its row inside the frame in
// green, its column in blue.
uint32_t CodedPixel(int frame, int x, int yInFrame) {
  return 0xFF000000u | static_cast<uint32_t>(frame) << 16 | static_cast<uint32_t>(yInFrame) << 8 |
         static_cast<uint32_t>(x);
}

class ScaleGraphics : public TestGraphics {
public:
  explicit ScaleGraphics(IPlugBase* plugin) : TestGraphics(plugin, 60, 50) {
    DefineResource(kBackId, 60, 50, 1);
    DefineResource(kBackId + kNative2xResourceOffset, 120, 100, 1);
    DefineResource(kStripId, 13, 9, 3);
    DefineResource(kStripId + kNative2xResourceOffset, 26, 18, 3);
    DefineResource(kLoneStripId, 13, 9, 3);
    DefineResource(kCodedId, 13, 9, 3);
    DefineResource(kCountedId, 6, 4, 2);
    DefineResource(kCountedId + kNative2xResourceOffset, 12, 8, 2);
  }

  LICE_IBitmap* LoadResourceBitmap(int resourceId, const char* name) override {
    names.push_back(std::to_string(resourceId) + " " + (name ? name : ""));
    if (resourceId != kCodedId + kNative2xResourceOffset) return TestGraphics::LoadResourceBitmap(resourceId, name);
    ++resourceLoads;
    auto* bmp = new LICE_MemBitmap(26, 54);
    for (int y = 0; y < 54; ++y)
      for (int x = 0; x < 26; ++x) LICE_RowAddress(*bmp, y)[x] = CodedPixel(y / 18 + 1, x, y % 18);
    return bmp;
  }

  std::vector<std::string> names;
};

class ScaledDrawing : public ::testing::Test {
protected:
  ScaledDrawing() {
    g.CreateDrawBitmaps();
    g.AddBackground(
        new IBitmapControl(&plug, 0, 0, -1, g.LoadFilmstrip(kBackId, "img/back.png", 1), IBlend::BlendReplace));
  }

  IKnobMultiControl* AddKnob(int id, int x, int y) {
    auto* knob = new IKnobMultiControl(&plug, x, y, 4, g.LoadFilmstrip(id, "img/strip.png", 3));
    g.AddControl(knob);
    return knob;
  }

  void PaintAll() { g.PaintPass(IRect(0, 0, 60, 50)); }

  // Device pixels inside `device` that do not hold `pixel`.
  int Mismatches(const IRect& device, uint32_t pixel) {
    int n = 0;
    for (int y = device.T; y < device.B; ++y)
      for (int x = device.L; x < device.R; ++x) n += PixelAt(g.BackBuffer(), x, y) != pixel;
    return n;
  }

  EditorTestPlug plug;
  ScaleGraphics g{&plug};
};

TEST_F(ScaledDrawing, TheTwoXCopyIsLoadedOnceByTheFirstScaledDrawAndNeverAtOne) {
  auto* knob = new IKnobMultiControl(&plug, 3, 4, 4, g.LoadFilmstrip(kCountedId, "img/counted.png", 2));
  g.AddControl(knob);
  const int loadsAtOne = g.resourceLoads;
  PaintAll();
  knob->SetValueFromPlugin(1.0);
  PaintAll();
  EXPECT_EQ(g.resourceLoads, loadsAtOne) << "scale 1 never needs the 2x copies";

  g.SetDrawScale(2.0);
  PaintAll();
  EXPECT_EQ(g.resourceLoads, loadsAtOne + 2) << "the background's and the knob's 2x copies";
  EXPECT_EQ(g.names.back(), std::to_string(kCountedId + kNative2xResourceOffset) + " img/2x/counted.png");
  EXPECT_EQ(PixelAt(g.BackBuffer(), 6, 8), FramePixel(kCountedId + kNative2xResourceOffset, 2));

  // Other scales, a scale change and back, and another editor of the module: no load again.
  for (double scale : {1.5, 3.0, 2.0, 1.0, 1.25}) {
    g.SetDrawScale(scale);
    PaintAll();
  }
  EXPECT_EQ(g.resourceLoads, loadsAtOne + 2);
  EXPECT_EQ(PixelAt(g.BackBuffer(), g.DeviceCoord(3), g.DeviceCoord(4)),
            FramePixel(kCountedId + kNative2xResourceOffset, 2));

  EditorTestPlug otherPlug;
  ScaleGraphics other(&otherPlug);
  other.CreateDrawBitmaps();
  other.AddControl(new IKnobMultiControl(&otherPlug, 3, 4, 4, other.LoadFilmstrip(kCountedId, "img/counted.png", 2)));
  other.SetDrawScale(1.75);
  other.PaintPass(IRect(0, 0, 60, 50));
  EXPECT_EQ(other.resourceLoads, 0);
}

// At every scale each device pixel of a control's device rectangle shows its frame, from the 2x
// copy when there is one and from the 1x image otherwise, and nothing spills past it; a repaint
// clipped to part of the control changes exactly that part's device pixels.
TEST_F(ScaledDrawing, EveryDevicePixelOfAControlShowsItsFrameAtEveryScale) {
  IKnobMultiControl* withCopy = AddKnob(kStripId, 7, 5);
  IKnobMultiControl* alone = AddKnob(kLoneStripId, 31, 22);
  struct Strip {
    IKnobMultiControl* knob;
    int imageId;
  } strips[] = {{withCopy, kStripId + kNative2xResourceOffset}, {alone, kLoneStripId}};
  const uint32_t back = FramePixel(kBackId + kNative2xResourceOffset, 1);

  for (double scale : {1.25, 1.5, 1.75, 2.0, 2.5, 3.0}) {
    g.SetDrawScale(scale);
    for (const Strip& s : strips) s.knob->SetValueFromPlugin(0.5);
    PaintAll();
    for (const Strip& s : strips) {
      const IRect rect = s.knob->GetRect();
      const IRect device = g.DeviceRect(rect);
      EXPECT_EQ(Mismatches(device, FramePixel(s.imageId, 2)), 0) << scale << " " << s.imageId;
      // The device pixels just around it are the background's.
      EXPECT_EQ(Mismatches(IRect(device.L - 1, device.T - 1, device.R + 1, device.T), back), 0) << scale;
      EXPECT_EQ(Mismatches(IRect(device.L - 1, device.B, device.R + 1, device.B + 1), back), 0) << scale;
      EXPECT_EQ(Mismatches(IRect(device.L - 1, device.T, device.L, device.B), back), 0) << scale;
      EXPECT_EQ(Mismatches(IRect(device.R, device.T, device.R + 1, device.B), back), 0) << scale;

      // Frame 3, repainted in the control's left part only.
      s.knob->SetValueFromPlugin(1.0);
      const IRect left(rect.L, rect.T, rect.L + 5, rect.B);
      g.PaintPass(left);
      const IRect leftDevice = g.DeviceRect(left);
      EXPECT_EQ(Mismatches(leftDevice, FramePixel(s.imageId, 3)), 0) << scale << " " << s.imageId;
      EXPECT_EQ(Mismatches(IRect(leftDevice.R, device.T, device.R, device.B), FramePixel(s.imageId, 2)), 0) << scale;
    }
  }
}

// At scale 2 a frame is its 2x copy's pixels exactly: panel point (srcX, srcY) of the frame at
// device pixel 2 x its place, whichever parts of the control the repaints cover.
TEST_F(ScaledDrawing, AtTwoEachNativePixelLandsAtItsPlaceThroughAnyClip) {
  IKnobMultiControl* knob = AddKnob(kCodedId, 9, 6);
  g.SetDrawScale(2.0);
  knob->SetValueFromPlugin(0.5);
  const IRect rect = knob->GetRect();
  // The control repainted in four unequal pieces.
  for (const IRect& piece : {IRect(9, 6, 14, 10), IRect(14, 6, 22, 10), IRect(9, 10, 17, 15), IRect(17, 10, 22, 15)})
    g.PaintPass(piece);
  const IRect device = g.DeviceRect(rect);
  ASSERT_EQ(device, IRect(18, 12, 44, 30));
  int mismatches = 0;
  for (int y = 0; y < device.H(); ++y)
    for (int x = 0; x < device.W(); ++x)
      mismatches += PixelAt(g.BackBuffer(), device.L + x, device.T + y) != CodedPixel(2, x, y);
  EXPECT_EQ(mismatches, 0);
}

class ScaledText : public ::testing::Test {
protected:
  static void Fill(LICE_IBitmap* bmp) {
    for (int y = 0; y < bmp->Height(); ++y)
      for (int x = 0; x < bmp->Width(); ++x) LICE_RowAddress(*bmp, y)[x] = 0xFFFFFFFFu;
  }

  EditorTestPlug plug;
  TestGraphics g{&plug, 200, 60};
  ITextStyle style{"DejaVu Sans", 14, IArgb(255, 0, 0, 0), ITextStyle::StyleNormal, ITextStyle::AlignLeft};
};

// Text at a scale is the font at the scale's size drawn into the device rectangle, not the 1x text
// enlarged, and its measurements stay in panel pixels, holding the text drawn at that size.
TEST_F(ScaledText, IsDrawnAtTheScalesFontSizeAndMeasuredInPanelPixels) {
  for (double scale : {1.5, 2.0, 2.5}) {
    g.SetDrawScale(scale);
    g.CreateDrawBitmaps();
    Fill(g.BackBuffer());
    const IRect rect(10, 5, 190, 40);
    IRect drawn = rect;
    ASSERT_TRUE(g.RenderText(style, "Velmora", drawn, false));

    ITextStyle large = style;
    large.size = IGraphics::ScaledFontSize(style.size, scale);
    large.cachedFont = nullptr;
    LICE_MemBitmap expected(g.DeviceWidth(), g.DeviceHeight());
    Fill(&expected);
    ASSERT_TRUE(IGraphics::RenderTextInto(&expected, large, "Velmora", g.DeviceRect(rect)));
    int differences = 0;
    for (int y = 0; y < g.DeviceHeight(); ++y)
      for (int x = 0; x < g.DeviceWidth(); ++x)
        differences += PixelAt(g.BackBuffer(), x, y) != PixelAt(&expected, x, y);
    EXPECT_EQ(differences, 0) << scale;

    IRect measured = rect;
    ASSERT_TRUE(g.MeasureText(style, "Velmora", measured));
    const int largeWidth = IGraphics::TextWidth(large, "Velmora");
    EXPECT_EQ(measured.W(), g.PanelCoord(largeWidth - 1) + 1) << scale;
    EXPECT_EQ(IGraphics::TextWidth(style, "Velmora", scale), measured.W()) << scale;
    EXPECT_GE(g.DeviceCoord(measured.R) - g.DeviceCoord(measured.L), largeWidth) << scale;
    // The panel width is near the 1x one: the layout does not move with the scale.
    EXPECT_NEAR(measured.W(), IGraphics::TextWidth(style, "Velmora"), 3) << scale;
  }
}

}  // namespace
