// Velmora's editor in a Linux host: the test host embeds it in its own top-level windows on a
// private X display, offers its run loop through the plug frame, and uses it with real pointer
// and key input. Every wait is on a condition, with a time-out.

#include "tests/x11/X11TestHost.h"

#include "bitmap/LICE_PngEncode.h"
#include "plugin/VelmoraEditor.h"
#include "plugin/VelmoraSteps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace Steinberg;
using namespace x11test;
using vst3host::HandlerCall;

namespace {

constexpr uint32_t kKeysymTab = 0xFF09;

using editortest::GestureText;
using editortest::Knob;
using editortest::KnobRect;
using editortest::StepNormalized;
using editortest::StepSetting;
using editortest::WheelPauseTicks;

const IRect kMeterRect = editortest::MeterRect();
const IRect kWholeEditor(0, 0, kEditorWidth, kEditorHeight);

class X11Editor : public ::testing::Test {
protected:
  // Opens an editor at (x, y) and waits until the screen shows the editor as drawn off screen at
  // the same settings.
  std::unique_ptr<HostedEditor> OpenShowing(int x, int y) {
    std::unique_ptr<HostedEditor> editor = host.NewEditor(x, y);
    EXPECT_EQ(editor->Attach(), kResultOk);
    EXPECT_TRUE(ScreenShows(*editor, DefaultPicture(), kWholeEditor));
    return editor;
  }

  // Runs the host until rect of the editor's window equals rect of picture.
  bool ScreenShows(const HostedEditor& editor, const LICE_IBitmap& picture, const IRect& rect) {
    int differing = -1;
    const bool shown = host.RunUntil([&] {
      LICE_MemBitmap screen;
      differing = host.Capture(editor.EditorWindow(), &screen) ? DifferingPixels(screen, picture, rect) : -1;
      return differing == 0;
    });
    if (!shown) ADD_FAILURE() << differing << " pixels differ from the expected picture";
    return shown;
  }

  const LICE_MemBitmap& DefaultPicture() {
    if (!mDefaultPicture.Pixels()) {
      EXPECT_TRUE(X11TestHost::Snapshot({}, &mDefaultPicture));
    }
    return mDefaultPicture;
  }

  // The centre of a rectangle of the editor, on the screen.
  static std::pair<int, int> OnScreen(const HostedEditor& editor, const IRect& rect) {
    return {editor.x + (rect.L + rect.R) / 2, editor.y + (rect.T + rect.B) / 2};
  }

  static std::vector<HandlerCall> CallsOf(const HostedEditor& editor, HandlerCall::Kind kind) {
    std::vector<HandlerCall> calls;
    for (const HandlerCall& c : editor.Calls())
      if (c.kind == kind) calls.push_back(c);
    return calls;
  }

  X11TestHost host;

private:
  LICE_MemBitmap mDefaultPicture;
};

}  // namespace

TEST_F(X11Editor, OpensShowingWhatTheHeadlessSnapshotShowsAtTheSameSettings) {
  std::unique_ptr<HostedEditor> editor = host.NewEditor(16, 16);
  const std::vector<std::pair<int, int>> steps = {
      {kParamRatio, 3}, {kParamCompressorThreshold, 5}, {kParamGRSelect, 1}};
  editor->SetSteps(steps);
  LICE_MemBitmap expected;
  std::vector<std::string> sets;
  for (const auto& [index, step] : steps) sets.push_back(StepSetting(index, step));
  ASSERT_TRUE(X11TestHost::Snapshot(sets, &expected));

  EXPECT_EQ(editor->view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultOk);
  EXPECT_EQ(editor->view->isPlatformTypeSupported(kPlatformTypeHWND), kResultFalse);
  ASSERT_EQ(editor->Attach(), kResultOk);
  EXPECT_EQ(host.Loop().EventHandlerCount(), 1) << "the editor watches its display connection";
  // The editor ticks on the host's timer; the binding's notices (values the host should read again)
  // take a timer of their own from the same loop while the editor is open, the host offering none
  // elsewhere.
  EXPECT_EQ(host.Loop().TimerCount(), 2) << "the editor's tick and the binding's notices";
  EXPECT_TRUE(ScreenShows(*editor, expected, kWholeEditor));

  // The README's picture of the editor in the test host's window.
  LICE_MemBitmap screen;
  if (host.Capture(editor->window->Window(), &screen)) WriteBitmapPng(&screen, X11_SCREENSHOT_PATH, nullptr);

  EXPECT_EQ(editor->Removed(), kResultOk);
  EXPECT_EQ(host.Loop().EventHandlerCount(), 0);
  EXPECT_EQ(host.Loop().TimerCount(), 0);
  EXPECT_TRUE(host.RunUntil([&] { return editor->EditorWindow() == 0; })) << "the editor's window is gone";
}

