#include "GraphicsTestSupport.h"

#include "bitmap/LICE_Blit.h"
#include "bitmap/LICE_SysBitmap.h"
#include "framework/graphics/BitmapCache.h"
#include "framework/graphics/IBitmapControl.h"
#include "framework/graphics/IKnobMultiControl.h"

#include <gtest/gtest.h>

namespace {

// Resource ids private to this file: the bitmap cache is module-wide and outlives each test.
constexpr int kStripId = 9001;    // 20 x 10 frames, 3 frames
constexpr int kBackId = 9002;     // 40 x 40, 1 frame
constexpr int kMissingId = 9003;  // never loadable
constexpr int kCacheId = 9004;

class Painting : public ::testing::Test {
protected:
  Painting() {
    g.DefineResource(kStripId, 20, 10, 3);
    g.DefineResource(kBackId, 40, 40, 1);
  }

  IFilmstrip Strip() { return g.LoadFilmstrip(kStripId, "strip.png", 3); }

  EditorTestPlug plug;
  TestGraphics g{&plug, 40, 40};
};

TEST(IRect, EmptinessHitOverlapAndUnion) {
  const IRect a(10, 10, 20, 20);
  EXPECT_TRUE(IRect().Empty());
  EXPECT_FALSE(IRect(5, 5, 5, 5).Empty());  // degenerate but not all zero
  EXPECT_TRUE(a.Contains(10, 10));
  EXPECT_FALSE(a.Contains(20, 10));
  EXPECT_FALSE(IRect().Contains(0, 0));

  // Touching on A's right or bottom edge overlaps (with a zero-sized intersection).
  EXPECT_TRUE(a.Overlaps(IRect(20, 10, 30, 20)));
  EXPECT_FALSE(IRect(20, 10, 30, 20).Overlaps(a));
  EXPECT_TRUE(a.Overlaps(IRect(10, 20, 20, 30)));
  EXPECT_FALSE(a.Overlaps(IRect(21, 10, 30, 20)));
  EXPECT_FALSE(a.Overlaps(IRect()));
  EXPECT_EQ(a.Intersect(IRect(20, 10, 30, 20)).W(), 0);

  EXPECT_EQ(a.Union(IRect()), a);
  EXPECT_EQ(IRect().Union(a), a);
  EXPECT_EQ(a.Union(IRect(0, 15, 12, 30)), IRect(0, 10, 20, 30));
}

TEST_F(Painting, LoadFilmstripUsesTheModuleCache) {
  const int before = BitmapCache::Instance().Count();
  g.DefineResource(kCacheId, 4, 4, 2);
  const IFilmstrip first = g.LoadFilmstrip(kCacheId, "a.png", 2);
  EXPECT_EQ(g.resourceLoads, 1);
  ASSERT_NE(first.bitmap, nullptr);
  EXPECT_EQ(first.W, 4);
  EXPECT_EQ(first.H, 8);
  EXPECT_EQ(first.N, 2);
  EXPECT_FALSE(first.framesSideBySide);

  // A second editor, and another name for the same id, reuse the decoded bitmap.
  EditorTestPlug otherPlug;
  TestGraphics other(&otherPlug);
  const IFilmstrip again = other.LoadFilmstrip(kCacheId, "b.png", 4);
  EXPECT_EQ(other.resourceLoads, 0);
  EXPECT_EQ(again.bitmap, first.bitmap);
  EXPECT_EQ(again.N, 4);
  EXPECT_EQ(BitmapCache::Instance().Count(), before + 1);
}

TEST_F(Painting, FailedLoadGivesAnEmptyFilmstripThatDrawsNothing) {
  const IFilmstrip missing = g.LoadFilmstrip(kMissingId, "missing.png", 5);
  EXPECT_EQ(missing.bitmap, nullptr);
  EXPECT_EQ(missing.W, 0);
  EXPECT_EQ(missing.H, 0);
  EXPECT_EQ(missing.N, 5);
  // Failures are not cached: a later attempt asks the platform again.
  g.LoadFilmstrip(kMissingId, "missing.png", 5);
  EXPECT_EQ(g.resourceLoads, 2);

  g.CreateDrawBitmaps();
  LICE_IBitmap* bb = g.BackBuffer();
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) LICE_RowAddress(*bb, y)[x] = 0xFF123456u;
  auto* control = new IBitmapControl(&plug, 3, 4, -1, missing);
  EXPECT_EQ(control->GetRect(), IRect(3, 4, 3, 4));
  g.AddControl(control);
  g.PaintPass(IRect(0, 0, 40, 40));
  EXPECT_EQ(PixelAt(bb, 3, 4), 0xFF123456u);
  EXPECT_EQ(g.PresentCount(), 1);
}

