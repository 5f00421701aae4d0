// Velmora's editor in a host's window, on every window platform: the platform's test host embeds it
// in top-level windows of its own, runs the event loop, and uses it with real pointer and key input
// (WindowDriver.h). Every wait is on a condition, with a time-out.

#include "tests/window/WindowDriver.h"

#include "bitmap/LICE_PngEncode.h"
#include "plugin/VelmoraEditor.h"
#include "plugin/VelmoraSteps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace Steinberg;
using namespace windowtest;
using vst3host::HandlerCall;

namespace {

using editortest::DeviceCoordAt;
using editortest::DifferingPixels;
using editortest::GestureText;
using editortest::HeadlessPanel;
using editortest::Knob;
using editortest::KnobRect;
using editortest::StepNormalized;
using editortest::StepSetting;
using editortest::WheelPauseTicks;

const IRect kMeterRect = editortest::MeterRect();
const IRect kWholeEditor(0, 0, kEditorWidth, kEditorHeight);

class EditorWindow : public ::testing::Test {
protected:
  // Opens an editor at (x, y) and waits until the screen shows the editor as drawn off screen at
  // the same settings.
  std::unique_ptr<DrivenEditor> OpenShowing(int x, int y) {
    std::unique_ptr<DrivenEditor> editor = driver->NewEditor(x, y);
    if (!editor) return nullptr;
    EXPECT_EQ(editor->Attach(), kResultOk);
    EXPECT_TRUE(ScreenShows(*editor, DefaultPicture(), kWholeEditor));
    return editor;
  }

  // Runs the host until rect of the editor's window equals rect of picture (where picture and
  // sameIn agree, when sameIn is given).
  bool ScreenShows(const DrivenEditor& editor, const LICE_IBitmap& picture, const IRect& rect,
                   const LICE_IBitmap* sameIn = nullptr) {
    int differing = -1;
    const bool shown = driver->RunUntil([&] {
      LICE_MemBitmap screen;
      differing = driver->Capture(editor, &screen) ? DifferingPixels(screen, picture, rect, -1, -1, sameIn) : -1;
      return differing == 0;
    });
    if (!shown) ADD_FAILURE() << differing << " pixels differ from the expected picture";

    return shown;
  }

  const LICE_MemBitmap& DefaultPicture() {
    if (!mDefaultPicture.Pixels()) {
      EXPECT_TRUE(driver->Snapshot({}, &mDefaultPicture));
    }
    return mDefaultPicture;
  }

  // The centre of a rectangle of the editor, on the screen.
  static std::pair<int, int> OnScreen(const DrivenEditor& editor, const IRect& rect) {
    return {editor.ScreenX() + (rect.L + rect.R) / 2, editor.ScreenY() + (rect.T + rect.B) / 2};
  }

  // Drags with the left button from (x, y) by dy, waiting for the editor to take each step.
  void Drag(const DrivenEditor& editor, int x, int y, int dy) {
    driver->PointAt(x, y);
    driver->Press(Button::kLeft);
    driver->PointAt(x, y + dy);
    driver->Release(Button::kLeft);
    ASSERT_TRUE(driver->RunUntil([&] { return !editor.CallsOf(HandlerCall::kEndEdit).empty(); }));
  }

  std::unique_ptr<WindowDriver> driver = MakeWindowDriver();

private:
  LICE_MemBitmap mDefaultPicture;
};

}  // namespace