TEST_F(X11Editor, DraggedKnobEditsItsParameterByTheGearingAndShowsTheNewFrameWithinTwoTicks) {
  std::unique_ptr<HostedEditor> editor = OpenShowing(0, 0);
  const VelmoraKnob& knob = Knob(kParamRatio);
  const IRect rect = KnobRect(knob);
  const auto [x, y] = OnScreen(*editor, rect);
  constexpr int kTravel = 48;  // pixels up, in four moves
  host.MoveTo(x, y);
  host.Press(1);
  for (int dy = 12; dy <= kTravel; dy += 12) host.MoveTo(x, y - dy);
  host.Release(1);
  const long long ticksBefore = host.Loop().TimerCallbacks();

  // One control height of travel changes the value by 1 / gearing.
  const int start = kParamDefinitions[kParamRatio].defaultStep;
  const double expected =
      StepNormalized(kParamRatio, start) + static_cast<double>(kTravel) / (rect.B - rect.T) / knob.gearing;
  const int newStep = static_cast<int>(expected * kParamDefinitions[kParamRatio].maxStep + 0.5);
  LICE_MemBitmap picture;
  ASSERT_TRUE(X11TestHost::Snapshot({StepSetting(kParamRatio, newStep)}, &picture));
  EXPECT_TRUE(ScreenShows(*editor, picture, rect));
  EXPECT_LE(host.Loop().TimerCallbacks() - ticksBefore, 2);

  const std::vector<HandlerCall> calls = editor->Calls();
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls.front().kind, HandlerCall::kBeginEdit);
  EXPECT_EQ(calls.back().kind, HandlerCall::kEndEdit);
  for (const HandlerCall& c : calls) EXPECT_EQ(c.id, static_cast<Vst::ParamID>(kParamRatio));
  const std::vector<HandlerCall> performs = CallsOf(*editor, HandlerCall::kPerformEdit);
  ASSERT_EQ(performs.size(), 4u) << "one edit per move";
  EXPECT_NEAR(performs.back().value, expected, 1e-9);
  EXPECT_DOUBLE_EQ(editor->instance->Controller()->getParamNormalized(kParamRatio),
                   StepNormalized(kParamRatio, newStep));
  EXPECT_FALSE(host.PointerGrabbed()) << "the drag's grab ends with the button";
  editor->Removed();
}

