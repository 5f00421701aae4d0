// A parameter prompt on the Windows editor window: the EDIT box and the native popup menu, used
// with real keys and clicks. Velmora's own controls keep prompting off, so a small plug-in with
// one integer and one enumeration parameter stands in; on its window also what Velmora does not
// use: re-opening in place, tooltips, the clipboard.

#include "tests/support/PromptTestPlug.h"
#include "tests/window/platform/win32/Win32TestHost.h"

#include "framework/graphics/platform/win32/IGraphicsWin.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

using namespace wintest;

namespace {

constexpr int kIntParam = PromptTestPlug::kIntParam;
constexpr int kEnumParam = PromptTestPlug::kEnumParam;

class Win32Prompt : public ::testing::Test {
protected:
  // scale: the display scale a host gives the editor, in a host window of its size in device pixels.
  explicit Win32Prompt(double scale = 1.0)
      : window(0, 0, static_cast<int>(PromptTestPlug::kWidth * scale + 0.5),
               static_cast<int>(PromptTestPlug::kHeight * scale + 0.5)) {
    graphics = new IGraphicsWin(&plug, PromptTestPlug::kWidth, PromptTestPlug::kHeight, 25);
    plug.AttachPromptGraphics(graphics);
    if (scale != 1.0) graphics->SetDrawScaleFromHost(scale);
    control = plug.intControl;
    enumControl = plug.enumControl;
    EXPECT_NE(graphics->OpenEditorWindow(window.Handle()), nullptr);
    host.RunFor(0);
  }
  ~Win32Prompt() override { graphics->CloseEditorWindow(); }

  bool Reported(int paramIdx, double normalized) {
    return host.RunUntil([&] {
      return !plug.reports.empty() && plug.reports.back().first == paramIdx && plug.reports.back().second == normalized;
    });
  }
  // Opens the entry and waits until it has the focus and the first tick has passed (from then
  // on a click on the editor commits it).
  HWND OpenEntry() {
    graphics->PromptParamEdit(control, plug.GetParam(kIntParam), IRect(30, 30, 70, 46));
    HWND box = graphics->TextEntryWindow();
    EXPECT_NE(box, nullptr);
    EXPECT_TRUE(
        host.RunUntil([&] { return GetFocus() == box && graphics->TextEntryState() == IGraphicsWin::EditIdle; }));
    return box;
  }
  // Until the box is gone (entries finish on the next tick).
  bool EntryClosed(HWND box) {
    return host.RunUntil([&] { return !graphics->TextEntryWindow() && !IsWindow(box); });
  }
  static void Type(const char* keys) {
    for (const char* k = keys; *k; ++k) Win32TestHost::Key(LOBYTE(VkKeyScanA(*k)));
  }

  Win32TestHost host;
  PromptTestPlug plug;
  HostWindow window;
  IGraphicsWin* graphics;  // owned by plug
  IControl* control;
  IControl* enumControl;
};

// Waits for the popup menu to be on the screen, checks which item is ticked, then gives keys.
void MenuHand(std::atomic<int>* checkedItem, std::initializer_list<WORD> keys) {
  HWND menu = nullptr;
  for (int i = 0; i < 500 && !menu; ++i) {
    menu = FindWindowA("#32768", nullptr);
    if (menu && !IsWindowVisible(menu)) menu = nullptr;
    if (!menu) Sleep(10);
  }
  if (!menu) return;
  if (HMENU items = reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0)))
    for (int i = 0; i < GetMenuItemCount(items); ++i)
      if (GetMenuState(items, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) *checkedItem = i;
  for (WORD key : keys) Win32TestHost::Key(key);
}

}  // namespace

TEST_F(Win32Prompt, TextEntryTakesWhatTheParameterAcceptsAndCommitsOnEnter) {
  HWND box = OpenEntry();
  char text[16] = {};
  GetWindowTextA(box, text, sizeof(text));
  EXPECT_STREQ(text, "3") << "the current value, selected";
  Type("1x.2");  // the letter and the point are not for an integer
  Win32TestHost::Key(VK_RETURN);
  EXPECT_TRUE(Reported(kIntParam, plug.GetParam(kIntParam)->ToNormalized(12)));
  EXPECT_TRUE(EntryClosed(box));
  EXPECT_EQ(GetFocus(), graphics->NativeWindow()) << "the editor has the keys again";

  // Escape throws the typing away, and so does the wheel; a click on the editor elsewhere commits.
  plug.reports.clear();
  box = OpenEntry();
  Type("7");
  Win32TestHost::Key(VK_ESCAPE);
  ASSERT_TRUE(EntryClosed(box));
  box = OpenEntry();
  Type("5");
  Win32TestHost::MoveTo(60, 50);
  Win32TestHost::Wheel(1);
  ASSERT_TRUE(EntryClosed(box));
  box = OpenEntry();
  Type("9");
  Win32TestHost::MoveTo(150, 100);
  Win32TestHost::Click(0);
  EXPECT_TRUE(Reported(kIntParam, plug.GetParam(kIntParam)->ToNormalized(9)));
  EXPECT_TRUE(EntryClosed(box));
  EXPECT_EQ(plug.reports.size(), 1u) << "the cancelled entries changed nothing";
}