TEST_F(EditorWindow, OpensShowingWhatTheHeadlessSnapshotShowsAtTheSameSettings) {
  std::unique_ptr<DrivenEditor> editor = driver->NewEditor(16, 16);
  ASSERT_TRUE(editor);
  const std::vector<std::pair<int, int>> steps = {
      {kParamRatio, 3}, {kParamCompressorThreshold, 5}, {kParamGRSelect, 1}};
  editor->SetSteps(steps);
  LICE_MemBitmap expected;
  std::vector<std::string> sets;
  for (const auto& [index, step] : steps) sets.push_back(StepSetting(index, step));
  ASSERT_TRUE(driver->Snapshot(sets, &expected));

  // The platform's own window type only: no other, nor a near miss of its name.
  const std::string own = editor->PlatformType();
  EXPECT_EQ(editor->View().isPlatformTypeSupported(own.c_str()), kResultOk);
  std::string lowered = own;
  for (char& c : lowered) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  const std::vector<std::string> others = {own + "X",          own.substr(0, own.size() - 1), lowered,
                                           kPlatformTypeHWND,  kPlatformTypeX11EmbedWindowID, kPlatformTypeNSView,
                                           kPlatformTypeHIView};
  for (const std::string& type : others) {
    if (type != own) {
      EXPECT_EQ(editor->View().isPlatformTypeSupported(type.c_str()), kResultFalse) << type;
    }
  }

  ASSERT_EQ(editor->Attach(), kResultOk);
  EXPECT_TRUE(editor->WindowOpen());
  driver->ExpectOpenEditors(1);
  EXPECT_TRUE(ScreenShows(*editor, expected, kWholeEditor));

  // The README's picture of the editor in the test host's window.
  LICE_MemBitmap screen;
  if (driver->CaptureHostWindow(*editor, &screen)) WriteBitmapPng(&screen, EDITOR_SCREENSHOT_PATH, nullptr);

  EXPECT_EQ(editor->Removed(), kResultOk);
  driver->ExpectOpenEditors(0);
  EXPECT_TRUE(driver->RunUntil([&] { return !editor->WindowOpen(); })) << "the editor's window is gone";
}

TEST_F(EditorWindow, DraggedKnobEditsItsParameterByTheGearingAndShowsTheNewFrameWithinTwoTicks) {
  std::unique_ptr<DrivenEditor> editor = OpenShowing(0, 0);
  ASSERT_TRUE(editor);
  const VelmoraKnob& knob = Knob(kParamRatio);
  const IRect rect = KnobRect(knob);
  const auto [x, y] = OnScreen(*editor, rect);
  constexpr int kTravel = 48;  // pixels up, in four moves
  driver->PointAt(x, y);
  driver->Press(Button::kLeft);
  ASSERT_TRUE(driver->RunUntil([&] { return driver->PointerHeld(*editor); }));
  EXPECT_TRUE(editor->Calls().empty()) << "the gesture begins with the first edit, not the press";
  for (int dy = 12; dy <= kTravel; dy += 12) {
    const size_t before = editor->CallsOf(HandlerCall::kPerformEdit).size();
    driver->PointAt(x, y - dy);
    ASSERT_TRUE(driver->RunUntil([&] { return editor->CallsOf(HandlerCall::kPerformEdit).size() > before; }));
  }
  driver->Release(Button::kLeft);
  ASSERT_TRUE(driver->RunUntil([&] { return !editor->CallsOf(HandlerCall::kEndEdit).empty(); }));
  const long long ticksBefore = driver->TimerTicks();

  // One control height of travel changes the value by 1 / gearing.
  const int start = kParamDefinitions[kParamRatio].defaultStep;
  const double expected =
      StepNormalized(kParamRatio, start) + static_cast<double>(kTravel) / (rect.B - rect.T) / knob.gearing;
  const int newStep = static_cast<int>(expected * kParamDefinitions[kParamRatio].maxStep + 0.5);
  LICE_MemBitmap picture;
  ASSERT_TRUE(driver->Snapshot({StepSetting(kParamRatio, newStep)}, &picture));
  EXPECT_TRUE(ScreenShows(*editor, picture, rect));
  EXPECT_LE(driver->TimerTicks() - ticksBefore, 2);

  const std::vector<HandlerCall> calls = editor->Calls();
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls.front().kind, HandlerCall::kBeginEdit);
  EXPECT_EQ(calls.back().kind, HandlerCall::kEndEdit);
  for (const HandlerCall& c : calls) EXPECT_EQ(c.id, static_cast<Vst::ParamID>(kParamRatio));
  const std::vector<HandlerCall> performs = editor->CallsOf(HandlerCall::kPerformEdit);
  ASSERT_EQ(performs.size(), 4u) << "one edit per move";
  EXPECT_NEAR(performs.back().value, expected, 1e-9);
  EXPECT_DOUBLE_EQ(editor->PlugIn().Controller()->getParamNormalized(kParamRatio),
                   StepNormalized(kParamRatio, newStep));
  EXPECT_FALSE(driver->PointerHeld(*editor)) << "the drag's hold on the pointer ends with the button";
  editor->Removed();
}