TEST_F(Painting, EachControlDrawsTheFrameOfItsValue) {
  g.CreateDrawBitmaps();
  auto* back = new IBitmapControl(&plug, 0, 0, -1, g.LoadFilmstrip(kBackId, "back.png", 1), IBlend::BlendReplace);
  auto* knob = new IKnobMultiControl(&plug, 5, 7, 4, Strip());
  g.AddBackground(back);
  g.AddControl(knob);
  EXPECT_EQ(knob->GetRect(), IRect(5, 7, 25, 17));

  struct Case {
    double value;
    int frame;
  } cases[] = {{0.0, 1}, {0.5, 2}, {1.0, 3}, {0.74, 2}, {0.76, 3}};
  for (const Case& c : cases) {
    knob->SetValueFromPlugin(c.value);
    g.PaintPass(IRect(0, 0, 40, 40));
    EXPECT_EQ(PixelAt(g.BackBuffer(), 5, 7), FramePixel(kStripId, c.frame)) << c.value;
    EXPECT_EQ(PixelAt(g.BackBuffer(), 24, 16), FramePixel(kStripId, c.frame)) << c.value;
    EXPECT_EQ(PixelAt(g.BackBuffer(), 25, 16), FramePixel(kBackId, 1));
    EXPECT_EQ(PixelAt(g.BackBuffer(), 4, 7), FramePixel(kBackId, 1));
  }
}

TEST_F(Painting, BlitsAreClippedToTheUpdateRectangle) {
  g.CreateDrawBitmaps();
  g.AddBackground(new IBitmapControl(&plug, 0, 0, -1, g.LoadFilmstrip(kBackId, "back.png", 1), IBlend::BlendReplace));
  auto* knob = new IKnobMultiControl(&plug, 5, 7, 4, Strip());
  g.AddControl(knob);
  g.PaintPass(IRect(0, 0, 40, 40));  // frame 1 everywhere

  knob->SetValueFromPlugin(1.0);
  g.PaintPass(IRect(10, 10, 15, 12));
  LICE_IBitmap* bb = g.BackBuffer();
  EXPECT_EQ(PixelAt(bb, 10, 10), FramePixel(kStripId, 3));  // inside: the new frame, from the right offset
  EXPECT_EQ(PixelAt(bb, 14, 11), FramePixel(kStripId, 3));
  EXPECT_EQ(PixelAt(bb, 15, 11), FramePixel(kStripId, 1));  // outside: untouched
  EXPECT_EQ(PixelAt(bb, 10, 12), FramePixel(kStripId, 1));
  EXPECT_EQ(g.LastPresented(), IRect(10, 10, 15, 12));
}

TEST_F(Painting, StrictDrawingCleansHiddenAndUntouchedControls) {
  auto* bg = new RecordingControl(&plug, IRect(0, 0, 40, 40));
  auto* hidden = new RecordingControl(&plug, IRect(0, 0, 10, 10));
  auto* far = new RecordingControl(&plug, IRect(30, 30, 40, 40));
  g.AddControl(bg);
  g.AddControl(hidden);
  g.AddControl(far);
  hidden->SetHidden(true);

  g.PaintPass(IRect(0, 0, 20, 20));
  EXPECT_EQ(bg->paints, 1);
  EXPECT_EQ(hidden->paints, 0);
  EXPECT_EQ(far->paints, 0);
  // SetHidden asked for a second pass; after it every control is clean.
  EXPECT_TRUE(hidden->NeedsPaint());
  EXPECT_FALSE(far->NeedsPaint());
  g.PaintPass(IRect(0, 0, 20, 20));
  EXPECT_EQ(hidden->paints, 0);
  EXPECT_FALSE(hidden->NeedsPaint());
  IRect dirty;
  EXPECT_FALSE(g.DirtyRegion(&dirty));
  EXPECT_TRUE(dirty.Empty());
}