TEST_F(Win32Prompt, ClosingTheWindowWithAnEntryOpenLeavesNoBoxAndNoLateCommit) {
  HWND box = OpenEntry();
  Type("8");
  HWND editor = static_cast<HWND>(graphics->NativeWindow());
  graphics->CloseEditorWindow();
  EXPECT_FALSE(IsWindow(box));
  EXPECT_FALSE(IsWindow(editor));
  EXPECT_EQ(graphics->TextEntryWindow(), nullptr);
  host.RunFor(120);  // three timer periods
  EXPECT_TRUE(plug.reports.empty());

  // Opened again, the editor prompts as before.
  ASSERT_NE(graphics->OpenEditorWindow(window.Handle()), nullptr);
  box = OpenEntry();
  Type("4");
  Win32TestHost::Key(VK_RETURN);
  EXPECT_TRUE(Reported(kIntParam, plug.GetParam(kIntParam)->ToNormalized(4)));
}

TEST_F(Win32Prompt, MenuChoosesAnEnumerationValueOrNothing) {
  IParam* param = plug.GetParam(kEnumParam);
  const IRect rect(20, 70, 120, 90);
  // The menu runs its own loop until a choice; the user's hand comes from another thread.
  std::atomic<int> checked{-1};
  std::thread hand(MenuHand, &checked, std::initializer_list<WORD>{VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
  graphics->PromptParamEdit(enumControl, param, rect);
  hand.join();
  EXPECT_EQ(checked, 0) << "the current value is ticked";
  EXPECT_TRUE(Reported(kEnumParam, param->ToNormalized(2)));

  // Escape closes it with no choice.
  plug.reports.clear();
  std::thread away(MenuHand, &checked, std::initializer_list<WORD>{VK_ESCAPE});
  graphics->PromptParamEdit(enumControl, param, rect);
  away.join();
  EXPECT_EQ(checked, 2);
  host.RunFor(100);
  EXPECT_TRUE(plug.reports.empty());
  EXPECT_EQ(FindWindowA("#32768", nullptr) && IsWindowVisible(FindWindowA("#32768", nullptr)), false);
}

TEST_F(Win32Prompt, OpeningAgainRecreatesTheWindowWhereTheOldOneWasAndAsLarge) {
  HWND old = static_cast<HWND>(graphics->NativeWindow());
  SetWindowPos(old, nullptr, 5, 7, 150, 90, SWP_NOZORDER | SWP_NOACTIVATE);
  HWND fresh = static_cast<HWND>(graphics->OpenEditorWindow(window.Handle()));
  ASSERT_NE(fresh, nullptr);
  EXPECT_FALSE(IsWindow(old));
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 1);
  RECT r;
  GetWindowRect(fresh, &r);
  MapWindowPoints(HWND_DESKTOP, window.Handle(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 5);
  EXPECT_EQ(r.top, 7);
  EXPECT_EQ(r.right - r.left, 150);
  EXPECT_EQ(r.bottom - r.top, 90);
}

TEST_F(Win32Prompt, TooltipsWhenEnabledShowTheHoveredControlsText) {
  graphics->CloseEditorWindow();
  graphics->SetHoverEnabled(true);
  graphics->SetTooltipsEnabled(true);
  control->SetTooltip("How much");
  ASSERT_NE(graphics->OpenEditorWindow(window.Handle()), nullptr);
  EXPECT_TRUE(graphics->TooltipsEnabled()) << "the tooltip window was made";
  Win32TestHost::MoveTo(40, 40);
  Win32TestHost::MoveTo(41, 41);
  HWND tip = nullptr;
  EXPECT_TRUE(host.RunUntil([&] {
    tip = FindWindowA(TOOLTIPS_CLASSA, nullptr);
    return tip && IsWindowVisible(tip);
  }));
  char text[32] = {};
  TTTOOLINFOA tool = {};
  tool.cbSize = sizeof(tool);
  tool.hwnd = static_cast<HWND>(graphics->NativeWindow());
  tool.uId = reinterpret_cast<UINT_PTR>(tool.hwnd);
  tool.lpszText = text;
  SendMessageA(tip, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(text, "How much");
  graphics->CloseEditorWindow();
  EXPECT_FALSE(IsWindow(tip)) << "the tooltip goes with the window";
}

TEST_F(Win32Prompt, ClipboardTextComesAsUtf8) {
  const wchar_t kText[] = L"Gr\u00FC\u00DFe \u2713";
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, sizeof(kText));
  std::memcpy(GlobalLock(data), kText, sizeof(kText));
  GlobalUnlock(data);
  SetClipboardData(CF_UNICODETEXT, data);
  CloseClipboard();
  std::string text;
  ASSERT_TRUE(graphics->ClipboardText(text));
  EXPECT_EQ(text,
            "Gr\xC3\xBC\xC3\x9F"
            "e \xE2\x9C\x93");
}

// A new layout deletes the controls, the entry's among them: the entry goes with them, unfinished,
// and nothing it held reaches a parameter afterwards.
TEST_F(Win32Prompt, ANewLayoutEndsAnOpenTextEntryWithoutAResult) {
  HWND box = OpenEntry();
  Type("7");
  graphics->ResizeSurface(PromptTestPlug::kWidth + 20, PromptTestPlug::kHeight);
  EXPECT_TRUE(EntryClosed(box));
  Win32TestHost::Key(VK_RETURN);
  host.RunFor(200);
  EXPECT_TRUE(plug.reports.empty());
}

// At a display scale the box and the menu open where their control is on the screen; what they do
// is the same.
class Win32PromptAtScale : public Win32Prompt, public ::testing::WithParamInterface<double> {
protected:
  Win32PromptAtScale() : Win32Prompt(GetParam()) {}
  int Device(int panel) const { return graphics->DeviceCoord(panel); }
};

TEST_P(Win32PromptAtScale, TextEntryCoversItsControlsRectangleOnTheScreen) {
  HWND box = OpenEntry();  // over IRect(30, 30, 70, 46)
  RECT r;
  GetWindowRect(box, &r);
  MapWindowPoints(HWND_DESKTOP, static_cast<HWND>(graphics->NativeWindow()), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, Device(30));
  EXPECT_EQ(r.top, Device(30));
  EXPECT_EQ(r.right, Device(71));  // the right and bottom edges included
  EXPECT_EQ(r.bottom, Device(47));
  Type("12");
  Win32TestHost::Key(VK_RETURN);
  EXPECT_TRUE(Reported(kIntParam, plug.GetParam(kIntParam)->ToNormalized(12)));
  EXPECT_TRUE(EntryClosed(box));
}

TEST_P(Win32PromptAtScale, MenuOpensBelowItsControlOnTheScreen) {
  IParam* param = plug.GetParam(kEnumParam);
  const IRect rect(20, 70, 120, 90);
  POINT expected = {Device(rect.L), Device(rect.B)};
  ClientToScreen(static_cast<HWND>(graphics->NativeWindow()), &expected);
  std::atomic<long> left{-1}, top{-1};
  std::thread hand([&] {
    HWND menu = nullptr;
    for (int i = 0; i < 500 && !menu; ++i) {
      menu = FindWindowA("#32768", nullptr);
      if (menu && !IsWindowVisible(menu)) menu = nullptr;
      if (!menu) Sleep(10);
    }
    if (menu) {
      RECT r;
      GetWindowRect(menu, &r);
      left = r.left, top = r.top;
    }
    Win32TestHost::Key(VK_DOWN);
    Win32TestHost::Key(VK_DOWN);
    Win32TestHost::Key(VK_RETURN);
  });
  graphics->PromptParamEdit(enumControl, param, rect);
  hand.join();
  EXPECT_EQ(left, expected.x);
  EXPECT_EQ(top, expected.y);
  EXPECT_TRUE(Reported(kEnumParam, param->ToNormalized(1)));
}

INSTANTIATE_TEST_SUITE_P(Scales, Win32PromptAtScale, ::testing::Values(2.0, 1.5),
                         [](const ::testing::TestParamInfo<double>& scale) {
                           return scale.param == 2.0 ? std::string("Two") : std::string("OneAndAHalf");
                         });
