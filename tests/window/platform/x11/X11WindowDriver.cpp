// The window driver on X11: the Linux test host, its run loop offered through the plug frame, XTest
// input on a connection of its own, and the screen read back from the server.

#include "tests/window/WindowDriver.h"

#include "tests/window/platform/x11/X11TestHost.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace Steinberg;

namespace windowtest {

namespace {

constexpr uint32_t kKeysymTab = 0xFF09, kKeysymEscape = 0xFF1B, kKeysymA = 'a';

uint32_t KeysymOf(Key key) {
  switch (key) {
    case Key::kTab: return kKeysymTab;
    case Key::kEscape: return kKeysymEscape;
    case Key::kLetterA: return kKeysymA;
    case Key::kOther: break;
  }
  return 0;
}

uint8_t ButtonNumber(Button button) {
  switch (button) {
    case Button::kLeft: return 1;
    case Button::kMiddle: return 2;
    case Button::kRight: return 3;
  }
  return 1;
}

class X11DrivenEditor : public DrivenEditor {
public:
  explicit X11DrivenEditor(std::unique_ptr<x11test::HostedEditor> hosted) : mHosted(std::move(hosted)) {
    Bind(mHosted->view.get(), mHosted->instance.get(), mHosted->handler.get(), mHosted->x, mHosted->y);
  }

  tresult Attach() override { return mHosted->Attach(); }
  bool WindowOpen() const override { return mHosted->EditorWindow() != 0; }
  void DestroyHostWindow() override { mHosted->window->Destroy(); }
  FIDString PlatformType() const override { return kPlatformTypeX11EmbedWindowID; }

  const x11test::HostedEditor& Hosted() const { return *mHosted; }

private:
  std::unique_ptr<x11test::HostedEditor> mHosted;
};

const x11test::HostedEditor& HostedOf(const DrivenEditor& editor) {
  return static_cast<const X11DrivenEditor&>(editor).Hosted();
}

class X11WindowDriver : public WindowDriver {
public:
  std::unique_ptr<DrivenEditor> NewEditor(int x, int y, bool offerRunLoop, double scale) override {
    std::unique_ptr<x11test::HostedEditor> hosted =
        mHost.NewEditor(x, y, offerRunLoop, vst3host::HostWindow::Embedding::kXEmbedStrict, scale);
    if (!hosted) return nullptr;
    return std::make_unique<X11DrivenEditor>(std::move(hosted));
  }
  bool EditorsRunInTheHostsRunLoop() const override { return true; }
  // A window id the server never handed out: the X error comes back to the editor's connection.
  void* NonexistentParent() const override { return reinterpret_cast<void*>(uintptr_t{0x3FFFFF0}); }
  void ExpectOpenEditors(int count) override {
    // Each editor ticks on a timer of the host's loop and watches its display connection; each
    // instance's binding takes a timer of its own for its notices (values the host should read
    // again) while its editor is open.
    EXPECT_EQ(mHost.Loop().TimerCount(), 2 * count) << "each editor's tick and each instance's notices";
    EXPECT_EQ(mHost.Loop().EventHandlerCount(), count) << "each editor watches its display connection";
  }

  bool RunUntil(const std::function<bool()>& done, int timeoutMs) override { return mHost.RunUntil(done, timeoutMs); }
  void RunFor(int ms) override { mHost.RunFor(ms); }
  long long TimerTicks() const override { return mHost.Loop().TimerCallbacks(); }

  void PointAt(int screenX, int screenY) override { mHost.MoveTo(screenX, screenY); }
  void Press(Button button) override { mHost.Press(ButtonNumber(button)); }
  void Release(Button button) override { mHost.Release(ButtonNumber(button)); }
  // Buttons 4 and 5 are the wheel's notches up and down, 6 and 7 left and right.
  void Wheel(int notches) override {
    for (int i = 0; i < (notches < 0 ? -notches : notches); ++i) mHost.Click(notches > 0 ? 4 : 5);
  }
  void WheelSideways(int notches) override {
    for (int i = 0; i < (notches < 0 ? -notches : notches); ++i) mHost.Click(notches > 0 ? 7 : 6);
  }
  void Type(Key key) override {
    const xcb_keycode_t code = mHost.KeyCode(KeysymOf(key));
    ASSERT_NE(code, 0) << "no key for keysym " << KeysymOf(key);
    mHost.Key(code);
  }
  // The server tells only whether somebody holds the pointer grab; during a drag the editor does.
  bool PointerHeld(const DrivenEditor&) override {
    mHost.Sync();
    return mHost.PointerGrabbed();
  }
  bool KeysGoTo(const DrivenEditor& editor) override {
    const xcb_window_t window = HostedOf(editor).EditorWindow();
    return window != 0 && mHost.KeysGoTo(window);
  }
  std::vector<HostKeyEvent> HostKeys(const DrivenEditor& editor) override {
    std::vector<HostKeyEvent> events;
    for (const vst3host::HostWindow::Key& k : HostedOf(editor).window->Keys()) {
      Key key = Key::kOther;
      for (Key typed : {Key::kTab, Key::kEscape, Key::kLetterA})
        if (k.code == mHost.KeyCode(KeysymOf(typed))) key = typed;
      events.push_back({key, true, k.sentByClient});
    }
    return events;
  }
  // The host's window selects key presses only.
  bool HostWindowsSeeKeyReleases() const override { return false; }

  bool Capture(const DrivenEditor& editor, LICE_MemBitmap* out) override {
    const xcb_window_t window = HostedOf(editor).EditorWindow();
    return window != 0 && mHost.Capture(window, out);
  }
  bool CaptureHostWindow(const DrivenEditor& editor, LICE_MemBitmap* out) override {
    return mHost.Capture(HostedOf(editor).window->Window(), out);
  }
  bool Snapshot(const std::vector<std::string>& sets, LICE_MemBitmap* out) override {
    return x11test::X11TestHost::Snapshot(sets, out);
  }

private:
  x11test::X11TestHost mHost;
};

}  // namespace

std::unique_ptr<WindowDriver> MakeWindowDriver() { return std::make_unique<X11WindowDriver>(); }

}  // namespace windowtest