TEST_F(Painting, LenientDrawingRepaintsAroundEachDirtyControl) {
  g.SetStrictDraw(false);
  auto* bg = new RecordingControl(&plug, IRect(0, 0, 40, 40));
  auto* a = new RecordingControl(&plug, IRect(0, 0, 10, 10));
  auto* b = new RecordingControl(&plug, IRect(5, 5, 15, 15));
  auto* c = new RecordingControl(&plug, IRect(30, 30, 40, 40));
  auto* hidden = new RecordingControl(&plug, IRect(0, 0, 40, 40));
  for (RecordingControl* x : {bg, a, b, c, hidden}) g.AddControl(x);
  hidden->SetHidden(true);

  // The background is dirty: everything visible is painted once and cleaned; hidden stays dirty.
  g.PaintPass(IRect(0, 0, 40, 40));
  EXPECT_EQ(bg->paints, 1);
  EXPECT_EQ(a->paints, 1);
  EXPECT_EQ(c->paints, 1);
  EXPECT_EQ(hidden->paints, 0);
  EXPECT_TRUE(hidden->NeedsPaint());
  EXPECT_FALSE(a->NeedsPaint());

  // Each dirty control repaints what overlaps its rectangle: the still dirty hidden control
  // (whole surface) repaints all visible ones without itself, on two passes (SetHidden asked
  // for a second one), and is clean afterwards.
  g.PaintPass(IRect(0, 0, 40, 40));
  EXPECT_EQ(bg->paints, 2);
  EXPECT_EQ(c->paints, 2);
  EXPECT_TRUE(hidden->NeedsPaint());
  g.PaintPass(IRect(0, 0, 40, 40));
  EXPECT_EQ(c->paints, 3);
  EXPECT_EQ(hidden->paints, 0);
  EXPECT_FALSE(hidden->NeedsPaint());

  // Only A dirty: A and what overlaps its rectangle (background, B) are repainted, C is not.
  a->MarkDirty(false);
  g.PaintPass(IRect(0, 0, 10, 10));
  EXPECT_EQ(bg->paints, 4);
  EXPECT_EQ(a->paints, 4);
  EXPECT_EQ(b->paints, 4);
  EXPECT_EQ(c->paints, 3);
  EXPECT_FALSE(a->NeedsPaint());
}

TEST_F(Painting, EmptyEditorPresentsNothing) {
  g.PaintPass(IRect(0, 0, 40, 40));
  EXPECT_EQ(g.PresentCount(), 0);
  EXPECT_FALSE(g.Tick());
}

TEST_F(Painting, TickRepaintsTheUnionOfDirtyControls) {
  auto* bg = new RecordingControl(&plug, IRect(0, 0, 40, 40));
  auto* a = new RecordingControl(&plug, IRect(2, 3, 10, 10));
  auto* b = new RecordingControl(&plug, IRect(20, 5, 30, 12));
  for (RecordingControl* x : {bg, a, b}) g.AddControl(x);
  EXPECT_TRUE(g.Tick());   // all dirty at first
  EXPECT_FALSE(g.Tick());  // idle: nothing painted, nothing presented
  EXPECT_EQ(g.PresentCount(), 1);

  a->SetValueFromPlugin(0.0);  // first value: marks nothing
  a->SetValueFromPlugin(0.5);
  b->MarkDirty(false);
  IRect dirty;
  ASSERT_TRUE(g.DirtyRegion(&dirty));
  EXPECT_EQ(dirty, IRect(2, 3, 30, 12));
  EXPECT_TRUE(g.Tick());
  EXPECT_EQ(g.LastPresented(), IRect(2, 3, 30, 12));
  EXPECT_TRUE(g.Tick());  // A's second pass
  EXPECT_EQ(g.LastPresented(), IRect(2, 3, 10, 10));
  EXPECT_FALSE(g.Tick());
}

TEST(BlendKinds, MapToTheirBlitModes) {
  struct Case {
    int kind;
    int mode;
  } cases[] = {
      {IBlend::BlendOver, LICE_BLIT_COPY | LICE_BLIT_USE_ALPHA},
      {IBlend::BlendReplace, LICE_BLIT_COPY},
      {IBlend::BlendAdd, LICE_BLIT_ADD | LICE_BLIT_USE_ALPHA},
      {IBlend::BlendDodge, LICE_BLIT_DODGE | LICE_BLIT_USE_ALPHA},
      {7, LICE_BLIT_COPY | LICE_BLIT_USE_ALPHA},  // unknown kinds composite like BlendOver
      {-1, LICE_BLIT_COPY | LICE_BLIT_USE_ALPHA},
  };
  for (const Case& c : cases) EXPECT_EQ(IGraphics::BlitModeOf(c.kind), c.mode) << c.kind;
}

// A window platform: its timer's tick invalidates the dirty region and the window's own paint
// request draws it later. Off-screen pictures are drawn through the core without any window.
class WindowGraphics : public TestGraphics {
public:
  using TestGraphics::TestGraphics;
  std::vector<IRect> invalidated;

protected:
  void RepaintRegion(const IRect& region) override { invalidated.push_back(region); }
};

