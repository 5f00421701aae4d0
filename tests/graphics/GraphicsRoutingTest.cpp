#include "GraphicsTestSupport.h"

#include "bitmap/LICE_SysBitmap.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Background 0..100 square, two overlapping controls on top (A bound to parameter 4, B to none).
class Routing : public ::testing::Test {
protected:
  Routing() {
    bg = new RecordingControl(&plug, IRect(0, 0, 100, 100));
    a = new RecordingControl(&plug, IRect(10, 10, 50, 50), 4);
    b = new RecordingControl(&plug, IRect(40, 40, 80, 80));
    g.AddControl(bg);
    g.AddControl(a);
    g.AddControl(b);
  }

  EditorTestPlug plug;
  TestGraphics g{&plug, 100, 100};
  RecordingControl* bg;
  RecordingControl* a;
  RecordingControl* b;
  const IModifiers left{true};
  const IModifiers right{false, true};
};

TEST_F(Routing, ControlAtPicksTheTopmostVisibleEnabledControl) {
  struct Case {
    int x, y, expected;
  } cases[] = {
      {45, 45, 2},               // covered by A and B: the later one wins
      {20, 20, 1},   {5, 5, 0},  // only the background
      {50, 50, 2},               // A's right/bottom edges are exclusive
      {100, 50, -1}, {-1, 5, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(g.ControlAt(c.x, c.y), c.expected) << c.x << "," << c.y;

  b->SetHidden(true);
  EXPECT_EQ(g.ControlAt(45, 45), 1);
  b->SetHidden(false);
  b->SetGreyed(true);
  EXPECT_EQ(g.ControlAt(45, 45), 1);
}

TEST_F(Routing, LeftPressCapturesAndReleaseGoesToTheCapture) {
  g.OnPress(20, 20, left);
  EXPECT_EQ(g.PressedIndex(), 1);
  g.OnDrag(22, 15, 0, 0, left);
  g.OnDrag(22, 15, 0, 0, left);  // no movement, no drag
  g.OnDrag(95, 95, 0, 0, left);  // outside the control and over B: still A's
  g.OnRelease(95, 95, left);     // over the background: still A's

  EXPECT_EQ(a->events, (std::vector<std::string>{"press 20,20", "drag 22,15", "drag 95,95", "release 95,95"}));
  EXPECT_EQ(a->drags, (std::vector<std::pair<int, int>>{{2, -5}, {73, 80}}));
  EXPECT_TRUE(b->events.empty());
  EXPECT_TRUE(bg->events.empty());
  EXPECT_TRUE(plug.calls.empty()) << "the control edited nothing, so no gesture reached the host";
  EXPECT_EQ(g.PressedIndex(), -1);
}

TEST_F(Routing, RightPressOnABoundControlOpensTheHostMenuInstead) {
  g.OnPress(20, 20, right);
  EXPECT_TRUE(a->events.empty());
  EXPECT_EQ(plug.calls, (std::vector<std::string>{"menu 4 20,20"}));
  EXPECT_EQ(g.PressedIndex(), -1);

  // The release then finds the control by position, and ends no gesture: none began.
  g.OnRelease(20, 20, right);
  EXPECT_EQ(a->events, (std::vector<std::string>{"release 20,20"}));
  EXPECT_EQ(plug.calls, (std::vector<std::string>{"menu 4 20,20"}));
}

TEST_F(Routing, TheHostMenuOpensAtTheViewsPixelsAtEveryScale) {
  g.CreateDrawBitmaps();
  for (const auto& [scale, expected] :
       {std::pair{2.0, "menu 4 40,40"}, {1.5, "menu 4 30,30"}, {1.25, "menu 4 25,25"}}) {
    plug.calls.clear();
    g.SetDrawScale(scale);
    g.OnPress(20, 20, right);  // panel coordinates, as the window hands them on
    g.OnRelease(20, 20, right);
    EXPECT_EQ(plug.calls, (std::vector<std::string>{expected})) << scale;
  }
}

TEST_F(Routing, RightPressOnAnUnboundControlReachesIt) {
  g.OnPress(60, 60, right);
  EXPECT_EQ(b->events, (std::vector<std::string>{"press 60,60"}));
  EXPECT_TRUE(plug.calls.empty());  // no gesture for a control without parameter
  EXPECT_EQ(g.PressedIndex(), 2);
}

TEST_F(Routing, PressOutsideEveryControlDropsTheCapture) {
  g.OnPress(20, 20, left);
  g.OnPress(200, 200, left);
  EXPECT_EQ(g.PressedIndex(), -1);
  g.OnDrag(30, 30, 0, 0, left);
  g.OnRelease(200, 200, left);
  EXPECT_EQ(a->events, (std::vector<std::string>{"press 20,20"}));
}

TEST_F(Routing, WheelNotchesTruncateTowardZero) {
  struct Case {
    int delta, notches;
  } cases[] = {{120, 1}, {60, 0}, {-60, 0}, {119, 0}, {-119, 0}, {240, 2}, {-360, -3}, {250, 2}};
  for (const Case& c : cases) EXPECT_EQ(IGraphics::WheelNotches(c.delta), c.notches) << c.delta;
}

TEST_F(Routing, WheelGoesToTheCaptureElseToThePointer) {
  g.OnWheel(60, 60, IModifiers(), 2);
  EXPECT_EQ(b->lastNotches, 2);
  g.OnPress(20, 20, left);
  g.OnWheel(60, 60, IModifiers(), -1);
  EXPECT_EQ(a->lastNotches, -1);
  EXPECT_EQ(b->events.size(), 1u);
}

TEST_F(Routing, DoubleClickReachesTheControlOrActsAsPress) {
  g.OnDoubleClick(20, 20, left);
  EXPECT_EQ(a->events, (std::vector<std::string>{"dblclick 20,20"}));
  EXPECT_EQ(g.PressedIndex(), -1);
  EXPECT_TRUE(plug.calls.empty());  // no gesture begins

  b->SetDoubleClickIsPress(true);
  g.OnDoubleClick(60, 60, left);
  EXPECT_EQ(b->events, (std::vector<std::string>{"press 60,60"}));
  EXPECT_EQ(g.PressedIndex(), 2);
}

TEST_F(Routing, KeysGoToTheControlOrTheFallback) {
  a->handlesKeys = true;
  EXPECT_TRUE(g.OnKey(20, 20, KeySpace));
  EXPECT_EQ(a->lastKey, KeySpace);
  EXPECT_FALSE(g.OnKey(5, 5, KeyUp));  // the background never gets keys; no fallback
  EXPECT_TRUE(bg->events.empty());

  auto* fallback = new RecordingControl(&plug, IRect());
  fallback->handlesKeys = true;
  g.SetKeyFallback(fallback);
  EXPECT_TRUE(g.OnKey(5, 5, KeyDown));
  EXPECT_TRUE(g.OnKey(500, 500, KeyLeft));
  EXPECT_EQ(fallback->lastKey, KeyLeft);
}

TEST_F(Routing, HoverOnlyWhenEnabledAndLeaveReachesEveryControl) {
  EXPECT_FALSE(g.OnHover(20, 20, IModifiers()));
  EXPECT_TRUE(a->events.empty());

  g.SetHoverEnabled(true);
  EXPECT_TRUE(g.OnHover(20, 20, IModifiers()));
  EXPECT_EQ(g.HoverIndex(), 1);
  EXPECT_TRUE(g.OnHover(60, 60, IModifiers()));
  EXPECT_EQ(g.HoverIndex(), 2);
  EXPECT_EQ(a->events, (std::vector<std::string>{"hover 20,20", "leave"}));

  b->SetGreyed(true);
  EXPECT_TRUE(g.OnHover(60, 60, IModifiers()));
  EXPECT_EQ(g.HoverIndex(), 0);  // greyed B is skipped, the background is under it
  b->SetHoverWhenGreyed(true);
  EXPECT_TRUE(g.OnHover(60, 60, IModifiers()));
  EXPECT_EQ(g.HoverIndex(), 2);
  EXPECT_TRUE(g.OnHover(500, 500, IModifiers()));  // nothing there: unchanged
  EXPECT_EQ(g.HoverIndex(), 2);

  g.OnLeave();
  EXPECT_EQ(g.HoverIndex(), -1);
  EXPECT_EQ(bg->events.back(), "leave");
  EXPECT_EQ(b->events.back(), "leave");
}

TEST_F(Routing, AddBackgroundShiftsEveryIndex) {
  EditorTestPlug p;
  TestGraphics gr(&p);
  auto* first = new RecordingControl(&p, IRect(1, 1, 2, 2));
  auto* second = new RecordingControl(&p, IRect(3, 3, 4, 4));
  EXPECT_EQ(gr.AddControl(first), 0);
  EXPECT_EQ(gr.AddControl(second), 1);
  auto* back = new RecordingControl(&p, IRect(0, 0, 404, 634));
  gr.AddBackground(back);
  ASSERT_EQ(gr.ControlCount(), 3);
  EXPECT_EQ(gr.Control(0), back);
  EXPECT_EQ(gr.Control(1), first);
  EXPECT_EQ(gr.Control(2), second);
  EXPECT_EQ(back->GetGraphics(), &gr);
  EXPECT_EQ(gr.Control(3), nullptr);
}

TEST_F(Routing, PushReachesEveryBoundControlAndAuxiliaryBinding) {
  auto* twin = new RecordingControl(&plug, IRect(0, 0, 1, 1), 4);
  auto* aux = new RecordingControl(&plug, IRect(0, 0, 1, 1), -1);
  aux->AddAuxParam(7);
  aux->AddAuxParam(4);
  g.AddControl(twin);
  g.AddControl(aux);
  for (IControl* c : {static_cast<IControl*>(a), static_cast<IControl*>(twin)}) c->SetValueFromPlugin(0.0);

  g.PushParamToControls(4, 3.0, false);  // plain "Ratio" 3 of 0..4
  EXPECT_EQ(a->GetValue(), 0.75);
  EXPECT_EQ(twin->GetValue(), 0.75);
  EXPECT_EQ(aux->GetAuxParam(1)->value, 0.75);
  EXPECT_EQ(aux->GetAuxParam(0)->value, 0.0);
  EXPECT_TRUE(a->NeedsPaint());
  EXPECT_TRUE(twin->NeedsPaint());

  g.PushParamToControls(4, 0.25, true);
  EXPECT_EQ(a->GetValue(), 0.25);
  EXPECT_EQ(twin->GetValue(), 0.25);
  g.PushParamToControls(4, 9.0, false);  // plain values are clamped into the range first
  EXPECT_EQ(twin->GetValue(), 1.0);
}

TEST_F(Routing, ResizeDropsTheLayoutAndTellsThePlugin) {
  g.CreateDrawBitmaps();
  g.OnPress(20, 20, left);
  g.ResizeSurface(100, 100);  // unchanged size: nothing
  EXPECT_EQ(g.ControlCount(), 3);

  g.ResizeSurface(200, 150);
  EXPECT_EQ(g.ControlCount(), 0);
  EXPECT_EQ(g.PressedIndex(), -1);
  EXPECT_EQ(g.Width(), 200);
  ASSERT_NE(g.BackBuffer(), nullptr);
  EXPECT_EQ(plug.calls.back(), "resize 200x150");
}

}  // namespace

namespace {

// Device and panel coordinates at every common host scale: each device pixel belongs to exactly
// one panel coordinate, the back buffer and the window cover the whole panel, and scale 1 is the
// identity.
TEST(DrawScale, DevicePixelsTileThePanelAtEveryScale) {
  EditorTestPlug plug;
  TestGraphics g(&plug, 404, 634);
  g.CreateDrawBitmaps();
  for (double scale : {1.0, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0}) {
    g.SetDrawScale(scale);
    ASSERT_EQ(g.DrawScale(), scale);
    EXPECT_EQ(g.DeviceWidth(), static_cast<int>(404 * scale + 0.5)) << scale;
    EXPECT_EQ(g.BackBuffer()->Width(), g.DeviceWidth()) << scale;
    EXPECT_EQ(g.BackBuffer()->Height(), g.DeviceHeight()) << scale;
    for (int d = 0; d < g.DeviceHeight(); ++d) {
      const int p = g.PanelCoord(d);
      ASSERT_TRUE(g.DeviceCoord(p) <= d && d < g.DeviceCoord(p + 1)) << scale << " " << d;
    }
    const IRect knob(25, 327, 122, 422);
    EXPECT_EQ(g.PanelRect(g.DeviceRect(knob)), knob) << scale;
  }
  for (double odd : {0.5, 3.5, std::nan("")}) {
    g.SetDrawScale(odd);
    EXPECT_GE(g.DrawScale(), IGraphics::kMinDrawScale);
    EXPECT_LE(g.DrawScale(), IGraphics::kMaxDrawScale);
  }
}

}  // namespace
