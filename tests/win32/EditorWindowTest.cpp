// Velmora's editor in a Windows host: the test host embeds it in its own top-level windows under
// Wine, runs the message loop, and uses it with real pointer and key input. Every wait is on a
// condition, with a time-out.

#include "tests/win32/Win32TestHost.h"

#include "bitmap/LICE_PngEncode.h"
#include "plugin/VelmoraEditor.h"
#include "plugin/VelmoraSteps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace Steinberg;
using namespace wintest;
using vst3host::HandlerCall;

namespace {

using editortest::GestureText;
using editortest::Knob;
using editortest::KnobRect;
using editortest::StepNormalized;
using editortest::StepSetting;

const IRect kMeterRect = editortest::MeterRect();
const IRect kWholeEditor(0, 0, kEditorWidth, kEditorHeight);

// Whether the module's editor window class is registered (hinstance: the module's).
bool ClassRegistered(HINSTANCE module) {
  WNDCLASSA wc;
  return GetClassInfoA(module, "IPlugWndClass", &wc) != FALSE;
}

class Win32Editor : public ::testing::Test {
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
      differing = Win32TestHost::Capture(editor.EditorWindow(), &screen) ? DifferingPixels(screen, picture, rect) : -1;
      return differing == 0;
    });
    if (!shown) ADD_FAILURE() << differing << " pixels differ from the expected picture";
    return shown;
  }

  const LICE_MemBitmap& DefaultPicture() {
    if (!mDefaultPicture.Pixels()) {
      EXPECT_TRUE(Win32TestHost::Snapshot({}, &mDefaultPicture));
    }
    return mDefaultPicture;
  }

  // The centre of a rectangle of the editor, on the screen.
  static std::pair<int, int> OnScreen(const HostedEditor& editor, const IRect& rect) {
    return {editor.x + (rect.L + rect.R) / 2, editor.y + (rect.T + rect.B) / 2};
  }

  // Moves the pointer and waits until the system has it there.
  void PointAt(int x, int y) {
    Win32TestHost::MoveTo(x, y);
    EXPECT_TRUE(host.RunUntil([&] {
      POINT p;
      return GetCursorPos(&p) && p.x == x && p.y == y;
    }));
  }

  Win32TestHost host;

private:
  LICE_MemBitmap mDefaultPicture;
};

}  // namespace

