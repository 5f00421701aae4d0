// The window driver on Windows: the Windows test host under Wine, its message loop, SendInput into
// the system's input queue, and the screen read back from the windows' device contexts.

#include "tests/window/WindowDriver.h"

#include "tests/window/platform/win32/Win32TestHost.h"

#include "plugin/VelmoraEditor.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

using namespace Steinberg;

namespace windowtest {

namespace {

// The module's editor window class.
constexpr const char* kEditorClass = "IPlugWndClass";

WORD VirtualKeyOf(Key key) {
  switch (key) {
    case Key::kTab: return VK_TAB;
    case Key::kEscape: return VK_ESCAPE;
    case Key::kLetterA: return 'A';
    case Key::kOther: break;
  }
  return 0;
}

int ButtonIndex(Button button) {
  switch (button) {
    case Button::kLeft: return 0;
    case Button::kRight: return 1;
    case Button::kMiddle: return 2;
  }
  return 0;
}

bool ClassRegistered(HINSTANCE module) {
  WNDCLASSA wc;
  return GetClassInfoA(module, kEditorClass, &wc) != FALSE;
}

bool IsEditorWindow(HWND hwnd) {
  char name[32] = {};
  GetClassNameA(hwnd, name, sizeof(name));
  return std::strcmp(name, kEditorClass) == 0;
}

// The editor windows in this thread's top-level windows.
std::vector<HWND> EditorWindows() {
  std::vector<HWND> found;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND top, LPARAM list) {
        EnumChildWindows(
            top,
            [](HWND child, LPARAM windows) {
              if (IsEditorWindow(child)) reinterpret_cast<std::vector<HWND>*>(windows)->push_back(child);
              return TRUE;
            },
            list);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

class Win32DrivenEditor : public DrivenEditor {
public:
  explicit Win32DrivenEditor(std::unique_ptr<wintest::HostedEditor> hosted) : mHosted(std::move(hosted)) {
    Bind(mHosted->view.get(), mHosted->instance.get(), mHosted->handler.get(), mHosted->x, mHosted->y);
  }

  tresult Attach() override { return mHosted->Attach(); }
  bool WindowOpen() const override { return mHosted->EditorWindow() != nullptr; }
  void DestroyHostWindow() override { mHosted->window->Destroy(); }
  FIDString PlatformType() const override { return kPlatformTypeHWND; }

  const wintest::HostedEditor& Hosted() const { return *mHosted; }

private:
  std::unique_ptr<wintest::HostedEditor> mHosted;
};

const wintest::HostedEditor& HostedOf(const DrivenEditor& editor) {
  return static_cast<const Win32DrivenEditor&>(editor).Hosted();
}

class Win32WindowDriver : public WindowDriver {
public:
  // A Windows host's frame offers no run loop: editors run in the system's message loop.
  std::unique_ptr<DrivenEditor> NewEditor(int x, int y, bool, double scale) override {
    std::unique_ptr<wintest::HostedEditor> hosted = mHost.NewEditor(x, y, scale);
    if (!hosted) return nullptr;
    return std::make_unique<Win32DrivenEditor>(std::move(hosted));
  }
  bool EditorsRunInTheHostsRunLoop() const override { return false; }
  void* NonexistentParent() const override {
    const auto none = reinterpret_cast<HWND>(uintptr_t{0x3FFFFF0});
    EXPECT_FALSE(IsWindow(none));
    return none;
  }
  // The editors' windows are visible children of the editor's size in their host windows, all of
  // one window class, which the module registers with the first and unregisters with the last.
  void ExpectOpenEditors(int count) override {
    const std::vector<HWND> windows = EditorWindows();
    EXPECT_EQ(static_cast<int>(windows.size()), count) << "editor windows on the screen";
    for (HWND hwnd : windows) {
      EXPECT_EQ(GetWindowLongPtrA(hwnd, GWL_STYLE) & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
      RECT r;
      GetClientRect(hwnd, &r);
      EXPECT_EQ(r.right, kEditorWidth);
      EXPECT_EQ(r.bottom, kEditorHeight);
      const auto module = reinterpret_cast<HINSTANCE>(GetClassLongPtrA(hwnd, GCLP_HMODULE));
      if (!mModule) mModule = module;
      EXPECT_EQ(module, mModule) << "one class for every editor";
    }
    if (mModule) {
      EXPECT_EQ(ClassRegistered(mModule), count > 0) << "registered while an editor window is open";
    }
  }

  bool RunUntil(const std::function<bool()>& done, int timeoutMs) override { return mHost.RunUntil(done, timeoutMs); }
  void RunFor(int ms) override { mHost.RunFor(ms); }
  long long TimerTicks() const override { return mHost.EditorTicks(); }

  void PointAt(int screenX, int screenY) override {
    wintest::Win32TestHost::MoveTo(screenX, screenY);
    EXPECT_TRUE(mHost.RunUntil([&] {
      POINT p;
      return GetCursorPos(&p) && p.x == screenX && p.y == screenY;
    }));
  }
  void Press(Button button) override { wintest::Win32TestHost::Press(ButtonIndex(button)); }
  void Release(Button button) override { wintest::Win32TestHost::Release(ButtonIndex(button)); }
  void Wheel(int notches) override { wintest::Win32TestHost::Wheel(notches); }
  void WheelSideways(int notches) override { wintest::Win32TestHost::WheelSideways(notches); }
  void Type(Key key) override { wintest::Win32TestHost::Key(VirtualKeyOf(key)); }
  // Whoever holds the capture must be the editor's window.
  bool PointerHeld(const DrivenEditor& editor) override {
    HWND capture = GetCapture();
    if (!capture) return false;
    EXPECT_EQ(capture, HostedOf(editor).EditorWindow()) << "the capture is another window's";
    return true;
  }
  bool KeysGoTo(const DrivenEditor& editor) override {
    HWND window = HostedOf(editor).EditorWindow();
    return window && GetFocus() == window;
  }
  std::vector<HostKeyEvent> HostKeys(const DrivenEditor& editor) override {
    const wintest::HostedEditor& hosted = HostedOf(editor);
    std::vector<HostKeyEvent> events;
    for (const wintest::HostKey& k : hosted.window->Keys()) {
      Key key = Key::kOther;
      for (Key typed : {Key::kTab, Key::kEscape, Key::kLetterA})
        if (k.virtualKey == VirtualKeyOf(typed)) key = typed;
      events.push_back({key, k.message == WM_KEYDOWN, k.focus != nullptr && k.focus == hosted.EditorWindow()});
    }
    return events;
  }
  bool HostWindowsSeeKeyReleases() const override { return true; }

  bool Capture(const DrivenEditor& editor, LICE_MemBitmap* out) override {
    return wintest::Win32TestHost::Capture(HostedOf(editor).EditorWindow(), out);
  }
  bool CaptureHostWindow(const DrivenEditor& editor, LICE_MemBitmap* out) override {
    return wintest::Win32TestHost::Capture(HostedOf(editor).window->Handle(), out);
  }
  bool Snapshot(const std::vector<std::string>& sets, LICE_MemBitmap* out) override {
    return wintest::Win32TestHost::Snapshot(sets, out);
  }

private:
  wintest::Win32TestHost mHost;
  HINSTANCE mModule = nullptr;  // the module whose class the editor windows are of, once seen
};

}  // namespace

std::unique_ptr<WindowDriver> MakeWindowDriver() { return std::make_unique<Win32WindowDriver>(); }

}  // namespace windowtest