TEST_F(X11Editor, LoudAudioProcessedWhileOpenMovesTheMeterOnScreen) {
  std::unique_ptr<HostedEditor> editor = OpenShowing(0, 0);
  // The host lowers the threshold, so that a full-scale tone is compressed.
  editor->SetSteps({{kParamCompressorThreshold, 0}});
  LICE_MemBitmap lowered;
  ASSERT_TRUE(X11TestHost::Snapshot({StepSetting(kParamCompressorThreshold, 0)}, &lowered));
  ASSERT_TRUE(ScreenShows(*editor, lowered, kWholeEditor));
  LICE_MemBitmap before;
  ASSERT_TRUE(host.Capture(editor->EditorWindow(), &before));
  editor->ProcessLoudAudio(0.5);
  int moved = 0;
  EXPECT_TRUE(host.RunUntil([&] {
    LICE_MemBitmap screen;
    moved = host.Capture(editor->EditorWindow(), &screen) ? DifferingPixels(screen, before, kMeterRect) : 0;
    return moved > 0;
  }));
  LICE_MemBitmap screen;
  ASSERT_TRUE(host.Capture(editor->EditorWindow(), &screen));
  const IRect belowMeter(0, kMeterRect.B, kEditorWidth, kEditorHeight);
  EXPECT_EQ(DifferingPixels(screen, before, belowMeter), 0) << "only the meter moved";
  editor->Removed();
}

// A notch moves a knob with few steps by a step; a burst of notches is one gesture, which ends
// after a pause, or at once when the pointer leaves.
TEST_F(X11Editor, WheelNotchesMoveASteppedKnobAStepEachInOneGesture) {
  std::unique_ptr<HostedEditor> editor = OpenShowing(0, 0);
  const auto [x, y] = OnScreen(*editor, KnobRect(Knob(kParamHigh)));
  const std::string high = std::to_string(kParamHigh);
  host.MoveTo(x, y);
  host.Click(4);  // up
  host.Click(4);
  host.Click(5);  // down
  host.Click(6);  // sideways: not the editor's
  host.Click(7);
  ASSERT_TRUE(host.RunUntil([&] { return !CallsOf(*editor, HandlerCall::kEndEdit).empty(); }));
  host.RunFor(100);
  EXPECT_EQ(GestureText(editor->Calls()),
            "begin " + high + ", perform " + high + ", perform " + high + ", perform " + high + ", end " + high);
  const std::vector<HandlerCall> performs = CallsOf(*editor, HandlerCall::kPerformEdit);
  ASSERT_EQ(performs.size(), 3u);
  const int start = kParamDefinitions[kParamHigh].defaultStep;
  EXPECT_DOUBLE_EQ(performs[0].value, StepNormalized(kParamHigh, start + 1));
  EXPECT_DOUBLE_EQ(performs[1].value, StepNormalized(kParamHigh, start + 2));
  EXPECT_DOUBLE_EQ(performs[2].value, StepNormalized(kParamHigh, start + 1));

  editor->handler->Clear();
  host.Click(5);
  ASSERT_TRUE(host.RunUntil([&] { return !CallsOf(*editor, HandlerCall::kPerformEdit).empty(); }));
  const long long ticksBefore = host.Loop().TimerCallbacks();
  host.MoveTo(editor->x + kEditorWidth + 40, y);  // out of the editor and its host window
  ASSERT_TRUE(host.RunUntil([&] { return !CallsOf(*editor, HandlerCall::kEndEdit).empty(); }));
  EXPECT_LT(host.Loop().TimerCallbacks() - ticksBefore, WheelPauseTicks()) << "ended by the leave, not the pause";
  EXPECT_EQ(GestureText(editor->Calls()), "begin " + high + ", perform " + high + ", end " + high);
  editor->Removed();
}