TEST_F(Win32Editor, OpensShowingWhatTheHeadlessSnapshotShowsAtTheSameSettings) {
  std::unique_ptr<HostedEditor> editor = host.NewEditor(16, 16);
  const std::vector<std::pair<int, int>> steps = {
      {kParamRatio, 3}, {kParamCompressorThreshold, 5}, {kParamGRSelect, 1}};
  editor->SetSteps(steps);
  LICE_MemBitmap expected;
  std::vector<std::string> sets;
  for (const auto& [index, step] : steps) sets.push_back(StepSetting(index, step));
  ASSERT_TRUE(Win32TestHost::Snapshot(sets, &expected));

  EXPECT_EQ(editor->view->isPlatformTypeSupported(kPlatformTypeHWND), kResultOk);
  for (FIDString type : {"HWNDX", "hwnd", "HWN", kPlatformTypeX11EmbedWindowID, kPlatformTypeNSView})
    EXPECT_EQ(editor->view->isPlatformTypeSupported(type), kResultFalse) << type;
  ASSERT_EQ(editor->Attach(), kResultOk);
  HWND hwnd = editor->EditorWindow();
  ASSERT_NE(hwnd, nullptr);
  char name[32] = {};
  GetClassNameA(hwnd, name, sizeof(name));
  EXPECT_STREQ(name, "IPlugWndClass");
  EXPECT_EQ(GetWindowLongPtrA(hwnd, GWL_STYLE) & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
  RECT r;
  GetClientRect(hwnd, &r);
  EXPECT_EQ(r.right, kEditorWidth);
  EXPECT_EQ(r.bottom, kEditorHeight);
  EXPECT_TRUE(ScreenShows(*editor, expected, kWholeEditor));

  // The README's picture of the editor in the test host's window.
  LICE_MemBitmap screen;
  if (Win32TestHost::Capture(editor->window->Handle(), &screen))
    WriteBitmapPng(&screen, WIN32_SCREENSHOT_PATH, nullptr);

  EXPECT_EQ(editor->Removed(), kResultOk);
  EXPECT_EQ(editor->EditorWindow(), nullptr) << "the editor's window is gone";
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(Win32Editor, DraggedKnobEditsItsParameterByTheGearingAndShowsTheNewFrameWithinTwoTicks) {
  std::unique_ptr<HostedEditor> editor = OpenShowing(0, 0);
  const VelmoraKnob& knob = Knob(kParamRatio);
  const IRect rect = KnobRect(knob);
  const auto [x, y] = OnScreen(*editor, rect);
  constexpr int kTravel = 48;  // pixels up, in four moves
  PointAt(x, y);
  Win32TestHost::Press(0);
  ASSERT_TRUE(host.RunUntil([&] { return GetCapture() == editor->EditorWindow(); }));
  EXPECT_TRUE(editor->Calls().empty()) << "the gesture begins with the first edit, not the press";
  for (int dy = 12; dy <= kTravel; dy += 12) {
    const size_t before = editor->CallsOf(HandlerCall::kPerformEdit).size();
    Win32TestHost::MoveTo(x, y - dy);
    ASSERT_TRUE(host.RunUntil([&] { return editor->CallsOf(HandlerCall::kPerformEdit).size() > before; }));
  }
  Win32TestHost::Release(0);
  ASSERT_TRUE(host.RunUntil([&] { return !editor->CallsOf(HandlerCall::kEndEdit).empty(); }));
  const long long ticksBefore = host.EditorTicks();

  // One control height of travel changes the value by 1 / gearing.
  const int start = kParamDefinitions[kParamRatio].defaultStep;
  const double expected =
      StepNormalized(kParamRatio, start) + static_cast<double>(kTravel) / (rect.B - rect.T) / knob.gearing;
  const int newStep = static_cast<int>(expected * kParamDefinitions[kParamRatio].maxStep + 0.5);
  LICE_MemBitmap picture;
  ASSERT_TRUE(Win32TestHost::Snapshot({StepSetting(kParamRatio, newStep)}, &picture));
  EXPECT_TRUE(ScreenShows(*editor, picture, rect));
  EXPECT_LE(host.EditorTicks() - ticksBefore, 2);

  const std::vector<HandlerCall> calls = editor->Calls();
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls.front().kind, HandlerCall::kBeginEdit);
  EXPECT_EQ(calls.back().kind, HandlerCall::kEndEdit);
  for (const HandlerCall& c : calls) EXPECT_EQ(c.id, static_cast<Vst::ParamID>(kParamRatio));
  const std::vector<HandlerCall> performs = editor->CallsOf(HandlerCall::kPerformEdit);
  ASSERT_EQ(performs.size(), 4u) << "one edit per move";
  EXPECT_NEAR(performs.back().value, expected, 1e-9);
  EXPECT_DOUBLE_EQ(editor->instance->Controller()->getParamNormalized(kParamRatio),
                   StepNormalized(kParamRatio, newStep));
  EXPECT_EQ(GetCapture(), nullptr) << "the drag's capture ends with the button";
  editor->Removed();
}

TEST_F(Win32Editor, LoudAudioProcessedWhileOpenMovesTheMeterOnScreen) {
  std::unique_ptr<HostedEditor> editor = OpenShowing(0, 0);
  // The host lowers the threshold, so that a full-scale tone is compressed.
  editor->SetSteps({{kParamCompressorThreshold, 0}});
  LICE_MemBitmap lowered;
  ASSERT_TRUE(Win32TestHost::Snapshot({StepSetting(kParamCompressorThreshold, 0)}, &lowered));
  ASSERT_TRUE(ScreenShows(*editor, lowered, kWholeEditor));
  LICE_MemBitmap before;
  ASSERT_TRUE(Win32TestHost::Capture(editor->EditorWindow(), &before));
  editor->ProcessLoudAudio(0.5);
  int moved = 0;
  EXPECT_TRUE(host.RunUntil([&] {
    LICE_MemBitmap screen;
    moved = Win32TestHost::Capture(editor->EditorWindow(), &screen) ? DifferingPixels(screen, before, kMeterRect) : 0;
    return moved > 0;
  }));
  LICE_MemBitmap screen;
  ASSERT_TRUE(Win32TestHost::Capture(editor->EditorWindow(), &screen));
  const IRect belowMeter(0, kMeterRect.B, kEditorWidth, kEditorHeight);
  EXPECT_EQ(DifferingPixels(screen, before, belowMeter), 0) << "only the meter moved";
  editor->Removed();
}

// A notch moves a knob with few steps by a step; a burst of notches is one gesture, which ends
// after a pause.
TEST_F(Win32Editor, WheelNotchesOverAKnobMoveItAStepEachInOneGesture) {
  std::unique_ptr<HostedEditor> editor = OpenShowing(0, 0);
  const auto [x, y] = OnScreen(*editor, KnobRect(Knob(kParamHigh)));
  PointAt(x, y);
  Win32TestHost::Wheel(1);
  Win32TestHost::Wheel(1);
  Win32TestHost::Wheel(-1);
  ASSERT_TRUE(host.RunUntil([&] { return !editor->CallsOf(HandlerCall::kEndEdit).empty(); }));
  host.RunFor(100);
  const std::string high = std::to_string(kParamHigh);
  EXPECT_EQ(GestureText(editor->Calls()),
            "begin " + high + ", perform " + high + ", perform " + high + ", perform " + high + ", end " + high);
  const std::vector<HandlerCall> performs = editor->CallsOf(HandlerCall::kPerformEdit);
  ASSERT_EQ(performs.size(), 3u);
  const int start = kParamDefinitions[kParamHigh].defaultStep;
  EXPECT_DOUBLE_EQ(performs[0].value, StepNormalized(kParamHigh, start + 1));
  EXPECT_DOUBLE_EQ(performs[1].value, StepNormalized(kParamHigh, start + 2));
  EXPECT_DOUBLE_EQ(performs[2].value, StepNormalized(kParamHigh, start + 1));
  editor->Removed();
}

TEST_F(Win32Editor, DoubleClickResetsAKnobToItsDefaultInOneGesture) {
  std::unique_ptr<HostedEditor> editor = OpenShowing(0, 0);
  const IRect rect = KnobRect(Knob(kParamGain));
  const auto [x, y] = OnScreen(*editor, rect);
  PointAt(x, y);
  Win32TestHost::Press(0);
  PointAt(x, y - 60);
  Win32TestHost::Release(0);
  ASSERT_TRUE(host.RunUntil([&] { return !editor->CallsOf(HandlerCall::kEndEdit).empty(); }));
  const double moved = editor->CallsOf(HandlerCall::kPerformEdit).back().value;
  const double start = StepNormalized(kParamGain, kParamDefinitions[kParamGain].defaultStep);
  ASSERT_GT(moved, start);

  editor->handler->Clear();
  PointAt(x, y);
  Win32TestHost::Click(0);
  Win32TestHost::Click(0);
  ASSERT_TRUE(host.RunUntil([&] { return !editor->CallsOf(HandlerCall::kEndEdit).empty(); }));
  host.RunFor(100);
  const std::string gain = std::to_string(kParamGain);
  EXPECT_EQ(GestureText(editor->Calls()), "begin " + gain + ", perform " + gain + ", end " + gain)
      << "the first click changes nothing and tells the host nothing; the double click resets";
  EXPECT_DOUBLE_EQ(editor->CallsOf(HandlerCall::kPerformEdit)[0].value, start);
  EXPECT_TRUE(ScreenShows(*editor, DefaultPicture(), rect));
  editor->Removed();
}

TEST_F(Win32Editor, RightClickOnAKnobReachesTheHostsContextMenu) {
  std::unique_ptr<HostedEditor> editor = OpenShowing(0, 0);
  const auto [x, y] = OnScreen(*editor, KnobRect(Knob(kParamHighPassFilter)));
  PointAt(x, y);
  Win32TestHost::Click(1);
  ASSERT_TRUE(host.RunUntil([&] { return !editor->CallsOf(HandlerCall::kContextMenu).empty(); }));
  host.RunFor(100);
  EXPECT_EQ(GestureText(editor->Calls()), "menu " + std::to_string(kParamHighPassFilter))
      << "no edit at all, not even an end when the button comes up";
  EXPECT_EQ(GetCapture(), nullptr);
  editor->Removed();
}

TEST_F(Win32Editor, KeysTheEditorDoesNotUseReachTheHostsRootWindow) {
  std::unique_ptr<HostedEditor> editor = OpenShowing(0, 0);
  ASSERT_EQ(GetFocus(), editor->EditorWindow()) << "the editor takes the focus when it opens";
  const auto [x, y] = OnScreen(*editor, KnobRect(Knob(kParamMid)));
  PointAt(x, y);
  Win32TestHost::Key(VK_TAB);
  Win32TestHost::Key(VK_ESCAPE);
  Win32TestHost::Key('A');  // in the editor's table, but no control of Velmora's uses keys
  ASSERT_TRUE(host.RunUntil([&] { return editor->window->Keys().size() >= 6; }));
  const std::vector<HostKey>& keys = editor->window->Keys();
  const WPARAM expected[] = {VK_TAB, VK_TAB, VK_ESCAPE, VK_ESCAPE, 'A', 'A'};
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(keys[i].virtualKey, expected[i]) << i;
    EXPECT_EQ(keys[i].message, i % 2 ? static_cast<UINT>(WM_KEYUP) : static_cast<UINT>(WM_KEYDOWN)) << i;
    EXPECT_EQ(keys[i].focus, editor->EditorWindow()) << "passed on by the editor, which had the focus";
  }
  EXPECT_TRUE(editor->Calls().empty());
  editor->Removed();
}