TEST(WindowPlatform, TickInvalidatesAndDrawPassPaintsWithoutPresenting) {
  EditorTestPlug plug;
  WindowGraphics g(&plug);
  g.CreateDrawBitmaps();
  auto* a = new RecordingControl(&plug, IRect(2, 3, 10, 10));
  auto* b = new RecordingControl(&plug, IRect(20, 5, 30, 12));
  g.AddControl(a);
  g.AddControl(b);
  EXPECT_TRUE(g.Tick());
  EXPECT_TRUE(g.Tick()) << "invalidating paints nothing, so both are still dirty";
  EXPECT_EQ(g.invalidated, (std::vector<IRect>{IRect(2, 3, 30, 12), IRect(2, 3, 30, 12)}));
  EXPECT_EQ(a->paints, 0);

  g.DrawPass(IRect(0, 0, 40, 40));  // e.g. a snapshot
  EXPECT_EQ(a->paints, 1);
  EXPECT_EQ(b->paints, 1);
  EXPECT_EQ(g.PresentCount(), 0);
  EXPECT_FALSE(g.Tick());
  EXPECT_EQ(g.invalidated.size(), 2u);
}

// A parameter with display texts, for the value prompt.
class Prompting : public Painting {
protected:
  Prompting() {
    control = new RecordingControl(&plug, IRect(10, 11, 31, 20), 4);
    g.AddControl(control);
    control->SetPromptDisabled(false);
  }
  RecordingControl* control;
};

TEST_F(Prompting, IntegerParameterGetsATextEntryBoxCentredOnTheControl) {
  plug.GetParam(4)->SetNormalized(0.75);  // "Ratio" step 3
  control->OnPress(12, 12, IModifiers(false, true));
  EXPECT_EQ(g.entryControl, control);
  EXPECT_EQ(g.entryText, "3");
  EXPECT_EQ(g.entryParam, plug.GetParam(4));
  EXPECT_EQ(g.entryRect, IRect(0, 7, 40, 23));  // centre (20, 15)
  EXPECT_TRUE(control->PaintAgain());

  plug.GetParam(4)->SetNegateDisplay(true);
  control->PromptParamEdit();
  EXPECT_EQ(g.entryText, "-3");
}

TEST_F(Prompting, ParameterWithDisplayTextsPromptsOverTheWholeControl) {
  plug.GetParam(4)->SetDisplayText(1, "soft");
  plug.GetParam(4)->SetNormalized(0.25);
  control->PromptParamEdit();
  // Not an enumeration: still a text entry with the number, now over the control's rectangle.
  EXPECT_EQ(g.entryRect, IRect(10, 11, 31, 20));
  EXPECT_EQ(g.entryText, "1");
  EXPECT_TRUE(g.menuItems.empty());
}

TEST_F(Prompting, ContinuousParameterIsFormattedWithItsPrecision) {
  IParam level;
  level.InitDouble("Level", -2.5, -10.0, 0.0, 0.01);
  g.PromptParamEdit(control, &level, IRect(1, 2, 3, 4));
  EXPECT_EQ(g.entryText, "-2.50");
  EXPECT_EQ(g.entryRect, IRect(1, 2, 3, 4));
}

TEST_F(Prompting, IntegerTextOfAValueBeyondTheIntRangeIsItsNearestInt) {
  IParam huge;
  huge.InitDouble("Huge", 1e12, -1e13, 1e13, 1.0);
  g.PromptParamEdit(control, &huge, IRect(1, 2, 3, 4));
  EXPECT_EQ(g.entryText, "2147483647");
  huge.SetNegateDisplay(true);
  g.PromptParamEdit(control, &huge, IRect(1, 2, 3, 4));
  EXPECT_EQ(g.entryText, "-2147483648");
}

TEST_F(Prompting, EnumerationGetsAMenuAndTheChoiceBecomesTheValue) {
  IParam shape;
  shape.InitEnum("Shape", 1, 3);
  shape.SetDisplayText(0, "soft");
  shape.SetDisplayText(1, "medium");
  shape.SetDisplayText(2, "hard");

  g.PromptParamEdit(control, &shape, IRect(1, 2, 3, 4));  // nothing chosen
  EXPECT_EQ(g.menuItems, (std::vector<std::string>{"soft", "medium *", "hard"}));
  EXPECT_EQ(g.menuRect, IRect(1, 2, 3, 4));
  EXPECT_TRUE(plug.reports.empty());
  EXPECT_EQ(g.entryControl, nullptr);

  g.menuChoice = 2;
  g.PromptParamEdit(control, &shape, IRect(1, 2, 3, 4));
  EXPECT_EQ(control->GetValue(), 1.0);
  ASSERT_EQ(plug.reports.size(), 1u);
  EXPECT_EQ(plug.reports[0], std::make_pair(4, 1.0));  // the control's own parameter
}

TEST_F(Prompting, DisabledPromptOrNoParameterDoesNothing) {
  control->SetPromptDisabled(true);
  control->OnPress(12, 12, IModifiers(false, true));
  EXPECT_EQ(g.entryControl, nullptr);
  EXPECT_FALSE(control->PaintAgain());
}

}  // namespace
