#pragma once
// The Windows test host: a DAW in miniature, run under Wine on the test session's virtual display.
// It loads the Velmora module through its exports, gives each instance a top-level window of its
// own, attaches the editor view with "HWND", runs the message loop, and uses the editor with real
// input (SendInput: the system's input queue, as a user's hands would). It reads the screen back
// from the windows' device contexts.

#include "bitmap/LICE_MemBitmap.h"
#include "framework/graphics/IRect.h"
#include "tests/support/HostedEditorSupport.h"
#include "tools/vst3host/ComponentHandler.h"
#include "tools/vst3host/HostApplication.h"
#include "tools/vst3host/Instance.h"
#include "tools/vst3host/PlugFrame.h"

#include "pluginterfaces/gui/iplugview.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace wintest {

using editortest::DifferingPixels;

// A key message the host's top-level window received.
struct HostKey {
  UINT message;  // WM_KEYDOWN or WM_KEYUP
  WPARAM virtualKey;
  HWND focus;  // the window that had the keyboard focus: another than this one passed it on
};

// The host's top-level window: records the keys that reach it.
class HostWindow {
public:
  // A borderless top-level window whose client area is w x h at (x, y) on the screen.
  HostWindow(int x, int y, int w, int h);
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  HWND Handle() const { return mHwnd; }
  const std::vector<HostKey>& Keys() const { return mKeys; }
  // As a host that closes its window before removing the view.
  void Destroy();

private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  HWND mHwnd = nullptr;
  std::vector<HostKey> mKeys;
};

// One plug-in instance with its editor view and the host window it goes into.
struct HostedEditor {
  HostedEditor() = default;
  ~HostedEditor();
  HostedEditor(const HostedEditor&) = delete;
  HostedEditor& operator=(const HostedEditor&) = delete;

  std::unique_ptr<vst3host::Instance> instance;
  Steinberg::IPtr<vst3host::RecordingComponentHandler> handler;
  Steinberg::IPtr<Steinberg::IPlugView> view;
  Steinberg::IPtr<vst3host::PlugFrame> frame;
  std::unique_ptr<HostWindow> window;
  int x = 0, y = 0;  // where the host window's client area sits on the screen

  // The editor's own window inside the host's, null while none.
  HWND EditorWindow() const;
  Steinberg::tresult Attach();
  Steinberg::tresult Removed() { return view->removed(); }
  void SetSteps(const std::vector<std::pair<int, int>>& steps) { editortest::SendSteps(*instance, steps); }
  void ProcessLoudAudio(double seconds) { editortest::ProcessLoudAudio(*instance, seconds); }
  std::vector<vst3host::HandlerCall> Calls() const { return handler->Calls(); }
  std::vector<vst3host::HandlerCall> CallsOf(vst3host::HandlerCall::Kind kind) const;
};

class Win32TestHost {
public:
  Win32TestHost();
  ~Win32TestHost();
  Win32TestHost(const Win32TestHost&) = delete;
  Win32TestHost& operator=(const Win32TestHost&) = delete;

  // A set-up, not yet attached instance in a host window of the editor's size at (x, y).
  std::unique_ptr<HostedEditor> NewEditor(int x, int y, double scale = 1.0);

  // Runs the message loop until done() or five seconds; true when done.
  bool RunUntil(const std::function<bool()>& done, int timeoutMs = 5000);
  // Runs the message loop for a while, for things that must not happen.
  void RunFor(int ms);
  // Timer messages dispatched to editor windows so far.
  long long EditorTicks() const { return mEditorTicks; }

  // ---- Input, through the system's input queue ----
  static void MoveTo(int screenX, int screenY);
  // button: 0 left, 1 right, 2 middle.
  static void Press(int button);
  static void Release(int button);
  static void Click(int button) { Press(button), Release(button); }
  // notches > 0 away from the user.
  static void Wheel(int notches);
  // notches > 0 to the right.
  static void WheelSideways(int notches);
  static void Key(WORD virtualKey);

  // ---- Screen ----
  // The pixels of window (with whatever is inside it), opaque.
  static bool Capture(HWND window, LICE_MemBitmap* out);
  // Velmora's editor drawn off screen by velmora-snapshot at these steps ("Title=step" each).
  static bool Snapshot(const std::vector<std::string>& sets, LICE_MemBitmap* out);

private:
  vst3host::HostApplication* mHostApp = nullptr;
  long long mEditorTicks = 0;
};

}  // namespace wintest