TEST_F(Win32Editor, TwoEditorsOpenAtOnceShareOneClassRegistrationAndCloseInEitherOrder) {
  for (bool firstClosesFirst : {true, false}) {
    std::unique_ptr<HostedEditor> one = OpenShowing(0, 0);
    std::unique_ptr<HostedEditor> two = OpenShowing(420, 0);
    const auto module = reinterpret_cast<HINSTANCE>(GetClassLongPtrA(one->EditorWindow(), GCLP_HMODULE));
    EXPECT_EQ(module, reinterpret_cast<HINSTANCE>(GetClassLongPtrA(two->EditorWindow(), GCLP_HMODULE)));
    ASSERT_TRUE(ClassRegistered(module));
    HostedEditor& first = firstClosesFirst ? *one : *two;
    HostedEditor& second = firstClosesFirst ? *two : *one;
    EXPECT_EQ(first.Removed(), kResultOk);
    EXPECT_EQ(first.EditorWindow(), nullptr);
    EXPECT_TRUE(ClassRegistered(module)) << "still in use by the other editor";

    // The other one still answers the mouse and still ticks.
    const auto [x, y] = OnScreen(second, KnobRect(Knob(kParamMix)));
    PointAt(x, y);
    Win32TestHost::Press(0);
    PointAt(x, y - 20);
    Win32TestHost::Release(0);
    EXPECT_TRUE(host.RunUntil([&] { return !second.CallsOf(HandlerCall::kEndEdit).empty(); }));
    EXPECT_TRUE(first.CallsOf(HandlerCall::kPerformEdit).empty());
    const long long ticks = host.EditorTicks();
    EXPECT_TRUE(host.RunUntil([&] { return host.EditorTicks() > ticks; }));
    EXPECT_EQ(second.Removed(), kResultOk);
    EXPECT_FALSE(ClassRegistered(module)) << "unregistered with the last window";
  }
}