TEST_F(EditorWindow, LoudAudioProcessedWhileOpenMovesTheMeterOnScreen) {
  std::unique_ptr<DrivenEditor> editor = OpenShowing(0, 0);
  ASSERT_TRUE(editor);
  // The host lowers the threshold, so that a full-scale tone is compressed.
  editor->SetSteps({{kParamCompressorThreshold, 0}});
  LICE_MemBitmap lowered;
  ASSERT_TRUE(driver->Snapshot({StepSetting(kParamCompressorThreshold, 0)}, &lowered));
  ASSERT_TRUE(ScreenShows(*editor, lowered, kWholeEditor));
  LICE_MemBitmap before;
  ASSERT_TRUE(driver->Capture(*editor, &before));
  editor->ProcessLoudAudio(0.5);
  int moved = 0;
  EXPECT_TRUE(driver->RunUntil([&] {
    LICE_MemBitmap screen;
    moved = driver->Capture(*editor, &screen) ? DifferingPixels(screen, before, kMeterRect) : 0;
    return moved > 0;
  }));
  LICE_MemBitmap screen;
  ASSERT_TRUE(driver->Capture(*editor, &screen));
  const IRect belowMeter(0, kMeterRect.B, kEditorWidth, kEditorHeight);
  EXPECT_EQ(DifferingPixels(screen, before, belowMeter), 0) << "only the meter moved";
  editor->Removed();
}

// A notch moves a knob with few steps by a step; a burst of notches is one gesture, which ends
// after a pause, or at once when the pointer leaves.
TEST_F(EditorWindow, WheelNotchesMoveASteppedKnobAStepEachInOneGesture) {
  std::unique_ptr<DrivenEditor> editor = OpenShowing(0, 0);
  ASSERT_TRUE(editor);
  const auto [x, y] = OnScreen(*editor, KnobRect(Knob(kParamHigh)));
  const std::string high = std::to_string(kParamHigh);
  driver->PointAt(x, y);
  driver->Wheel(1);
  driver->Wheel(1);
  driver->Wheel(-1);
  driver->WheelSideways(-1);  // not the editor's
  driver->WheelSideways(1);
  ASSERT_TRUE(driver->RunUntil([&] { return !editor->CallsOf(HandlerCall::kEndEdit).empty(); }));
  driver->RunFor(100);
  EXPECT_EQ(GestureText(editor->Calls()),
            "begin " + high + ", perform " + high + ", perform " + high + ", perform " + high + ", end " + high);
  const std::vector<HandlerCall> performs = editor->CallsOf(HandlerCall::kPerformEdit);
  ASSERT_EQ(performs.size(), 3u);
  const int start = kParamDefinitions[kParamHigh].defaultStep;
  EXPECT_DOUBLE_EQ(performs[0].value, StepNormalized(kParamHigh, start + 1));
  EXPECT_DOUBLE_EQ(performs[1].value, StepNormalized(kParamHigh, start + 2));
  EXPECT_DOUBLE_EQ(performs[2].value, StepNormalized(kParamHigh, start + 1));

  editor->Handler().Clear();
  driver->Wheel(-1);
  ASSERT_TRUE(driver->RunUntil([&] { return !editor->CallsOf(HandlerCall::kPerformEdit).empty(); }));
  const long long ticksBefore = driver->TimerTicks();
  driver->PointAt(editor->ScreenX() + kEditorWidth + 40, y);  // out of the editor and its host window
  ASSERT_TRUE(driver->RunUntil([&] { return !editor->CallsOf(HandlerCall::kEndEdit).empty(); }));
  EXPECT_LT(driver->TimerTicks() - ticksBefore, WheelPauseTicks()) << "ended by the leave, not the pause";
  EXPECT_EQ(GestureText(editor->Calls()), "begin " + high + ", perform " + high + ", end " + high);
  editor->Removed();
}