TEST_F(X11Editor, DoubleClickResetsAKnobToItsDefaultInOneGesture) {
  std::unique_ptr<HostedEditor> editor = OpenShowing(0, 0);
  const IRect rect = KnobRect(Knob(kParamGain));
  const auto [x, y] = OnScreen(*editor, rect);
  host.MoveTo(x, y);
  host.Press(1);
  host.MoveTo(x, y - 60);
  host.Release(1);
  ASSERT_TRUE(host.RunUntil([&] { return !CallsOf(*editor, HandlerCall::kEndEdit).empty(); }));
  const double moved = CallsOf(*editor, HandlerCall::kPerformEdit).back().value;
  const double start = StepNormalized(kParamGain, kParamDefinitions[kParamGain].defaultStep);
  ASSERT_GT(moved, start);

  editor->handler->Clear();
  host.MoveTo(x, y);
  host.Click(1);
  host.Click(1);
  ASSERT_TRUE(host.RunUntil([&] { return !CallsOf(*editor, HandlerCall::kEndEdit).empty(); }));
  host.RunFor(100);
  const std::string gain = std::to_string(kParamGain);
  EXPECT_EQ(GestureText(editor->Calls()), "begin " + gain + ", perform " + gain + ", end " + gain)
      << "the first click changes nothing and tells the host nothing; the second resets";
  EXPECT_DOUBLE_EQ(CallsOf(*editor, HandlerCall::kPerformEdit)[0].value, start);
  EXPECT_TRUE(ScreenShows(*editor, DefaultPicture(), rect));
  editor->Removed();
}

TEST_F(X11Editor, RightClickOnAKnobReachesTheHostsContextMenu) {
  std::unique_ptr<HostedEditor> editor = OpenShowing(0, 0);
  const auto [x, y] = OnScreen(*editor, KnobRect(Knob(kParamHighPassFilter)));
  host.MoveTo(x, y);
  host.Click(3);
  ASSERT_TRUE(host.RunUntil([&] { return !CallsOf(*editor, HandlerCall::kContextMenu).empty(); }));
  host.RunFor(100);
  EXPECT_EQ(GestureText(editor->Calls()), "menu " + std::to_string(kParamHighPassFilter))
      << "no edit at all, not even an end when the button comes up";
  EXPECT_FALSE(host.PointerGrabbed());
  editor->Removed();
}

TEST_F(X11Editor, KeysTheEditorDoesNotUseStayWithTheHost) {
  std::unique_ptr<HostedEditor> editor = OpenShowing(0, 0);
  const auto [x, y] = OnScreen(*editor, KnobRect(Knob(kParamMid)));
  host.MoveTo(x, y);
  const xcb_keycode_t tab = host.KeyCode(kKeysymTab), a = host.KeyCode('a');
  ASSERT_NE(tab, 0);
  ASSERT_NE(a, 0);
  host.Key(tab);
  host.Key(a);
  ASSERT_TRUE(host.RunUntil([&] { return editor->window->Keys().size() >= 2; }));
  const std::vector<vst3host::HostWindow::Key>& keys = editor->window->Keys();
  EXPECT_EQ(keys[0].code, tab);
  EXPECT_EQ(keys[1].code, a);
  EXPECT_TRUE(keys[0].sentByClient) << "passed on by the editor, whose window had them";
  EXPECT_TRUE(editor->Calls().empty());
  editor->Removed();
}

TEST_F(X11Editor, TwoEditorsOpenAtOnceCloseInEitherOrder) {
  for (bool firstClosesFirst : {true, false}) {
    std::unique_ptr<HostedEditor> one = OpenShowing(0, 0);
    std::unique_ptr<HostedEditor> two = OpenShowing(420, 0);
    EXPECT_EQ(host.Loop().TimerCount(), 4) << "each editor's tick and each instance's notices";
    HostedEditor& first = firstClosesFirst ? *one : *two;
    HostedEditor& second = firstClosesFirst ? *two : *one;
    EXPECT_EQ(first.Removed(), kResultOk);
    EXPECT_TRUE(host.RunUntil([&] { return first.EditorWindow() == 0; }));

    // The other one still answers the mouse.
    const auto [x, y] = OnScreen(second, KnobRect(Knob(kParamMix)));
    host.MoveTo(x, y);
    host.Click(4);
    EXPECT_TRUE(host.RunUntil([&] { return !CallsOf(second, HandlerCall::kPerformEdit).empty(); }));
    EXPECT_TRUE(CallsOf(first, HandlerCall::kPerformEdit).empty());
    EXPECT_EQ(second.Removed(), kResultOk);
    EXPECT_EQ(host.Loop().TimerCount(), 0);
    EXPECT_EQ(host.Loop().EventHandlerCount(), 0);
  }
}

