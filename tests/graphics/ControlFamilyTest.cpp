#include "GraphicsTestSupport.h"

#include "framework/graphics/FilmstripFrame.h"
#include "framework/graphics/IBitmapControl.h"
#include "framework/graphics/IKnobMultiControl.h"
#include "framework/graphics/ISwitchControl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct FrameCase {
  int frames;
  double value;
  int frame;
};

TEST(FilmstripFrame, IndexRoundsToNearestFrameAndClamps) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const FrameCase cases[] = {
      // 121-frame meter: 0 -> first, 0.5 -> middle, 1 -> last, beyond clamps.
      {121, 0.0, 1},
      {121, 0.5, 61},
      {121, 1.0, 121},
      {121, 0.3, 37},
      {121, 1.7, 121},
      {121, -0.4, 1},
      {121, 0.9, 109},  // 20 dB of gain reduction
      // 16-frame threshold knob.
      {16, 0.0, 1},
      {16, 0.5, 9},
      {16, 1.0, 16},
      {16, 14.0 / 15.0, 15},
      // 23-frame knobs at each end and halfway (step 11 of 0..22).
      {23, 11.0 / 22.0, 12},
      {23, 1.0, 23},
      // Rounding edge: (N - 1) x v + 0.5 exactly on an integer goes up.
      {5, 0.125, 2},
      {5, 0.1249, 1},
      // Fewer than two frames always show the first; hostile values stay inside the strip.
      {1, 0.7, 1},
      {0, 0.7, 1},
      {121, nan, 1},
      {121, 1e300, 121},
      {121, -1e300, 1},
  };
  for (const FrameCase& c : cases)
    EXPECT_EQ(FilmstripFrameIndex(c.frames, c.value), c.frame) << c.frames << " frames, value " << c.value;
}

TEST(FilmstripFrame, SourceOffsetOfEachFrame) {
  const IFilmstrip meter(nullptr, 160, 10406, 121);
  const IFilmstrip knob(nullptr, 97, 1520, 16);
  const IFilmstrip wide(nullptr, 300, 20, 3, true);
  struct Case {
    const IFilmstrip* strip;
    int frame, srcX, srcY;
  } cases[] = {
      {&meter, 1, 0, 0},    {&meter, 2, 0, 86}, {&meter, 37, 0, 3096}, {&meter, 61, 0, 5160}, {&meter, 121, 0, 10320},
      {&knob, 16, 0, 1425}, {&knob, 9, 0, 760}, {&wide, 2, 100, 0},    {&wide, 3, 200, 0},
  };
  for (const Case& c : cases) {
    int x = -1, y = -1;
    FilmstripFrameOffset(*c.strip, c.frame, &x, &y);
    EXPECT_EQ(x, c.srcX) << "frame " << c.frame;
    EXPECT_EQ(y, c.srcY) << "frame " << c.frame;
  }
  // A frame height that does not divide evenly rounds each start to the nearest pixel.
  int x = 0, y = 0;
  FilmstripFrameOffset(IFilmstrip(nullptr, 10, 100, 3), 2, &x, &y);
  EXPECT_EQ(y, 33);
  FilmstripFrameOffset(IFilmstrip(nullptr, 10, 101, 3), 3, &x, &y);
  EXPECT_EQ(y, 67);
}

TEST(FilmstripFrame, ControlRectangleIsOneFrame) {
  EXPECT_EQ(FilmstripFrameRect(58, 15, IFilmstrip(nullptr, 160, 10406, 121)), IRect(58, 15, 218, 101));
  EXPECT_EQ(FilmstripFrameRect(10, 20, IFilmstrip(nullptr, 300, 20, 3, true)), IRect(10, 20, 110, 40));
  // A failed load (no sizes) gives a zero-sized rectangle at the position.
  EXPECT_EQ(FilmstripFrameRect(5, 6, IFilmstrip(nullptr, 0, 0, 16)), IRect(5, 6, 5, 6));
}

class ControlFamily : public ::testing::Test {
protected:
  EditorTestPlug plug;
  // The threshold knob: 97 x 95 frames, 16 steps, gearing 2.
  IKnobMultiControl knob{&plug, 25, 327, 0, IFilmstrip(nullptr, 97, 1520, 16), IKnobControl::AxisVertical, 2.0};

  double Param(int i) const { return plug.GetParam(i)->Value(); }
};

TEST_F(ControlFamily, SwitchStepsThroughItsFramesAndWraps) {
  struct Case {
    int frames;
    std::vector<double> sequence;
  } cases[] = {
      {2, {1.0, 0.0, 1.0}}, {3, {0.5, 1.0, 0.0, 0.5}}, {1, {1.0, 0.0, 1.0}},  // a single frame steps by a whole 1.0
  };
  for (const Case& c : cases) {
    ISwitchControl sw(&plug, 0, 0, 12, IFilmstrip(nullptr, 10, 10 * c.frames, c.frames));
    for (double expected : c.sequence) {
      sw.OnPress(1, 1, IModifiers(false, true, true, true, true));  // any button, any modifiers
      EXPECT_DOUBLE_EQ(sw.GetValue(), expected) << c.frames << " frames";
    }
  }
}

