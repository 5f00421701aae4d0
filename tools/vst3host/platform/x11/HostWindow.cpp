#include "tools/vst3host/platform/x11/HostWindow.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace vst3host {

namespace {
xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t atom = reply ? reply->atom : 0;
  std::free(reply);
  return atom;
}
}  // namespace

std::unique_ptr<HostWindow> HostWindow::Open(int x, int y, int width, int height, const std::string& title,
                                             std::string* error, Embedding embedding) {
  int screenNumber = 0;
  xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
  if (xcb_connection_has_error(c)) {
    xcb_disconnect(c);
    const char* display = std::getenv("DISPLAY");
    if (error)
      *error = display && *display ? "cannot open the X display '" + std::string(display) + "'"
                                   : "no X display (DISPLAY is not set)";
    return nullptr;
  }
  auto screens = xcb_setup_roots_iterator(xcb_get_setup(c));
  for (int i = 0; i < screenNumber && screens.rem; ++i) xcb_screen_next(&screens);
  const xcb_screen_t* screen = screens.data;

  std::unique_ptr<HostWindow> window(new HostWindow());
  window->mConnection = c;
  window->mWindow = xcb_generate_id(c);
  const bool xembed = embedding != Embedding::kPlainParent;
  const uint32_t values[] = {screen->black_pixel, XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_STRUCTURE_NOTIFY |
                                                      (xembed ? XEmbedEmbedder::kEventMask : 0u)};
  xcb_create_window(c, XCB_COPY_FROM_PARENT, window->mWindow, screen->root, static_cast<int16_t>(x),
                    static_cast<int16_t>(y), static_cast<uint16_t>(width), static_cast<uint16_t>(height), 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window->mWindow, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                      static_cast<uint32_t>(title.size()), title.data());
  // A fixed size: the editor does not resize.
  uint32_t hints[18] = {};
  hints[0] = 16 | 32;  // program-specified minimum and maximum size
  hints[5] = hints[7] = static_cast<uint32_t>(width);
  hints[6] = hints[8] = static_cast<uint32_t>(height);
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window->mWindow, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32,
                      18, hints);
  // The window manager's close button asks rather than kills the connection.
  window->mDeleteWindow = Atom(c, "WM_DELETE_WINDOW");
  const xcb_atom_t protocols = Atom(c, "WM_PROTOCOLS");
  if (protocols && window->mDeleteWindow)
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window->mWindow, protocols, XCB_ATOM_ATOM, 32, 1,
                        &window->mDeleteWindow);
  if (xembed)
    window->mEmbedder = std::make_unique<XEmbedEmbedder>(c, window->mWindow, embedding == Embedding::kXEmbedStrict);
  xcb_map_window(c, window->mWindow);
  xcb_flush(c);
  return window;
}

HostWindow::~HostWindow() {
  std::free(mQueued);
  Destroy();
  xcb_disconnect(mConnection);
}

void* HostWindow::ParentHandle() const { return reinterpret_cast<void*>(static_cast<uintptr_t>(mWindow)); }

int HostWindow::Descriptor() const { return xcb_get_file_descriptor(mConnection); }

bool HostWindow::HasQueuedEvents() {
  // xcb has no look without taking: the event taken waits here for ProcessEvents.
  if (!mQueued) mQueued = xcb_poll_for_queued_event(mConnection);
  return mQueued != nullptr;
}

void HostWindow::ProcessEvents() {
  for (;;) {
    xcb_generic_event_t* event = mQueued ? mQueued : xcb_poll_for_event(mConnection);
    mQueued = nullptr;
    if (!event) break;
    if (mEmbedder) mEmbedder->Handle(event);
    switch (event->response_type & 0x7F) {
      case XCB_KEY_PRESS: {
        const auto* e = reinterpret_cast<const xcb_key_press_event_t*>(event);
        if (e->event != mWindow) break;
        const bool sentByClient = (event->response_type & 0x80) != 0;
        mKeys.push_back({e->detail, sentByClient});
        // A key the client passed on stays here; sent back, it would only come back again.
        if (mEmbedder && !sentByClient) mEmbedder->PassOnKey(*e);
        break;
      }
      case XCB_CLIENT_MESSAGE: {
        const auto* e = reinterpret_cast<const xcb_client_message_event_t*>(event);
        if (e->window == mWindow && e->data.data32[0] == mDeleteWindow) mCloseRequested = true;
        break;
      }
      case XCB_DESTROY_NOTIFY:
        if (reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window == mWindow) mCloseRequested = true;
        break;
      default: break;
    }
    std::free(event);
  }
}

std::vector<xcb_window_t> HostWindow::Children() const {
  std::vector<xcb_window_t> children;
  if (!mWindow) return children;
  xcb_query_tree_reply_t* tree = xcb_query_tree_reply(mConnection, xcb_query_tree(mConnection, mWindow), nullptr);
  if (!tree) return children;
  const xcb_window_t* list = xcb_query_tree_children(tree);
  children.assign(list, list + xcb_query_tree_children_length(tree));
  std::free(tree);
  return children;
}

void HostWindow::Destroy() {
  if (!mWindow) return;
  xcb_destroy_window(mConnection, mWindow);
  xcb_flush(mConnection);
  mWindow = 0;
}

}  // namespace vst3host