TEST_F(EditorWindow, DoubleClickResetsAKnobToItsDefaultInOneGesture) {
  std::unique_ptr<DrivenEditor> editor = OpenShowing(0, 0);
  ASSERT_TRUE(editor);
  const IRect rect = KnobRect(Knob(kParamGain));
  const auto [x, y] = OnScreen(*editor, rect);
  Drag(*editor, x, y, -60);
  const double moved = editor->CallsOf(HandlerCall::kPerformEdit).back().value;
  const double start = StepNormalized(kParamGain, kParamDefinitions[kParamGain].defaultStep);
  ASSERT_GT(moved, start);

  editor->Handler().Clear();
  driver->PointAt(x, y);
  driver->Click(Button::kLeft);
  driver->Click(Button::kLeft);
  ASSERT_TRUE(driver->RunUntil([&] { return !editor->CallsOf(HandlerCall::kEndEdit).empty(); }));
  driver->RunFor(100);
  const std::string gain = std::to_string(kParamGain);
  EXPECT_EQ(GestureText(editor->Calls()), "begin " + gain + ", perform " + gain + ", end " + gain)
      << "the first click changes nothing and tells the host nothing; the second resets";
  EXPECT_DOUBLE_EQ(editor->CallsOf(HandlerCall::kPerformEdit)[0].value, start);
  EXPECT_TRUE(ScreenShows(*editor, DefaultPicture(), rect));
  editor->Removed();
}

TEST_F(EditorWindow, RightClickOnAKnobReachesTheHostsContextMenu) {
  std::unique_ptr<DrivenEditor> editor = OpenShowing(0, 0);
  ASSERT_TRUE(editor);
  const auto [x, y] = OnScreen(*editor, KnobRect(Knob(kParamHighPassFilter)));
  driver->PointAt(x, y);
  driver->Click(Button::kRight);
  ASSERT_TRUE(driver->RunUntil([&] { return !editor->CallsOf(HandlerCall::kContextMenu).empty(); }));
  driver->RunFor(100);
  EXPECT_EQ(GestureText(editor->Calls()), "menu " + std::to_string(kParamHighPassFilter))
      << "no edit at all, not even an end when the button comes up";
  EXPECT_FALSE(driver->PointerHeld(*editor));
  editor->Removed();
}

TEST_F(EditorWindow, KeysTheEditorDoesNotUseReachTheHostsWindow) {
  std::unique_ptr<DrivenEditor> editor = OpenShowing(0, 0);
  ASSERT_TRUE(editor);
  const auto [x, y] = OnScreen(*editor, KnobRect(Knob(kParamMid)));
  driver->PointAt(x, y);
  ASSERT_TRUE(driver->KeysGoTo(*editor)) << "the editor has the keys while open under the pointer";
  const Key typed[] = {Key::kTab, Key::kEscape, Key::kLetterA};  // no control of Velmora's uses keys
  for (Key key : typed) driver->Type(key);
  const size_t perKey = driver->HostWindowsSeeKeyReleases() ? 2 : 1;
  ASSERT_TRUE(driver->RunUntil([&] { return driver->HostKeys(*editor).size() >= 3 * perKey; }));
  driver->RunFor(100);
  const std::vector<HostKeyEvent> keys = driver->HostKeys(*editor);
  ASSERT_EQ(keys.size(), 3 * perKey) << "each key once, nothing else";
  for (size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(keys[i].key, typed[i / perKey]) << i;
    EXPECT_EQ(keys[i].press, i % perKey == 0) << i;
    EXPECT_TRUE(keys[i].passedOnByEditor) << i << ": passed on by the editor, whose window had it";
  }
  EXPECT_TRUE(editor->Calls().empty());
  editor->Removed();
}

