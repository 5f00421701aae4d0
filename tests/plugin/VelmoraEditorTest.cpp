#include "tests/graphics/GraphicsTestSupport.h"

#include "VelmoraResources.h"
#include "bitmap/LICE_Blit.h"
#include "bitmap/LICE_Png.h"
#include "bitmap/LICE_PngResourceBitmap.h"
#include "bitmap/LICE_SysBitmap.h"
#include "framework/graphics/FilmstripFrame.h"
#include "framework/graphics/IBitmapControl.h"
#include "framework/graphics/IKnobMultiControl.h"
#include "framework/graphics/ISwitchControl.h"
#include "framework/graphics/SnapshotPng.h"
#include "plugin/VelmoraEditor.h"
#include "plugin/VelmoraSteps.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace {

// Each image is loaded undecoded, with its listed size from the header, and decodes to that size.
TEST(VelmoraImages, EveryImageDecodesToItsListedSize) {
  EditorTestPlug plug;
  IGraphicsHeadless g(&plug, kEditorWidth, kEditorHeight, kEditorFrameRate, VelmoraResources());
  for (const PanelImage& c : kPanelImages) {
    std::unique_ptr<LICE_IBitmap> bmp(g.LoadResourceBitmap(c.resourceId, c.name));
    ASSERT_NE(bmp, nullptr) << c.name;
    const auto* deferred = dynamic_cast<const LICE_PngResourceBitmap*>(bmp.get());
    ASSERT_NE(deferred, nullptr) << c.name;
    EXPECT_FALSE(deferred->Decoded()) << c.name;
    EXPECT_EQ(bmp->Width(), c.width) << c.name;
    EXPECT_EQ(bmp->Height(), c.height) << c.name;
    EXPECT_NE(bmp->Pixels(), nullptr) << c.name;
    EXPECT_GE(bmp->RowSpan(), c.width) << c.name;
  }
}

TEST(VelmoraImages, ResourcesAreFoundByIdAndPngName) {
  EditorTestPlug plug;
  IGraphicsHeadless g(&plug, kEditorWidth, kEditorHeight, kEditorFrameRate, VelmoraResources());
  struct Case {
    int id;
    const char* name;
    bool found;
  } cases[] = {
      {101, "resources/img/BG.png", true},
      {101, "anything.PnG", true},           // the name only has to end in png
      {101 + 0x10000, "BG.png", true},       // resource ids are 16 bits
      {101, "resources/img/BG.bmp", false},  // the ".png" rule
      {101, "resources/img/BG", false},
      {101, nullptr, false},
      {100, "resources/img/BG.png", false},  // no such resource
      {116, "x.png", false},
  };
  for (const Case& c : cases) {
    std::unique_ptr<LICE_IBitmap> bmp(g.LoadResourceBitmap(c.id, c.name));
    EXPECT_EQ(bmp != nullptr, c.found) << c.id << " " << (c.name ? c.name : "(null)");
  }
}

class VelmoraEditorTest : public ::testing::Test {
protected:
  VelmoraEditorTest() {
    VelmoraEditor editor = MakeVelmoraEditor(&plug);
    meter = editor.meterControl;
    plug.AttachGraphics(editor.graphics);
    g = plug.GetGraphics();
  }

  // The back buffer's pixels over rect against the background with the frame of a filmstrip
  // composited the way the control draws it.
  void ExpectFrameShown(const IControl& control, const IFilmstrip& strip, int frame, const IBlend& blend) {
    const IRect& r = control.GetRect();
    LICE_MemBitmap expected(r.W(), r.H());
    const IFilmstrip bg = g->LoadFilmstrip(kEditorBackground.resourceId, kEditorBackground.name, 1);
    const LICE_Rect bgPart(r.L, r.T, r.R, r.B);
    BlitBitmap(&expected, bg.bitmap, 0, 0, &bgPart, 1.0f, LICE_BLIT_COPY);
    int srcX = 0, srcY = 0;
    FilmstripFrameOffset(strip, frame, &srcX, &srcY);
    const LICE_Rect framePart(srcX, srcY, srcX + r.W(), srcY + r.H());
    const int mode = blend.kind == IBlend::BlendReplace ? LICE_BLIT_COPY : LICE_BLIT_COPY | LICE_BLIT_USE_ALPHA;
    BlitBitmap(&expected, strip.bitmap, 0, 0, &framePart, blend.weight, mode);

    int mismatches = 0;
    for (int y = 0; y < r.H(); ++y)
      for (int x = 0; x < r.W(); ++x)
        if (PixelAt(g->BackBuffer(), r.L + x, r.T + y) != PixelAt(&expected, x, y)) ++mismatches;
    EXPECT_EQ(mismatches, 0) << "control at " << r.L << "," << r.T << ", frame " << frame;
  }

