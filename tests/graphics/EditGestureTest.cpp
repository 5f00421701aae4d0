// Every user action in the editor reaches the host as exactly one begin ... perform ... end edit,
// never an end without its begin, and nothing at all for an action that changes nothing.

#include "GraphicsTestSupport.h"

#include "framework/graphics/IKnobMultiControl.h"
#include "framework/graphics/ISwitchControl.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <sstream>

namespace {

using Calls = std::vector<std::string>;

// A ratio knob (parameter 4, five steps) at 0..40 x 0..40, a threshold knob (parameter 0) beside
// it at 50..90, the in/out switch (parameter 10) below at 0..40 x 50..70; the rest is empty.
class EditGestures : public ::testing::Test {
protected:
  EditGestures() {
    g = new TestGraphics(&plug, 100, 100);
    g->AddControl(new IKnobMultiControl(&plug, 0, 0, kParamRatio, IFilmstrip(nullptr, 40, 200, 5)));
    g->AddControl(new IKnobMultiControl(&plug, 50, 0, kParamCompressorThreshold, IFilmstrip(nullptr, 40, 640, 16)));
    g->AddControl(new ISwitchControl(&plug, 0, 50, kParamBypass, IFilmstrip(nullptr, 40, 40, 2)));
    plug.AttachGraphics(g);  // the controls take the parameters' values as their defaults
    plug.calls.clear();
  }

  // Refresh ticks until a wheel burst's gesture has ended, not one more.
  static int PauseTicks() { return (IGraphics::kWheelGesturePauseMs * 25 + 999) / 1000; }