TEST_F(ControlFamily, SwitchPressSetsTheParameterAndDoubleClickTogglesTwice) {
  ISwitchControl bypass(&plug, 49, 565, 10, IFilmstrip(nullptr, 49, 50, 2));
  bypass.SetValueFromPlugin(1.0);  // processing
  bypass.OnPress(60, 570, IModifiers(true));
  EXPECT_EQ(Param(10), 0.0);
  bypass.OnDoubleClick(60, 570, IModifiers(true));
  EXPECT_EQ(Param(10), 1.0);
  EXPECT_EQ(bypass.GetValue(), 1.0);
}

TEST_F(ControlFamily, KnobDragGearing) {
  struct Case {
    IModifiers mods;
    int dY;
    double expected;
  } cases[] = {
      {IModifiers(true), -190, 1.0},  // full sweep in 190 px
      {IModifiers(true), -95, 0.5},
      {IModifiers(true), 19, 0.0},                              // down from 0 clamps
      {IModifiers(true, false, true), -190, 0.1},               // Shift: ten times finer
      {IModifiers(true, false, false, true), -1900, 1.0},       // Control: 1900 px for the range
      {IModifiers(true, false, false, false, true), -95, 0.5},  // Alt changes nothing
  };
  for (const Case& c : cases) {
    knob.SetValueFromPlugin(0.0);
    knob.OnDrag(0, 0, 0, c.dY, c.mods);
    EXPECT_NEAR(knob.GetValue(), c.expected, 1e-12) << "dY " << c.dY;
  }
}

TEST_F(ControlFamily, RatioKnobTakes141PixelsAndHorizontalUsesWidth) {
  IKnobMultiControl ratio(&plug, 161, 442, 4, IFilmstrip(nullptr, 96, 470, 5), IKnobControl::AxisVertical, 1.5);
  ratio.OnDrag(0, 0, 0, -141, IModifiers(true));
  EXPECT_NEAR(ratio.GetValue(), 141.0 / 141.0, 1e-12);
  EXPECT_EQ(Param(4), 4.0);

  IKnobMultiControl side(&plug, 0, 0, 4, IFilmstrip(nullptr, 50, 100, 2), IKnobControl::AxisHorizontal, 2.0);
  side.OnDrag(0, 0, 25, -999, IModifiers(true));  // only dX counts
  EXPECT_DOUBLE_EQ(side.GetValue(), 0.25);
}

TEST_F(ControlFamily, KnobAtTheTopStillResendsOnEveryDragStep) {
  knob.SetValueFromPlugin(1.0);
  plug.reports.clear();
  for (int i = 0; i < 3; ++i) knob.OnDrag(0, 0, 0, -5, IModifiers(true));
  EXPECT_EQ(knob.GetValue(), 1.0);
  ASSERT_EQ(plug.reports.size(), 3u);
  for (const auto& r : plug.reports) EXPECT_EQ(r, std::make_pair(0, 1.0));
  EXPECT_EQ(Param(0), 15.0);
}

TEST_F(ControlFamily, KnobWithoutExtentIgnoresDrags) {
  IKnobMultiControl empty(&plug, 0, 0, 0, IFilmstrip(nullptr, 0, 0, 16));  // image failed to load
  empty.SetValueFromPlugin(0.5);
  empty.OnDrag(0, 0, 0, -10, IModifiers(true));
  EXPECT_EQ(empty.GetValue(), 0.5);
}

// One notch moves a stepped knob one step from the step its value sets, whatever the modifiers,
// when a step is wider than the gearing (0.01 per notch, 0.001 with Shift or Control); finer steps
// and knobs without a parameter keep the gearing.
TEST_F(ControlFamily, KnobWheel) {
  plug.GetParam(3)->InitInt("Many Steps", 0, 500);    // steps of 0.002
  plug.GetParam(5)->InitInt("Finer Steps", 0, 2000);  // steps of 0.0005
  IKnobMultiControl many(&plug, 0, 0, 3, IFilmstrip(nullptr, 10, 10, 1));
  IKnobMultiControl finer(&plug, 0, 0, 5, IFilmstrip(nullptr, 10, 10, 1));
  IKnobMultiControl unbound(&plug, 0, 0, -1, IFilmstrip(nullptr, 10, 10, 1));
  const IModifiers shift(false, false, true), control(false, false, false, true);
  struct Case {
    IKnobMultiControl* knob;
    double start;
    IModifiers mods;
    int notches;
    double expected;
  } cases[] = {
      // The threshold knob, 16 steps of 1/15: 0.5 sets step 8 (7.5 rounds up).
      {&knob, 0.5, IModifiers(), 1, 9.0 / 15},
      {&knob, 0.5, IModifiers(), -3, 5.0 / 15},
      {&knob, 0.5, shift, 2, 10.0 / 15},
      {&knob, 8.4 / 15, control, 1, 9.0 / 15},
      {&knob, 0.9995, control, 1, 1.0},  // held at the top
      {&knob, 0.0, IModifiers(), -1, 0.0},
      {&knob, 0.3, IModifiers(), 0, 0.3},  // no notch, no change
      // Steps of 0.002: the plain gearing moves five steps, the fine one a step.
      {&many, 0.5, IModifiers(), 1, 0.51},
      {&many, 0.5, shift, 1, 0.502},
      // Steps of 0.0005: the gearing either way.
      {&finer, 0.5, IModifiers(), -1, 0.49},
      {&finer, 0.5, control, 1, 0.501},
      {&unbound, 0.5, IModifiers(), 1, 0.51},
      {&unbound, 0.5, shift, -2, 0.498},
  };
  for (const Case& c : cases) {
    c.knob->SetValueFromPlugin(c.start);
    plug.reports.clear();
    c.knob->OnWheel(0, 0, c.mods, c.notches);
    EXPECT_NEAR(c.knob->GetValue(), c.expected, 1e-12) << c.knob->ParamIdx() << ": " << c.start << " + " << c.notches;
    EXPECT_EQ(plug.reports.size(), c.notches != 0 && c.knob->ParamIdx() >= 0 ? 1u : 0u);
  }
}