TEST_F(EditorWindow, TwoEditorsOpenAtOnceCloseInEitherOrder) {
  for (bool firstClosesFirst : {true, false}) {
    std::unique_ptr<DrivenEditor> one = OpenShowing(0, 0);
    std::unique_ptr<DrivenEditor> two = OpenShowing(420, 0);
    ASSERT_TRUE(one && two);
    driver->ExpectOpenEditors(2);
    DrivenEditor& first = firstClosesFirst ? *one : *two;
    DrivenEditor& second = firstClosesFirst ? *two : *one;
    EXPECT_EQ(first.Removed(), kResultOk);
    driver->ExpectOpenEditors(1);
    EXPECT_TRUE(driver->RunUntil([&] { return !first.WindowOpen(); }));

    // The other one still answers the mouse, dragged and wheeled, and still ticks.
    const auto [x, y] = OnScreen(second, KnobRect(Knob(kParamMix)));
    Drag(second, x, y, -20);
    const size_t performs = second.CallsOf(HandlerCall::kPerformEdit).size();
    driver->Wheel(1);
    EXPECT_TRUE(driver->RunUntil([&] { return second.CallsOf(HandlerCall::kPerformEdit).size() > performs; }));
    EXPECT_TRUE(first.CallsOf(HandlerCall::kPerformEdit).empty());
    const long long ticks = driver->TimerTicks();
    EXPECT_TRUE(driver->RunUntil([&] { return driver->TimerTicks() > ticks; }));
    EXPECT_EQ(second.Removed(), kResultOk);
    driver->ExpectOpenEditors(0);
  }
}

TEST_F(EditorWindow, AttachAfterRemovedOpensAFreshWindow) {
  std::unique_ptr<DrivenEditor> editor = OpenShowing(0, 0);
  ASSERT_TRUE(editor);
  EXPECT_EQ(editor->Removed(), kResultOk);
  ASSERT_EQ(editor->Attach(), kResultOk);
  EXPECT_TRUE(editor->WindowOpen());
  EXPECT_TRUE(ScreenShows(*editor, DefaultPicture(), kWholeEditor));
  EXPECT_EQ(editor->Removed(), kResultOk);
}

TEST_F(EditorWindow, RemovedDuringADragLeavesThePointerFree) {
  std::unique_ptr<DrivenEditor> editor = OpenShowing(0, 0);
  ASSERT_TRUE(editor);
  const auto [x, y] = OnScreen(*editor, KnobRect(Knob(kParamCompressorThreshold)));
  driver->PointAt(x, y);
  driver->Press(Button::kLeft);
  driver->PointAt(x, y - 20);
  ASSERT_TRUE(driver->RunUntil([&] { return !editor->CallsOf(HandlerCall::kPerformEdit).empty(); }));
  EXPECT_TRUE(driver->PointerHeld(*editor));
  EXPECT_EQ(editor->Removed(), kResultOk);
  EXPECT_FALSE(driver->PointerHeld(*editor));
  driver->Release(Button::kLeft);
  driver->RunFor(100);
  // Closing ended the drag's gesture, since no release could; the release itself reaches nothing.
  const std::vector<HandlerCall> calls = editor->Calls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.front().kind, HandlerCall::kBeginEdit);
  EXPECT_EQ(calls.back().kind, HandlerCall::kEndEdit);
  EXPECT_EQ(editor->CallsOf(HandlerCall::kEndEdit).size(), 1u);
}

TEST_F(EditorWindow, AHostWithoutARunLoopGetsNoWindow) {
  if (!driver->EditorsRunInTheHostsRunLoop())
    GTEST_SKIP() << "this platform's editors run in the system's message loop; hosts offer no run loop";
  std::unique_ptr<DrivenEditor> editor = driver->NewEditor(0, 0, false);
  ASSERT_TRUE(editor);
  EXPECT_EQ(editor->Attach(), kResultFalse);
  driver->RunFor(100);
  EXPECT_FALSE(editor->WindowOpen());
  driver->ExpectOpenEditors(0);
  EXPECT_EQ(editor->Removed(), kResultOk);

  // Nor without any frame at all.
  editor->View().setFrame(nullptr);
  EXPECT_EQ(editor->Attach(), kResultFalse);
  EXPECT_FALSE(editor->WindowOpen());
}

