// The Velmora panel at display scales other than 1, with the real artwork: at 2x it is the
// composition of the images drawn natively at 2x, at other scales each frame is its 2x frame
// resampled, and what is drawn does not depend on the order or the pieces it was drawn in.

#include "tests/graphics/GraphicsTestSupport.h"

#include "VelmoraResources.h"
#include "bitmap/LICE_Blit.h"
#include "bitmap/LICE_Resample.h"
#include "bitmap/LICE_SysBitmap.h"
#include "framework/graphics/FilmstripFrame.h"
#include "framework/graphics/NativeArtwork.h"
#include "plugin/VelmoraEditor.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

namespace {

// A panel image's 2x copy as the module embeds it, freshly loaded.
std::unique_ptr<LICE_IBitmap> Native2x(IGraphics& g, const PanelImage& image) {
  const std::string name = Native2xResourceName(image.name);
  return std::unique_ptr<LICE_IBitmap>(g.LoadResourceBitmap(image.resourceId + kNative2xResourceOffset, name.c_str()));
}

// The same, decoded once for all the tests here.
const LICE_IBitmap& Decoded2x(IGraphics& g, const PanelImage& image) {
  static std::map<int, std::unique_ptr<LICE_IBitmap>> images;
  std::unique_ptr<LICE_IBitmap>& bmp = images[image.resourceId];
  if (!bmp) bmp = Native2x(g, image);
  return *bmp;
}

// Frame `frame` (1-based) of a 2x copy with `frames` frames stacked, alone.
std::unique_ptr<LICE_MemBitmap> Frame2x(const LICE_IBitmap& strip, int frames, int frame) {
  const int h = strip.Height() / frames;
  auto alone = std::make_unique<LICE_MemBitmap>(strip.Width(), h);
  const LICE_Rect part(0, h * (frame - 1), strip.Width(), h * frame);
  BlitBitmap(alone.get(), &strip, 0, 0, &part, 1.0f, LICE_BLIT_COPY);
  return alone;
}

int Differences(const LICE_IBitmap& a, const LICE_IBitmap& b, const IRect& aRect, int bX, int bY) {
  int n = 0;
  for (int y = 0; y < aRect.H(); ++y)
    for (int x = 0; x < aRect.W(); ++x)
      n += PixelAt(const_cast<LICE_IBitmap*>(&a), aRect.L + x, aRect.T + y) !=
           PixelAt(const_cast<LICE_IBitmap*>(&b), bX + x, bY + y);
  return n;
}

std::unique_ptr<LICE_MemBitmap> Copy(const LICE_IBitmap& bmp) {
  auto copy = std::make_unique<LICE_MemBitmap>(bmp.Width(), bmp.Height());
  BlitBitmap(copy.get(), &bmp, 0, 0, nullptr, 1.0f, LICE_BLIT_COPY);
  return copy;
}

class VelmoraEditorAtScale : public ::testing::Test {
protected:
  VelmoraEditorAtScale() {
    VelmoraEditor editor = MakeVelmoraEditor(&plug);
    meter = editor.meterControl;
    plug.AttachGraphics(editor.graphics);
    g = plug.GetGraphics();
  }

  void PaintAll() { g->PaintPass(IRect(0, 0, kEditorWidth, kEditorHeight)); }

  // Sets every knob and switch to `value` of its range and the meter to `meterValue`.
  void SetAll(double value, double meterValue) {
    for (int i = 1; i < meter; ++i) g->Control(i)->SetValueFromPlugin(value);
    g->Control(meter)->SetValueFromPlugin(meterValue);
  }