TEST_F(ControlFamily, FirstValueFromThePluginIsTheResetValue) {
  knob.MarkClean();
  // Before any value arrived a double click does nothing.
  knob.OnDoubleClick(0, 0, IModifiers(true));
  EXPECT_EQ(knob.GetValue(), 0.0);
  EXPECT_TRUE(plug.reports.empty());

  knob.SetValueFromPlugin(0.8);
  EXPECT_EQ(knob.GetResetValue(), 0.8);
  EXPECT_FALSE(knob.NeedsPaint());  // the first value marks nothing

  knob.SetValueFromPlugin(0.2);
  EXPECT_TRUE(knob.NeedsPaint());
  knob.OnDoubleClick(0, 0, IModifiers(true));
  EXPECT_EQ(knob.GetValue(), 0.8);
  ASSERT_FALSE(plug.reports.empty());
  EXPECT_EQ(plug.reports.back(), std::make_pair(0, 0.8));
}

TEST_F(ControlFamily, ValueOperationsPaintTwiceMarkDirtyOnce) {
  knob.SetValueFromPlugin(0.0);
  knob.MarkClean();
  knob.SetValueFromPlugin(0.5);
  EXPECT_TRUE(knob.NeedsPaint());
  knob.MarkClean();
  EXPECT_TRUE(knob.NeedsPaint());  // paintAgain carried over
  knob.MarkClean();
  EXPECT_FALSE(knob.NeedsPaint());

  knob.SetValueFromPlugin(0.5);  // unchanged: nothing
  EXPECT_FALSE(knob.NeedsPaint());

  knob.MarkDirty(false);
  knob.MarkClean();
  EXPECT_FALSE(knob.NeedsPaint());

  // A NaN counts as a change every time; it is not clamped and still draws frame 1.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  knob.SetValueFromPlugin(nan);
  knob.MarkClean();
  knob.MarkClean();
  knob.SetValueFromPlugin(nan);
  EXPECT_TRUE(knob.NeedsPaint());
}

TEST_F(ControlFamily, PluginValuesAreNotClampedButUserValuesAre) {
  knob.SetValueFromPlugin(1.5);
  EXPECT_EQ(knob.GetValue(), 1.5);  // the first value is stored as it comes
  knob.SetValueFromPlugin(1.7);
  EXPECT_EQ(knob.GetValue(), 1.0);  // later ones pass through MarkDirty, which clamps
  knob.SetValueRange(0.2, 0.6);
  knob.SetValueFromUser(0.1);
  EXPECT_EQ(knob.GetValue(), 0.2);
  EXPECT_EQ(plug.reports.back(), std::make_pair(0, 0.2));
}

TEST_F(ControlFamily, GreyingSetsWeightAndUngreyingRestoresFullWeight) {
  knob.SetBlend(IBlend(IBlend::BlendOver, 0.6f));
  knob.SetGreyed(true);
  EXPECT_EQ(knob.GetBlend().weight, 0.25f);
  knob.SetGreyed(false);
  EXPECT_EQ(knob.GetBlend().weight, 1.0f);
}

TEST_F(ControlFamily, HiddenControlIsMarkedForTwoPasses) {
  knob.MarkClean();
  knob.SetHidden(true);
  EXPECT_TRUE(knob.IsHidden());
  EXPECT_TRUE(knob.NeedsPaint());
  EXPECT_TRUE(knob.PaintAgain());
}

TEST_F(ControlFamily, BitmapControlsTakeTheirBlend) {
  IBitmapControl bg(&plug, 0, 0, -1, IFilmstrip(nullptr, 404, 634, 1), IBlend::BlendReplace);
  EXPECT_EQ(bg.GetRect(), IRect(0, 0, 404, 634));
  EXPECT_EQ(bg.GetBlend().kind, IBlend::BlendReplace);
  EXPECT_EQ(knob.GetBlend().kind, IBlend::BlendOver);
  EXPECT_EQ(knob.GetRect(), IRect(25, 327, 122, 422));
  EXPECT_EQ(knob.GetHitRect(), knob.GetRect());
}

}  // namespace