TEST_F(Win32Editor, AttachAfterRemovedOpensAFreshWindow) {
  std::unique_ptr<HostedEditor> editor = OpenShowing(0, 0);
  EXPECT_EQ(editor->Removed(), kResultOk);
  ASSERT_EQ(editor->Attach(), kResultOk);
  EXPECT_NE(editor->EditorWindow(), nullptr);
  EXPECT_TRUE(ScreenShows(*editor, DefaultPicture(), kWholeEditor));
  EXPECT_EQ(editor->Removed(), kResultOk);
}

TEST_F(Win32Editor, RemovedDuringADragLeavesNothingCaptured) {
  std::unique_ptr<HostedEditor> editor = OpenShowing(0, 0);
  const auto [x, y] = OnScreen(*editor, KnobRect(Knob(kParamCompressorThreshold)));
  PointAt(x, y);
  Win32TestHost::Press(0);
  Win32TestHost::MoveTo(x, y - 20);
  ASSERT_TRUE(host.RunUntil([&] { return !editor->CallsOf(HandlerCall::kPerformEdit).empty(); }));
  EXPECT_EQ(GetCapture(), editor->EditorWindow());
  EXPECT_EQ(editor->Removed(), kResultOk);
  EXPECT_EQ(GetCapture(), nullptr);
  Win32TestHost::Release(0);
  host.RunFor(100);
  // Closing ended the drag's gesture, since no release could; the release itself reaches nothing.
  const std::vector<HandlerCall> calls = editor->Calls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.front().kind, HandlerCall::kBeginEdit);
  EXPECT_EQ(calls.back().kind, HandlerCall::kEndEdit);
  EXPECT_EQ(editor->CallsOf(HandlerCall::kEndEdit).size(), 1u);
}

TEST_F(Win32Editor, AHostThatDestroysItsWindowFirstIsNotDisturbed) {
  std::unique_ptr<HostedEditor> editor = OpenShowing(0, 0);
  HWND old = editor->EditorWindow();
  const auto module = reinterpret_cast<HINSTANCE>(GetClassLongPtrA(old, GCLP_HMODULE));
  editor->window->Destroy();
  EXPECT_FALSE(IsWindow(old));
  host.RunFor(100);
  EXPECT_EQ(editor->Removed(), kResultOk);
  EXPECT_EQ(editor->Removed(), kResultOk);
  EXPECT_FALSE(ClassRegistered(module)) << "the count came back to zero";

  // The host goes on: another editor opens and draws.
  std::unique_ptr<HostedEditor> next = OpenShowing(0, 0);
  EXPECT_EQ(next->Removed(), kResultOk);
}