  void PaintAll() { g->PaintPass(IRect(0, 0, kEditorWidth, kEditorHeight)); }

  EditorTestPlug plug;
  IGraphics* g = nullptr;
  int meter = -1;
};

TEST_F(VelmoraEditorTest, LayoutPlacesEveryControl) {
  ASSERT_EQ(g->ControlCount(), 15);
  EXPECT_EQ(meter, 14);
  EXPECT_EQ(g->Width(), 404);
  EXPECT_EQ(g->Height(), 634);
  EXPECT_EQ(g->FrameRate(), 25);

  struct Case {
    int index, paramIdx;
    IRect rect;
    double gearing;  // 0 for the bitmap and switch controls
  } cases[] = {
      {0, -1, {0, 0, 404, 634}, 0},
      {1, kParamCompressorThreshold, {25, 327, 122, 422}, 2.0},
      {2, kParamLimitLevel, {25, 196, 121, 290}, 2.0},
      {3, kParamGain, {26, 441, 122, 536}, 2.0},
      {4, kParamMix, {307, 203, 378, 274}, 2.0},
      {5, kParamRatio, {161, 442, 257, 536}, 1.5},
      {6, kParamHigh, {307, 311, 379, 383}, 1.5},
      {7, kParamMid, {307, 408, 379, 480}, 1.5},
      {8, kParamHighPassFilter, {307, 503, 378, 574}, 1.5},
      {9, kParamCompressorRecoveryTime, {164, 328, 257, 420}, 1.5},
      {10, kParamLevelRecoveryTime, {163, 197, 257, 290}, 1.5},
      {11, kParamBypass, {49, 565, 98, 590}, 0},
      {12, kParamExternalSidechain, {319, 585, 366, 609}, 0},
      {13, kParamGRSelect, {96, 163, 184, 173}, 0},
      {14, -1, {58, 15, 218, 101}, 0},
  };
  for (const Case& c : cases) {
    IControl* control = g->Control(c.index);
    EXPECT_EQ(control->ParamIdx(), c.paramIdx) << c.index;
    EXPECT_EQ(control->GetRect(), c.rect) << c.index;
    if (c.gearing > 0) {
      auto* knob = dynamic_cast<IKnobMultiControl*>(control);
      ASSERT_NE(knob, nullptr) << c.index;
      EXPECT_EQ(knob->DragRatio(), c.gearing);
      EXPECT_EQ(knob->DragAxis(), IKnobControl::AxisVertical);
      // One frame per step of the bound parameter.
      EXPECT_EQ(knob->Filmstrip().N, static_cast<int>(plug.GetParam(c.paramIdx)->Max()) + 1);
    } else if (c.index >= 11 && c.index <= 13) {
      EXPECT_NE(dynamic_cast<ISwitchControl*>(control), nullptr) << c.index;
    }
  }
  EXPECT_EQ(g->Control(0)->GetBlend().kind, IBlend::BlendReplace);
  EXPECT_EQ(g->Control(14)->GetBlend().kind, IBlend::BlendOver);
}

TEST_F(VelmoraEditorTest, DefaultsShowEachControlOnTheFrameOfItsStep) {
  PaintAll();
  // Threshold last, limit last, gain first, mix last, ratio middle, ...
  const int expectedFrames[] = {16, 23, 1, 23, 3, 3, 3, 1, 2, 2};
  for (int k = 0; k < kNumEditorKnobs; ++k) {
    auto* knob = static_cast<IKnobMultiControl*>(g->Control(1 + k));
    const int step = static_cast<int>(plug.GetParam(knob->ParamIdx())->Value());
    const int frame = FilmstripFrameIndex(knob->Filmstrip().N, knob->GetValue());
    EXPECT_EQ(frame, step + 1) << "knob " << k;
    EXPECT_EQ(frame, expectedFrames[k]) << "knob " << k;
    ExpectFrameShown(*knob, knob->Filmstrip(), frame, knob->GetBlend());
  }
  // Bypass on (processing: lit), external sidechain off, compressor meter selected.
  const int switchFrames[] = {2, 1, 1};
  for (int s = 0; s < kNumEditorSwitches; ++s) {
    auto* sw = static_cast<ISwitchControl*>(g->Control(11 + s));
    EXPECT_EQ(FilmstripFrameIndex(2, sw->GetValue()), switchFrames[s]) << "switch " << s;
    ExpectFrameShown(*sw, sw->Filmstrip(), switchFrames[s], sw->GetBlend());
  }
}

TEST_F(VelmoraEditorTest, MeterShowsTheFrameOfItsValue) {
  auto* m = static_cast<IBitmapControl*>(g->Control(meter));
  m->SetValueFromPlugin(0.0);  // the first value a control receives marks nothing
  PaintAll();
  struct Case {
    double value;
    int frame;
  } cases[] = {{1.0, 121}, {0.0, 1}, {0.5, 61}, {0.1, 13}, {0.9, 109}, {3.0, 121}};
  for (const Case& c : cases) {
    m->SetValueFromPlugin(c.value);
    while (g->Tick()) {
    }
    ExpectFrameShown(*m, m->Filmstrip(), c.frame, m->GetBlend());
  }
}

