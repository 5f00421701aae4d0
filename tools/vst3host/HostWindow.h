#pragma once
// A host's top-level window on X11 for a plug-in editor to embed in ("X11EmbedWindowID"), on a
// display connection of the host's own. It notices the window manager's close request and keeps
// the keys that reach it, so a host can tell which keys the editor passed on.

#include <xcb/xcb.h>

#include <memory>
#include <string>
#include <vector>

namespace vst3host {

class HostWindow {
public:
  struct Key {
    xcb_keycode_t code;
    bool sentByClient;  // passed on by another client (the editor) rather than typed into this window
  };

  // A window of width x height at (x, y) on the display named by $DISPLAY, mapped. Null, with a
  // one-line reason in *error, when there is no display.
  static std::unique_ptr<HostWindow> Open(int x, int y, int width, int height, const std::string& title,
                                          std::string* error);
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  xcb_connection_t* Connection() const { return mConnection; }
  xcb_window_t Window() const { return mWindow; }
  // The window as the parent handle a view's attached() takes.
  void* ParentHandle() const;
  // The connection's descriptor, for the host's run loop.
  int Descriptor() const;

  // Handles everything that arrived for the window.
  void ProcessEvents();
  bool CloseRequested() const { return mCloseRequested; }
  const std::vector<Key>& Keys() const { return mKeys; }
  // The windows inside this one (the editor's, once attached).
  std::vector<xcb_window_t> Children() const;
  // Destroys the window (and whatever is embedded in it) now, as a host closing first would.
  void Destroy();

private:
  HostWindow() = default;

  xcb_connection_t* mConnection = nullptr;
  xcb_window_t mWindow = 0;
  xcb_atom_t mDeleteWindow = 0;
  bool mCloseRequested = false;
  std::vector<Key> mKeys;
};

}  // namespace vst3host
