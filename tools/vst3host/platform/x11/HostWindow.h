#pragma once
// A host's top-level window on X11 for a plug-in editor to embed in ("X11EmbedWindowID"), on a
// display connection of the host's own. It notices the window manager's close request and keeps
// the keys that reach it, so a host can tell which keys the editor passed on. It embeds the
// editor the XEmbed way (XEmbedEmbedder.h), or is only a parent, as hosts that do not speak the
// protocol are: the editor then has to map itself.

#include "tools/vst3host/platform/x11/XEmbedEmbedder.h"

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

  enum class Embedding {
    kPlainParent,   // no XEmbed
    kXEmbed,        // XEmbed; a window without _XEMBED_INFO is mapped as a plain child
    kXEmbedStrict,  // XEmbed; a window without _XEMBED_INFO stays unmapped
  };

  // A window of width x height at (x, y) on the display named by $DISPLAY, mapped. Null, with a
  // one-line reason in *error, when there is no display.
  static std::unique_ptr<HostWindow> Open(int x, int y, int width, int height, const std::string& title,
                                          std::string* error, Embedding embedding = Embedding::kPlainParent);
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
  // Whether events wait in the connection's queue, read while it waited for a reply: the
  // descriptor no longer shows them (the run loop's hasQueued).
  bool HasQueuedEvents();
  bool CloseRequested() const { return mCloseRequested; }
  const std::vector<Key>& Keys() const { return mKeys; }
  // The windows inside this one (the editor's, once attached).
  std::vector<xcb_window_t> Children() const;
  // Destroys the window (and whatever is embedded in it) now, as a host closing first would.
  void Destroy();
  // The XEmbed embedder, null for a plain parent.
  XEmbedEmbedder* Embedder() const { return mEmbedder.get(); }

private:
  HostWindow() = default;

  xcb_connection_t* mConnection = nullptr;
  xcb_window_t mWindow = 0;
  xcb_atom_t mDeleteWindow = 0;
  bool mCloseRequested = false;
  std::vector<Key> mKeys;
  std::unique_ptr<XEmbedEmbedder> mEmbedder;
  xcb_generic_event_t* mQueued = nullptr;  // taken from the queue by HasQueuedEvents, not yet handled
};

}  // namespace vst3host