TEST_F(VelmoraEditorTest, MeterWrittenFromTheAudioThreadReachesTheScreen) {
  IControl* m = g->Control(meter);
  m->SetValueFromPlugin(1.0);  // the meter's first value (it starts at full deflection)
  std::atomic<bool> done{false};
  // The audio thread writes the meter every sample while the editor's timer repaints.
  std::thread audio([&] {
    double v = 1.0;
    for (int i = 0; i < 100000; ++i) {
      v = v * 0.9999;
      m->SetValueFromPlugin(v);
    }
    m->SetValueFromPlugin(0.25);
    done.store(true);
  });
  while (!done.load()) g->Tick();
  audio.join();
  // Whatever the interleaving, the last value is still to be drawn.
  EXPECT_TRUE(m->NeedsPaint() || FilmstripFrameIndex(121, m->GetValue()) == 31);
  while (g->Tick()) {
  }
  EXPECT_EQ(m->GetValue(), 0.25);
  ExpectFrameShown(*m, static_cast<IBitmapControl*>(m)->Filmstrip(), 31, m->GetBlend());
}

TEST_F(VelmoraEditorTest, ClickingBypassTogglesItsParameter) {
  const std::string bypass = std::to_string(kParamBypass);
  EXPECT_EQ(plug.GetParam(kParamBypass)->Value(), 1.0);
  for (double expected : {0.0, 1.0}) {
    g->OnPress(70, 575, IModifiers(true));
    g->OnRelease(70, 575, IModifiers(true));
    EXPECT_EQ(plug.GetParam(kParamBypass)->Value(), expected);
  }
  EXPECT_EQ(plug.calls, (std::vector<std::string>{"begin " + bypass, "edit " + bypass, "end " + bypass,
                                                  "begin " + bypass, "edit " + bypass, "end " + bypass}));
  EXPECT_TRUE(g->Control(11)->NeedsPaint());
}

TEST_F(VelmoraEditorTest, DraggingTheThresholdKnobDownSweepsItsRange) {
  IControl* knob = g->Control(1);
  g->OnPress(70, 370, IModifiers(true));
  g->OnDrag(70, 465, 0, 0, IModifiers(true));  // 95 px down: half the range
  EXPECT_NEAR(knob->GetValue(), 0.5, 1e-12);
  EXPECT_EQ(plug.GetParam(kParamCompressorThreshold)->Value(), 8.0);  // 7.5 rounds up
  g->OnDrag(70, 560, 0, 0, IModifiers(true));
  g->OnRelease(300, 10, IModifiers(true));
  EXPECT_EQ(knob->GetValue(), 0.0);
  EXPECT_EQ(plug.GetParam(kParamCompressorThreshold)->Value(), 0.0);
  EXPECT_EQ(plug.calls.front(), "begin " + std::to_string(kParamCompressorThreshold));
  EXPECT_EQ(plug.calls.back(), "end " + std::to_string(kParamCompressorThreshold));
}

TEST_F(VelmoraEditorTest, RightClickOnAKnobGoesToTheHostMenu) {
  g->OnPress(70, 370, IModifiers(false, true));
  g->OnRelease(70, 370, IModifiers(false, true));
  EXPECT_EQ(plug.calls, (std::vector<std::string>{"menu " + std::to_string(kParamCompressorThreshold) + " 70,370"}));
}

TEST_F(VelmoraEditorTest, SnapshotIsTheBackBufferAsPng) {
  plug.GetParam(kParamRatio)->SetNormalized(1.0);  // a non-default ratio must show up too
  plug.RedrawParamControls();
  const TempFolder temp;
  const std::string path = temp.Path("snapshot.png");
  ASSERT_TRUE(WriteEditorSnapshot(*g, path.c_str()));
  std::unique_ptr<LICE_IBitmap> decoded(DecodePngFile(path.c_str(), true));
  ASSERT_NE(decoded, nullptr);
  ASSERT_EQ(decoded->Width(), 404);
  ASSERT_EQ(decoded->Height(), 634);
  int mismatches = 0;
  for (int y = 0; y < 634; ++y)
    for (int x = 0; x < 404; ++x)
      if (PixelAt(decoded.get(), x, y) != PixelAt(g->BackBuffer(), x, y)) ++mismatches;
  EXPECT_EQ(mismatches, 0);
  auto* ratio = static_cast<IKnobMultiControl*>(g->Control(5));
  ExpectFrameShown(*ratio, ratio->Filmstrip(), 5, ratio->GetBlend());
}

}  // namespace