  EditorTestPlug plug;
  TestGraphics* g;  // owned by plug
  const IModifiers left{true};
  const IModifiers right{false, true};
  const IModifiers none{};
};

// What a window delivers for a user's actions, as the platforms turn them into calls.
TEST_F(EditGestures, EachActionIsOneGesture) {
  const std::string ratio = std::to_string(kParamRatio), threshold = std::to_string(kParamCompressorThreshold),
                    inOut = std::to_string(kParamBypass);
  const Calls drag = {"begin " + ratio, "edit " + ratio, "edit " + ratio, "end " + ratio};
  struct Case {
    const char* action;
    std::function<void()> act;
    Calls expected;
  } cases[] = {
      {"drag a knob",
       [&] {
         g->OnPress(20, 20, left);
         g->OnDrag(20, 10, 0, 0, left);
         g->OnDrag(20, 5, 0, 0, left);
         g->OnRelease(20, 5, left);
       },
       drag},
      {"click a knob without moving it", [&] { g->OnPress(20, 20, left), g->OnRelease(20, 20, left); }, {}},
      {"double click a knob to its default (press, release, double click, release)",
       [&] {
         g->OnPress(20, 20, left), g->OnRelease(20, 20, left);
         g->OnDoubleClick(20, 20, left), g->OnRelease(20, 20, left);
       },
       {"begin " + ratio, "edit " + ratio, "end " + ratio}},
      {"right click a knob: the host's menu",
       [&] { g->OnPress(20, 20, right), g->OnRelease(20, 20, right); },
       {"menu " + ratio + " 20,20"}},
      {"click the switch",
       [&] { g->OnPress(20, 60, left), g->OnRelease(20, 60, left); },
       {"begin " + inOut, "edit " + inOut, "end " + inOut}},
      {"release over a knob after a press elsewhere",
       [&] { g->OnPress(95, 95, left), g->OnDrag(20, 20, 0, 0, left), g->OnRelease(20, 20, left); },
       {}},
      {"wheel a knob while dragging it",
       [&] {
         g->OnPress(20, 20, left);
         g->OnDrag(20, 10, 0, 0, left);
         g->OnWheel(20, 10, none, 1);
         g->OnRelease(20, 10, left);
       },
       drag},
      {"wheel over empty space", [&] { g->OnWheel(95, 95, none, 1), g->OnLeave(); }, {}},
      {"wheel one knob, then the other",
       [&] {
         g->OnWheel(20, 20, none, 1);
         g->OnWheel(60, 20, none, -1);
         g->OnWheel(60, 20, none, -1);
         g->OnLeave();
       },
       {"begin " + ratio, "edit " + ratio, "end " + ratio, "begin " + threshold, "edit " + threshold,
        "edit " + threshold, "end " + threshold}},
      {"wheel, then press another knob",
       [&] {
         g->OnWheel(20, 20, none, 1);
         g->OnPress(60, 20, left), g->OnDrag(60, 10, 0, 0, left), g->OnRelease(60, 10, left);
       },
       {"begin " + ratio, "edit " + ratio, "end " + ratio, "begin " + threshold, "edit " + threshold,
        "end " + threshold}},
      {"the window closes during a drag",
       [&] { g->OnPress(20, 20, left), g->OnDrag(20, 10, 0, 0, left), g->EndEditGesture(); },
       {"begin " + ratio, "edit " + ratio, "end " + ratio}},
      {"a value from a menu or a text entry",
       [&] { g->Control(0)->SetValueFromUser(1.0); },
       {"begin " + ratio, "edit " + ratio, "end " + ratio}},
  };
  for (const Case& c : cases) {
    plug.calls.clear();
    c.act();
    EXPECT_EQ(plug.calls, c.expected) << c.action;
    EXPECT_EQ(g->OpenGestureParam(), -1) << c.action;
    g->EndEditGesture();
    plug.RestorePreset(0);  // the defaults again
    plug.calls.clear();
  }
}

TEST_F(EditGestures, AWheelBurstIsOneGestureEndingAfterAPause) {
  const std::string ratio = std::to_string(kParamRatio);
  for (int notch = 0; notch < 3; ++notch) {
    g->OnWheel(20, 20, none, notch == 2 ? -1 : 1);
    for (int t = 0; t < PauseTicks() - 1; ++t) g->Tick();  // a shorter rest keeps the gesture open
  }
  EXPECT_EQ(plug.calls, (Calls{"begin " + ratio, "edit " + ratio, "edit " + ratio, "edit " + ratio}));
  g->Tick();
  EXPECT_EQ(plug.calls.back(), "end " + ratio);
  EXPECT_EQ(plug.calls.size(), 5u);
  for (int t = 0; t < 2 * PauseTicks(); ++t) g->Tick();
  EXPECT_EQ(plug.calls.size(), 5u);
}

// However events arrive (a host may swallow a release, a press may come from outside the window),
// the host never sees an edit outside a gesture, a begin inside one or an end without its begin.
TEST_F(EditGestures, AnyOrderOfEventsGivesWellFormedGestures) {
  std::mt19937 random(18);
  std::uniform_int_distribution<int> event(0, 9), coordinate(0, 99), notches(-2, 2);
  const IModifiers mods[] = {left, right, none, IModifiers(true, false, true), IModifiers(false, false, false, true)};
  std::ostringstream trace;
  for (int i = 0; i < 5000; ++i) {
    const int x = coordinate(random), y = coordinate(random);
    const IModifiers& m = mods[static_cast<size_t>(coordinate(random)) % 5];
    const int e = event(random);
    trace << e << "@" << x << "," << y << " ";
    switch (e) {
      case 0: g->OnPress(x, y, m); break;
      case 1:
      case 2: g->OnDrag(x, y, 0, 0, m); break;
      case 3: g->OnRelease(x, y, m); break;
      case 4: g->OnDoubleClick(x, y, m); break;
      case 5:
      case 6: g->OnWheel(x, y, m, notches(random)); break;
      case 7: g->OnLeave(); break;
      case 8: g->Tick(); break;
      default:
        if (x < 5) g->EndEditGesture();
        break;
    }
  }
  g->EndEditGesture();

  std::string open;
  int gestures = 0;
  for (const std::string& call : plug.calls) {
    const std::string kind = call.substr(0, call.find(' ')), param = call.substr(call.find(' ') + 1);
    if (kind == "begin") {
      ASSERT_EQ(open, "") << call << " inside a gesture; " << trace.str();
      open = param;
      ++gestures;
    } else if (kind == "edit") {
      ASSERT_EQ(open, param) << call << " outside its gesture; " << trace.str();
    } else if (kind == "end") {
      ASSERT_EQ(open, param) << call << " without its begin; " << trace.str();
      open.clear();
    }
  }
  EXPECT_EQ(open, "");
  EXPECT_GT(gestures, 100);  // the walk did edit
}

}  // namespace
