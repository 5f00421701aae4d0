// A parameter prompt on the X11 editor window: the popup menu and the text entry are drawn by the
// editor itself and behave as on every platform. Velmora's own controls keep prompting off, so
// a small plug-in with one integer and one enumeration parameter stands in.

#include "tests/support/PromptTestPlug.h"
#include "tests/window/platform/x11/X11TestHost.h"

#include "framework/graphics/IControl.h"
#include "framework/graphics/platform/x11/IGraphicsX11.h"
#include "framework/vst3/HostRunLoop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

using namespace x11test;

namespace {

constexpr int kIntParam = PromptTestPlug::kIntParam;
constexpr int kEnumParam = PromptTestPlug::kEnumParam;

class X11Prompt : public ::testing::Test {
protected:
  // scale: the display scale the editor opens at, in a host window of its size in device pixels.
  explicit X11Prompt(double scale = 1.0) {
    graphics = new IGraphicsX11(&plug, PromptTestPlug::kWidth, PromptTestPlug::kHeight, 25);
    plug.AttachPromptGraphics(graphics);
    graphics->SetDrawScale(scale);
    control = plug.intControl;
    enumControl = plug.enumControl;

    std::string error;
    window = vst3host::HostWindow::Open(0, 0, graphics->DeviceWidth(), graphics->DeviceHeight(), "prompt", &error);
    frame = Steinberg::owned(new vst3host::PlugFrame(&host.Loop()));
    runLoop = ConnectHostRunLoop(frame);
    graphics->SetHostRunLoop(runLoop.get());
    EXPECT_NE(graphics->OpenEditorWindow(window->ParentHandle()), nullptr);
    host.Sync();
  }
  ~X11Prompt() override {
    graphics->CloseEditorWindow();
    graphics->SetHostRunLoop(nullptr);
  }

  bool Reported(int paramIdx, double normalized) {
    return host.RunUntil([&] {
      return !plug.reports.empty() && plug.reports.back().first == paramIdx && plug.reports.back().second == normalized;
    });
  }
  // Until the entry's window inside the editor's is gone (entries finish on the next tick).
  bool EntryClosed() {
    const auto editor = static_cast<xcb_window_t>(reinterpret_cast<uintptr_t>(graphics->NativeWindow()));
    return host.RunUntil([&] { return host.ChildCount(editor) == 0; });
  }
  void Type(const char* keys) {
    for (const char* k = keys; *k; ++k) host.Key(host.KeyCode(static_cast<unsigned char>(*k)));
  }

  X11TestHost host;
  PromptTestPlug plug;
  IGraphicsX11* graphics;  // owned by plug
  IControl* control;
  IControl* enumControl;
  std::unique_ptr<vst3host::HostWindow> window;
  Steinberg::IPtr<vst3host::PlugFrame> frame;
  std::unique_ptr<EditorRunLoop> runLoop;
};

constexpr uint32_t kReturn = 0xFF0D, kEscape = 0xFF1B;

}  // namespace

TEST_F(X11Prompt, TextEntryTakesWhatTheParameterAcceptsAndCommitsOnEnter) {
  IParam* param = plug.GetParam(kIntParam);
  graphics->PromptParamEdit(control, param, IRect(30, 30, 70, 46));
  host.MoveTo(150, 100);  // keys reach the entry wherever the pointer is
  Type("1x.2");           // the letter and the point are not for an integer
  host.Key(host.KeyCode(kReturn));
  EXPECT_TRUE(Reported(kIntParam, param->ToNormalized(12)));
  EXPECT_TRUE(EntryClosed());

  // Escape throws the typing away; so does the wheel.
  plug.reports.clear();
  graphics->PromptParamEdit(control, param, IRect(30, 30, 70, 46));
  Type("7");
  host.Key(host.KeyCode(kEscape));
  ASSERT_TRUE(EntryClosed());
  graphics->PromptParamEdit(control, param, IRect(30, 30, 70, 46));
  host.MoveTo(60, 50);
  Type("5");
  host.Click(4);
  ASSERT_TRUE(EntryClosed());
  // A click elsewhere commits.
  graphics->PromptParamEdit(control, param, IRect(30, 30, 70, 46));
  Type("9");
  host.MoveTo(150, 100);
  host.Click(1);
  EXPECT_TRUE(Reported(kIntParam, param->ToNormalized(9)));
  EXPECT_EQ(plug.reports.size(), 1u) << "the cancelled entries changed nothing";
}