TEST_F(EditorWindow, AHostsMistakesNeitherCrashNorDisturbIt) {
  std::unique_ptr<DrivenEditor> editor = driver->NewEditor(0, 0);
  ASSERT_TRUE(editor);
  // A parent that does not exist.
  EXPECT_EQ(editor->AttachTo(driver->NonexistentParent()), kResultFalse);
  driver->ExpectOpenEditors(0);
  EXPECT_EQ(editor->Removed(), kResultOk) << "removed without attached";
  EXPECT_EQ(editor->Removed(), kResultOk) << "and twice";

  // The host destroys its window (and the editor's with it) before removing the view.
  ASSERT_EQ(editor->Attach(), kResultOk);
  EXPECT_TRUE(ScreenShows(*editor, DefaultPicture(), kWholeEditor));
  driver->ExpectOpenEditors(1);
  editor->DestroyHostWindow();
  EXPECT_FALSE(editor->WindowOpen());
  driver->RunFor(100);
  EXPECT_EQ(editor->Removed(), kResultOk);
  EXPECT_EQ(editor->Removed(), kResultOk);
  driver->ExpectOpenEditors(0);

  // The host goes on: another editor opens and draws.
  std::unique_ptr<DrivenEditor> next = OpenShowing(0, 0);
  ASSERT_TRUE(next);
  EXPECT_EQ(next->Removed(), kResultOk);
}

// ---- At a display scale ----
// The host gives the view its scale before it asks the size, so its window is the panel's size in
// device pixels. The window shows what the graphics core draws without a window at that scale, and
// the panel keeps its own (1x) pixels for everything it does: a drag of N panel pixels (N x scale
// on the screen) edits exactly as a drag of N at 1x.

namespace {

class EditorWindowAtScale : public EditorWindow, public ::testing::WithParamInterface<double> {
protected:
  static IRect DeviceRectAt(double scale, const IRect& r) {
    return IRect(DeviceCoordAt(scale, r.L), DeviceCoordAt(scale, r.T), DeviceCoordAt(scale, r.R),
                 DeviceCoordAt(scale, r.B));
  }

  // Drags the Ratio knob of an editor opened at scale up by kTravel panel pixels in four moves;
  // answers the values of its edits.
  std::vector<double> DragRatioKnob(double scale, int* newStep) {
    std::vector<double> values;
    std::unique_ptr<DrivenEditor> editor = driver->NewEditor(0, 0, true, scale);
    if (!editor) return values;
    EXPECT_EQ(editor->Attach(), kResultOk);
    LICE_MemBitmap opened, repainted;
    EXPECT_TRUE(HeadlessPanel(scale, {}, &opened, &repainted));
    EXPECT_TRUE(ScreenShows(*editor, opened, DeviceRectAt(scale, kWholeEditor), &repainted)) << "at scale " << scale;
    const IRect rect = KnobRect(Knob(kParamRatio));
    const int cx = (rect.L + rect.R) / 2, cy = (rect.T + rect.B) / 2;
    // The device pixel where a panel coordinate starts.
    auto at = [&](int panelY) {
      return std::make_pair(editor->ScreenX() + DeviceCoordAt(scale, cx),
                            editor->ScreenY() + DeviceCoordAt(scale, panelY));
    };
    driver->PointAt(at(cy).first, at(cy).second);
    driver->Press(Button::kLeft);
    EXPECT_TRUE(driver->RunUntil([&] { return driver->PointerHeld(*editor); }));
    for (int dy = kTravel / 4; dy <= kTravel; dy += kTravel / 4) {
      const size_t before = editor->CallsOf(HandlerCall::kPerformEdit).size();
      driver->PointAt(at(cy - dy).first, at(cy - dy).second);
      EXPECT_TRUE(driver->RunUntil([&] { return editor->CallsOf(HandlerCall::kPerformEdit).size() > before; }));
    }
    driver->Release(Button::kLeft);
    EXPECT_TRUE(driver->RunUntil([&] { return !editor->CallsOf(HandlerCall::kEndEdit).empty(); }));
    for (const HandlerCall& c : editor->CallsOf(HandlerCall::kPerformEdit)) values.push_back(c.value);
    const double value = editor->PlugIn().Controller()->getParamNormalized(kParamRatio);
    *newStep = static_cast<int>(std::lround(value * kParamDefinitions[kParamRatio].maxStep));
    // The knob shows its new frame as drawn at the scale.
    LICE_MemBitmap expected;
    EXPECT_TRUE(HeadlessPanel(scale, {{kParamRatio, *newStep}}, &expected, &repainted));
    EXPECT_TRUE(ScreenShows(*editor, expected, DeviceRectAt(scale, rect), &repainted)) << "at scale " << scale;
    editor->Removed();
    return values;
  }