TEST_F(X11Editor, AttachAfterRemovedOpensAFreshWindow) {
  std::unique_ptr<HostedEditor> editor = OpenShowing(0, 0);
  EXPECT_EQ(editor->Removed(), kResultOk);
  ASSERT_EQ(editor->Attach(), kResultOk);
  EXPECT_NE(editor->EditorWindow(), 0u);
  EXPECT_TRUE(ScreenShows(*editor, DefaultPicture(), kWholeEditor));
  EXPECT_EQ(editor->Removed(), kResultOk);
}

TEST_F(X11Editor, RemovedDuringADragLeavesNoGrabBehind) {
  std::unique_ptr<HostedEditor> editor = OpenShowing(0, 0);
  const auto [x, y] = OnScreen(*editor, KnobRect(Knob(kParamCompressorThreshold)));
  host.MoveTo(x, y);
  host.Press(1);
  host.MoveTo(x, y - 20);
  ASSERT_TRUE(host.RunUntil([&] { return !CallsOf(*editor, HandlerCall::kPerformEdit).empty(); }));
  EXPECT_EQ(editor->Removed(), kResultOk);
  host.Sync();
  EXPECT_FALSE(host.PointerGrabbed());
  host.Release(1);
  host.RunFor(100);
  // Closing ended the drag's gesture, since no release could; the release itself reaches nothing.
  const std::vector<HandlerCall> calls = editor->Calls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.front().kind, HandlerCall::kBeginEdit);
  EXPECT_EQ(calls.back().kind, HandlerCall::kEndEdit);
  EXPECT_EQ(CallsOf(*editor, HandlerCall::kEndEdit).size(), 1u);
}

TEST_F(X11Editor, AHostWithoutARunLoopGetsNoWindow) {
  std::unique_ptr<HostedEditor> editor = host.NewEditor(0, 0, false);
  EXPECT_EQ(editor->Attach(), kResultFalse);
  host.RunFor(100);
  EXPECT_EQ(editor->EditorWindow(), 0u);
  EXPECT_EQ(host.Loop().EventHandlerCount(), 0);
  EXPECT_EQ(editor->Removed(), kResultOk);

  // Nor without any frame at all.
  editor->view->setFrame(nullptr);
  EXPECT_EQ(editor->Attach(), kResultFalse);
  EXPECT_EQ(editor->EditorWindow(), 0u);
}

TEST_F(X11Editor, AHostsMistakesNeitherCrashNorDisturbIt) {
  std::unique_ptr<HostedEditor> editor = host.NewEditor(0, 0);
  // A parent that does not exist: the X error comes back to the editor's own connection.
  EXPECT_EQ(editor->view->attached(reinterpret_cast<void*>(uintptr_t{0x3FFFFF0}), kPlatformTypeX11EmbedWindowID),
            kResultFalse);
  EXPECT_EQ(editor->Removed(), kResultOk) << "removed without attached";
  EXPECT_EQ(editor->Removed(), kResultOk) << "and twice";

  // The host destroys its window (and the editor's with it) before removing the view.
  ASSERT_EQ(editor->Attach(), kResultOk);
  EXPECT_TRUE(ScreenShows(*editor, DefaultPicture(), kWholeEditor));
  editor->window->Destroy();
  host.RunFor(100);
  EXPECT_EQ(editor->Removed(), kResultOk);
  EXPECT_EQ(editor->Removed(), kResultOk);
  EXPECT_EQ(host.Loop().TimerCount(), 0);

  // The host goes on: another editor opens and draws.
  std::unique_ptr<HostedEditor> next = OpenShowing(0, 0);
  EXPECT_EQ(next->Removed(), kResultOk);
}