TEST_F(X11Prompt, MenuChoosesAnEnumerationValueWithThePointer) {
  IParam* param = plug.GetParam(kEnumParam);
  const IRect rect(20, 70, 120, 90);
  // The menu runs its own loop until a choice; the user's hand comes from another thread.
  std::thread hand([&] {
    // Only the X server is asked from here: the editor belongs to the test's thread.
    for (int i = 0; i < 500 && !host.PopupShown(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    // Rows of 18 pixels below (rect.L, rect.B); the third is "Hard".
    host.MoveTo(rect.L + 30, rect.B + 1 + 18 * 2 + 9);
    host.Click(1);
  });
  graphics->PromptParamEdit(enumControl, param, rect);
  hand.join();
  EXPECT_TRUE(Reported(kEnumParam, param->ToNormalized(2)));
  EXPECT_FALSE(host.PopupShown());
  EXPECT_FALSE(host.PointerGrabbed());
}

// A new layout deletes the controls, the entry's among them: the entry goes with them, unfinished,
// and nothing it held reaches a parameter afterwards.
TEST_F(X11Prompt, ANewLayoutEndsAnOpenTextEntryWithoutAResult) {
  IParam* param = plug.GetParam(kIntParam);
  graphics->PromptParamEdit(control, param, IRect(30, 30, 70, 46));
  Type("7");
  graphics->ResizeSurface(PromptTestPlug::kWidth + 20, PromptTestPlug::kHeight);
  EXPECT_TRUE(EntryClosed());
  host.Key(host.KeyCode(kReturn));
  host.RunFor(200);
  EXPECT_TRUE(plug.reports.empty());
}

// At a display scale the menu and the entry open where their control is on the screen, at the
// scale's size; what they do is the same.
class X11PromptAtScale : public X11Prompt, public ::testing::WithParamInterface<double> {
protected:
  X11PromptAtScale() : X11Prompt(GetParam()) {}
  int Device(int panel) const { return graphics->DeviceCoord(panel); }
  // The menu's measures at this scale, as it draws them.
  int Scaled(int value) const { return static_cast<int>(std::lround(value * GetParam())); }
};

TEST_P(X11PromptAtScale, TextEntryCoversItsControlsRectangleOnTheScreen) {
  IParam* param = plug.GetParam(kIntParam);
  const IRect rect(30, 30, 70, 46);
  graphics->PromptParamEdit(control, param, rect);
  const auto editor = static_cast<xcb_window_t>(reinterpret_cast<uintptr_t>(graphics->NativeWindow()));
  ASSERT_TRUE(host.RunUntil([&] { return host.ChildCount(editor) == 1; }));
  const IRect box = host.FirstChildRect(editor);
  EXPECT_EQ(box.L, Device(rect.L));
  EXPECT_EQ(box.T, Device(rect.T));
  EXPECT_EQ(box.R, Device(rect.R + 1));  // the right and bottom edges included
  EXPECT_EQ(box.B, Device(rect.B + 1));
  Type("12");
  host.Key(host.KeyCode(kReturn));
  EXPECT_TRUE(Reported(kIntParam, param->ToNormalized(12)));
  EXPECT_TRUE(EntryClosed());
}

TEST_P(X11PromptAtScale, MenuOpensBelowItsControlAndChoosesByTheScaledRows) {
  IParam* param = plug.GetParam(kEnumParam);
  const IRect rect(20, 70, 120, 90);
  std::thread hand([&] {
    for (int i = 0; i < 500 && !host.PopupShown(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    // Rows of 18 panel pixels (each scaled) below the control's bottom-left corner on the screen,
    // after a border; the third is "Hard".
    host.MoveTo(Device(rect.L) + Scaled(30), Device(rect.B) + Scaled(1) + Scaled(18) * 2 + Scaled(9));
    host.Click(1);
  });
  graphics->PromptParamEdit(enumControl, param, rect);
  hand.join();
  EXPECT_TRUE(Reported(kEnumParam, param->ToNormalized(2)));
  EXPECT_FALSE(host.PopupShown());
}

INSTANTIATE_TEST_SUITE_P(Scales, X11PromptAtScale, ::testing::Values(2.0, 1.5),
                         [](const ::testing::TestParamInfo<double>& scale) {
                           return scale.param == 2.0 ? std::string("Two") : std::string("OneAndAHalf");
                         });