  EditorTestPlug plug;
  IGraphics* g = nullptr;
  int meter = -1;
};

TEST(VelmoraImages, EveryImageHasItsCopyAtTwiceTheSizeEmbedded) {
  EditorTestPlug plug;
  IGraphicsHeadless g(&plug, kEditorWidth, kEditorHeight, kEditorFrameRate, VelmoraResources());
  for (const PanelImage& image : kPanelImages) {
    std::unique_ptr<LICE_IBitmap> bmp = Native2x(g, image);
    ASSERT_NE(bmp, nullptr) << image.name;
    EXPECT_EQ(bmp->Width(), 2 * image.width) << image.name;
    EXPECT_EQ(bmp->Height(), 2 * image.height) << image.name;
    EXPECT_NE(bmp->Pixels(), nullptr) << image.name;
  }
}

// The panel at 2x, pixel for pixel: the 2x background, then each control's 2x frame for its value
// composited with its alpha at twice its place, in the layout's order.
TEST_F(VelmoraEditorAtScale, AtTwoThePanelIsTheComposedNativeArtwork) {
  g->SetDrawScale(2.0);
  struct State {
    double controls, meter;
  } states[] = {{0.0, 0.0}, {1.0, 1.0}, {0.5, 0.37}, {0.26, 0.91}};
  for (const State& s : states) {
    SetAll(s.controls, s.meter);
    PaintAll();

    LICE_MemBitmap expected(2 * kEditorWidth, 2 * kEditorHeight);
    BlitBitmap(&expected, &Decoded2x(*g, kEditorBackground), 0, 0, nullptr, 1.0f, LICE_BLIT_COPY);
    auto compose = [&](const PanelImage& image, int x, int y, int control) {
      const int frame = FilmstripFrameIndex(image.frames, g->Control(control)->GetValue());
      BlitBitmap(&expected, Frame2x(Decoded2x(*g, image), image.frames, frame).get(), 2 * x, 2 * y, nullptr, 1.0f,
                 LICE_BLIT_COPY | LICE_BLIT_USE_ALPHA);
    };
    int control = 1;
    for (const VelmoraKnob& k : kEditorKnobs) compose(k.image, k.x, k.y, control++);
    for (const VelmoraSwitch& sw : kEditorSwitches) compose(sw.image, sw.x, sw.y, control++);
    compose(kEditorMeter, kMeterX, kMeterY, meter);

    ASSERT_EQ(g->BackBuffer()->Width(), expected.Width());
    ASSERT_EQ(g->BackBuffer()->Height(), expected.Height());
    EXPECT_EQ(Differences(*g->BackBuffer(), expected, IRect(0, 0, expected.Width(), expected.Height()), 0, 0), 0)
        << "controls at " << s.controls << ", meter at " << s.meter;
  }
}

// At 1.5x the compressor threshold knob (25, 327; 97 x 95) covers device pixels 38..183 x
// 491..633: its frame is the 2x frame resampled to 146 x 143 (its size at 1.5, rounded up), of
// which the control shows the top-left 145 x 142, over the resampled 2x background.
TEST_F(VelmoraEditorAtScale, AtOnePointFiveAKnobIsItsTwoXFrameResampled) {
  g->SetDrawScale(1.5);
  IControl* knob = g->Control(1);
  knob->SetValueFromPlugin(9.0 / 15.0);
  PaintAll();
  const IRect device = g->DeviceRect(knob->GetRect());
  ASSERT_EQ(device, IRect(38, 491, 183, 633));

  const PanelImage& image = kEditorKnobs[0].image;
  LICE_MemBitmap background(606, 951);
  ResampleBitmap(&background, &Decoded2x(*g, kEditorBackground));
  LICE_MemBitmap frame(146, 143);
  ResampleBitmap(&frame, Frame2x(Decoded2x(*g, image), image.frames, 10).get());

  LICE_MemBitmap expected(device.W(), device.H());
  const LICE_Rect under(device.L, device.T, device.R, device.B);
  BlitBitmap(&expected, &background, 0, 0, &under, 1.0f, LICE_BLIT_COPY);
  BlitBitmap(&expected, &frame, 0, 0, nullptr, 1.0f, LICE_BLIT_COPY | LICE_BLIT_USE_ALPHA);
  EXPECT_EQ(Differences(*g->BackBuffer(), expected, device, 0, 0), 0);
}

// What a scale shows depends only on the values: a repaint clipped across several controls, the
// refresh tick's repaint, and a trip to another scale and back all give the full repaint's pixels.
TEST_F(VelmoraEditorAtScale, PiecesAndScaleChangesDrawWhatAFullRepaintDraws) {
  for (double scale : {1.25, 1.5, 2.0, 2.5}) {
    g->SetDrawScale(scale);
    SetAll(0.0, 0.0);
    PaintAll();
    SetAll(0.7, 0.55);
    // A piece cutting through four knobs and the meter, then what the tick finds dirty.
    g->PaintPass(IRect(60, 60, 200, 470));
    while (g->Tick()) {
    }
    const std::unique_ptr<LICE_MemBitmap> pieces = Copy(*g->BackBuffer());
    PaintAll();
    const IRect all(0, 0, g->DeviceWidth(), g->DeviceHeight());
    EXPECT_EQ(Differences(*g->BackBuffer(), *pieces, all, 0, 0), 0) << scale;

    g->SetDrawScale(scale == 2.0 ? 1.5 : 2.0);
    PaintAll();
    g->SetDrawScale(scale);
    PaintAll();
    EXPECT_EQ(Differences(*g->BackBuffer(), *pieces, all, 0, 0), 0) << scale << " and back";
  }
}

}  // namespace