  static constexpr int kTravel = 40;
};

}  // namespace

TEST_P(EditorWindowAtScale, ShowsThePanelAsTheCoreDrawsItWithoutAWindowAtTheSameScale) {
  const double scale = GetParam();
  std::unique_ptr<DrivenEditor> editor = driver->NewEditor(16, 16, true, scale);
  ASSERT_TRUE(editor);
  ViewRect size;
  ASSERT_EQ(editor->View().getSize(&size), kResultOk);
  EXPECT_EQ(size.getWidth(), DeviceCoordAt(scale, kEditorWidth));
  EXPECT_EQ(size.getHeight(), DeviceCoordAt(scale, kEditorHeight));

  const std::vector<std::pair<int, int>> steps = {{kParamRatio, 3}, {kParamCompressorThreshold, 5}};
  editor->SetSteps(steps);
  LICE_MemBitmap expected, repainted;
  ASSERT_TRUE(HeadlessPanel(scale, steps, &expected, &repainted));
  ASSERT_EQ(expected.Width(), size.getWidth());
  ASSERT_EQ(editor->Attach(), kResultOk);
  EXPECT_TRUE(ScreenShows(*editor, expected, IRect(0, 0, size.getWidth(), size.getHeight()), &repainted));
  EXPECT_EQ(editor->Removed(), kResultOk);

  // The drawing compared with is the editor's own: at 1x it is the snapshot tool's picture.
  LICE_MemBitmap headless, snapshot;
  ASSERT_TRUE(HeadlessPanel(1.0, steps, &headless));
  std::vector<std::string> sets;
  for (const auto& [index, step] : steps) sets.push_back(StepSetting(index, step));
  ASSERT_TRUE(driver->Snapshot(sets, &snapshot));
  EXPECT_EQ(DifferingPixels(headless, snapshot, kWholeEditor), 0);
}

TEST_P(EditorWindowAtScale, ADragOfNPanelPixelsEditsExactlyAsTheSameDragAtOneTimes) {
  int stepAtOne = -1, stepAtScale = -1;
  const std::vector<double> atOne = DragRatioKnob(1.0, &stepAtOne);
  const std::vector<double> atScale = DragRatioKnob(GetParam(), &stepAtScale);
  ASSERT_EQ(atOne.size(), 4u) << "one edit per move";
  EXPECT_EQ(atScale, atOne);
  EXPECT_EQ(stepAtScale, stepAtOne);
  EXPECT_GT(stepAtOne, kParamDefinitions[kParamRatio].defaultStep);
}

INSTANTIATE_TEST_SUITE_P(Scales, EditorWindowAtScale, ::testing::Values(2.0, 1.5),
                         [](const ::testing::TestParamInfo<double>& scale) {
                           return scale.param == 2.0 ? std::string("Two") : std::string("OneAndAHalf");
                         });
