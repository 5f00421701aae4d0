#pragma once
// The Linux test host: a DAW in miniature on the private X display the test runs on. It loads the
// Velmora module through its exports, gives each instance a top-level window and the hosting
// layer's run loop (offered through the plug frame, or not), attaches the editor view with
// "X11EmbedWindowID", embedding it the XEmbed way as strictly as the VST3 SDK's reference editor
// host (or as a plain parent, as hosts that do not speak XEmbed), and drives it with real pointer
// and key input injected through XTest on a connection of its own, which also reads the screen
// back.

#include "bitmap/LICE_MemBitmap.h"
#include "framework/graphics/IRect.h"
#include "tests/support/HostedEditorSupport.h"
#include "tools/vst3host/ComponentHandler.h"
#include "tools/vst3host/HostApplication.h"
#include "tools/vst3host/Instance.h"
#include "tools/vst3host/PlugFrame.h"
#include "tools/vst3host/platform/linux/RunLoop.h"
#include "tools/vst3host/platform/x11/HostWindow.h"

#include "pluginterfaces/gui/iplugview.h"

#include <xcb/xcb.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace x11test {

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
  std::unique_ptr<vst3host::HostWindow> window;
  int x = 0, y = 0;                   // where the host window sits on the screen
  vst3host::RunLoop* loop = nullptr;  // watching the host window

  // The editor's own window inside the host's, 0 while none.
  xcb_window_t EditorWindow() const;
  Steinberg::tresult Attach();
  Steinberg::tresult Removed() { return view->removed(); }
  // Sends the steps (parameter index, step) as the host's parameter changes in a process call.
  void SetSteps(const std::vector<std::pair<int, int>>& steps);
  // Processes seconds of a full-scale 1 kHz sine through the instance, in 512-frame blocks.
  void ProcessLoudAudio(double seconds);
  std::vector<vst3host::HandlerCall> Calls() const { return handler->Calls(); }
};

class X11TestHost {
public:
  X11TestHost();
  ~X11TestHost();
  X11TestHost(const X11TestHost&) = delete;
  X11TestHost& operator=(const X11TestHost&) = delete;

  // A set-up, not yet attached instance in a host window of the editor's size at (x, y); its
  // frame offers the run loop only when asked to. A scale other than 1 is given to the view before
  // its size is asked.
  std::unique_ptr<HostedEditor> NewEditor(
      int x, int y, bool offerRunLoop = true,
      vst3host::HostWindow::Embedding embedding = vst3host::HostWindow::Embedding::kXEmbedStrict, double scale = 1.0);

  vst3host::RunLoop& Loop() { return *mLoop; }
  const vst3host::RunLoop& Loop() const { return *mLoop; }
  // Runs the loop until done() or five seconds; true when done.
  bool RunUntil(const std::function<bool()>& done, int timeoutMs = 5000);
  // Runs the loop for a while, for things that must not happen.
  void RunFor(int ms);

  // ---- Input, as a user's hands would give it ----
  void MoveTo(int rootX, int rootY);
  void Press(int button);
  void Release(int button);
  void Click(int button) { Press(button), Release(button); }
  void Key(xcb_keycode_t code);
  // The key code of a keysym on this display's keyboard, 0 for none.
  xcb_keycode_t KeyCode(uint32_t keysym) const;
  // Waits until the server has handled everything sent so far.
  void Sync();
  // Whether keys typed now reach window or a window inside it: the focus window, or, where the
  // pointer is inside the focus (or the focus follows the pointer), the window under the pointer.
  bool KeysGoTo(xcb_window_t window) const;

  // ---- Screen ----
  // The pixels of window (with whatever is inside it), opaque.
  bool Capture(xcb_window_t window, LICE_MemBitmap* out) const;
  // Whether anybody holds the pointer grab (tries to grab it and lets go again).
  bool PointerGrabbed() const;
  // Whether a popup (an override-redirect window) is on the screen.
  bool PopupShown() const;
  // How many windows window holds.
  int ChildCount(xcb_window_t window) const;
  // How deep the mapped windows under a point of the screen are stacked: 0 for the bare root, 1
  // for a top-level window, 2 and more for windows inside it.
  int WindowDepthAt(int rootX, int rootY) const;
  // Where window's first child sits inside it, and its size; empty when it has none.
  IRect FirstChildRect(xcb_window_t window) const;

  // Velmora's editor drawn off screen by velmora-snapshot at these steps ("Title=step" each).
  static bool Snapshot(const std::vector<std::string>& sets, LICE_MemBitmap* out);

private:
  vst3host::HostApplication* mHostApp = nullptr;
  Steinberg::IPtr<vst3host::RunLoop> mLoop;
  xcb_connection_t* mInput = nullptr;
  xcb_window_t mRoot = 0;
};

using editortest::DifferingPixels;

}  // namespace x11test
