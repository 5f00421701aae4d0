#pragma once
// What the editor-window scenarios need of a platform: a host that opens Velmora instances in
// top-level windows of its own and attaches their editor views, runs the platform's event loop,
// gives real pointer and key input through the system (as a user's hands would), and reads the
// screen back. Each window platform implements it once, on its own test host
// (platform/<name>/); the scenarios (EditorWindowScenarios.cpp) are written against this
// interface alone, so they run unchanged on every platform.

#include "bitmap/LICE_MemBitmap.h"
#include "tests/support/HostedEditorSupport.h"
#include "tools/vst3host/ComponentHandler.h"
#include "tools/vst3host/Instance.h"

#include "pluginterfaces/gui/iplugview.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace windowtest {

enum class Button { kLeft, kMiddle, kRight };

// Keys the scenarios type (none of them is used by Velmora's controls), and any other key a host
// window reports.
enum class Key { kTab, kEscape, kLetterA, kOther };

// A key event that reached the host's top-level window.
struct HostKeyEvent {
  Key key;
  bool press;             // false: the release
  bool passedOnByEditor;  // the editor had the key and handed it to the host
};

// One plug-in instance with its editor view and the host window it goes into (not yet attached).
class DrivenEditor {
public:
  virtual ~DrivenEditor() = default;
  DrivenEditor(const DrivenEditor&) = delete;
  DrivenEditor& operator=(const DrivenEditor&) = delete;

  Steinberg::IPlugView& View() const { return *mView; }
  vst3host::Instance& PlugIn() const { return *mInstance; }
  vst3host::RecordingComponentHandler& Handler() const { return *mHandler; }
  // Where the host window's client area (and so the editor's top left) sits on the screen.
  int ScreenX() const { return mScreenX; }
  int ScreenY() const { return mScreenY; }

  // view->attached with the host window and the platform's window type.
  virtual Steinberg::tresult Attach() = 0;
  // Attached to a native parent handle of the test's choosing, with the platform's window type.
  Steinberg::tresult AttachTo(void* parent) const { return mView->attached(parent, PlatformType()); }
  Steinberg::tresult Removed() const { return mView->removed(); }
  // Whether the editor's own window exists inside the host's.
  virtual bool WindowOpen() const = 0;
  // As a host that closes its window (and the editor's in it) before removing the view.
  virtual void DestroyHostWindow() = 0;
  virtual Steinberg::FIDString PlatformType() const = 0;

  std::vector<vst3host::HandlerCall> Calls() const { return mHandler->Calls(); }
  std::vector<vst3host::HandlerCall> CallsOf(vst3host::HandlerCall::Kind kind) const {
    std::vector<vst3host::HandlerCall> calls;
    for (const vst3host::HandlerCall& c : Calls())
      if (c.kind == kind) calls.push_back(c);
    return calls;
  }
  // The host's parameter changes (index, step) in one process call.
  void SetSteps(const std::vector<std::pair<int, int>>& steps) { editortest::SendSteps(*mInstance, steps); }
  // Seconds of a full-scale sine through the instance.
  void ProcessLoudAudio(double seconds) { editortest::ProcessLoudAudio(*mInstance, seconds); }

protected:
  DrivenEditor() = default;
  // Called by the platform's editor once its host has set the instance up.
  void Bind(Steinberg::IPlugView* view, vst3host::Instance* instance, vst3host::RecordingComponentHandler* handler,
            int screenX, int screenY) {
    mView = view, mInstance = instance, mHandler = handler, mScreenX = screenX, mScreenY = screenY;
  }

private:
  Steinberg::IPlugView* mView = nullptr;
  vst3host::Instance* mInstance = nullptr;
  vst3host::RecordingComponentHandler* mHandler = nullptr;
  int mScreenX = 0, mScreenY = 0;
};

class WindowDriver {
public:
  virtual ~WindowDriver() = default;

  // ---- The host ----
  // A set-up instance in a host window of the editor's size at (x, y) on the screen; its frame
  // offers the host's run loop unless offerRunLoop is false. The host gives the view its display
  // scale before it asks the size (as a host on a scaled screen does), so the window is the
  // editor's size in device pixels. Null, with a test failure, when the host cannot make one.
  virtual std::unique_ptr<DrivenEditor> NewEditor(int x, int y, bool offerRunLoop = true, double scale = 1.0) = 0;
  // Whether this platform's editors run in a run loop the host's frame offers (so that a frame
  // offering none gets no window), rather than in the system's own message loop.
  virtual bool EditorsRunInTheHostsRunLoop() const = 0;
  // A native parent handle naming no window at all.
  virtual void* NonexistentParent() const = 0;
  // Checks, as test failures, what count open editors hold of the host and the system (timers and
  // watched connections, window classes) and that their windows are what the platform's hosts
  // expect; count 0 checks that everything was given back.
  virtual void ExpectOpenEditors(int count) = 0;

  // ---- The event loop ----
  // Runs the host's loop until done() or timeoutMs; true when done.
  virtual bool RunUntil(const std::function<bool()>& done, int timeoutMs = 5000) = 0;
  // Runs the host's loop for a while (lets events and timers settle, or shows that something
  // does not happen).
  virtual void RunFor(int ms) = 0;
  // Editor refresh timer callbacks the host has run so far (on a platform whose host runs the
  // timers of everything it hosts, all of them: the count is never smaller than the editors').
  virtual long long TimerTicks() const = 0;

  // ---- Input, through the system's input queue ----
  // Moves the pointer and waits until the system has it there.
  virtual void PointAt(int screenX, int screenY) = 0;
  virtual void Press(Button button) = 0;
  virtual void Release(Button button) = 0;
  void Click(Button button) { Press(button), Release(button); }
  // notches > 0 away from the user.
  virtual void Wheel(int notches) = 0;
  // notches > 0 to the right.
  virtual void WheelSideways(int notches) = 0;
  // Presses and releases key.
  virtual void Type(Key key) = 0;
  // Whether the editor's window holds the pointer (a drag's capture or grab).
  virtual bool PointerHeld(const DrivenEditor& editor) = 0;
  // Whether keys typed now go to the editor's window.
  virtual bool KeysGoTo(const DrivenEditor& editor) = 0;
  // The key events the host's window received, in order.
  virtual std::vector<HostKeyEvent> HostKeys(const DrivenEditor& editor) = 0;
  // Whether the platform's host windows are told of releases, not only presses.
  virtual bool HostWindowsSeeKeyReleases() const = 0;

  // ---- The screen ----
  // The pixels of the editor's window (with whatever is inside it), opaque.
  virtual bool Capture(const DrivenEditor& editor, LICE_MemBitmap* out) = 0;
  // The pixels of the host window the editor sits in.
  virtual bool CaptureHostWindow(const DrivenEditor& editor, LICE_MemBitmap* out) = 0;
  // Velmora's editor drawn off screen by velmora-snapshot at these steps ("Title=step" each).
  virtual bool Snapshot(const std::vector<std::string>& sets, LICE_MemBitmap* out) = 0;
};

// The driver of the platform the test program is built for.
std::unique_ptr<WindowDriver> MakeWindowDriver();

}  // namespace windowtest
