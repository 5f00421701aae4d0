#include "tools/vst3host/platform/x11/XEmbedEmbedder.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace vst3host {

namespace {
xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return atom;
}

// Focus changes that make the top-level window active or inactive; the focus moving between the
// window and its inferiors (a client's text entry) or following the pointer changes neither.
bool ActivationChange(const xcb_focus_in_event_t& e) {
  if (e.mode == XCB_NOTIFY_MODE_GRAB || e.mode == XCB_NOTIFY_MODE_UNGRAB) return false;
  return e.detail == XCB_NOTIFY_DETAIL_ANCESTOR || e.detail == XCB_NOTIFY_DETAIL_VIRTUAL ||
         e.detail == XCB_NOTIFY_DETAIL_NONLINEAR || e.detail == XCB_NOTIFY_DETAIL_NONLINEAR_VIRTUAL;
}
}  // namespace

XEmbedEmbedder::XEmbedEmbedder(xcb_connection_t* connection, xcb_window_t window, bool strict)
    : mConnection(connection), mWindow(window), mStrict(strict) {
  mMessageAtom = Atom(connection, "_XEMBED");
  mInfoAtom = Atom(connection, "_XEMBED_INFO");
}

void XEmbedEmbedder::Handle(const xcb_generic_event_t* event) {
  switch (event->response_type & 0x7F) {
    case XCB_CREATE_NOTIFY: {
      const auto* e = reinterpret_cast<const xcb_create_notify_event_t*>(event);
      if (e->parent == mWindow) Adopt(e->window);
      break;
    }
    case XCB_REPARENT_NOTIFY: {
      const auto* e = reinterpret_cast<const xcb_reparent_notify_event_t*>(event);
      if (e->event != mWindow) break;
      if (e->parent == mWindow)
        Adopt(e->window);
      else
        Forget(e->window);  // taken out of the window
      break;
    }
    case XCB_DESTROY_NOTIFY: Forget(reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window); break;
    case XCB_MAP_REQUEST: {
      const auto* e = reinterpret_cast<const xcb_map_request_event_t*>(event);
      if (e->parent != mWindow) break;
      if (e->window == mClient) {
        MapAsInfoAsks();
        break;
      }
      if (e->window != mCandidate) Adopt(e->window);
      if (e->window == mCandidate) {
        TryEmbed(true);
      } else if (mStrict) {
        mRefusal = "a second window in an embedder that holds a client already";
      } else {
        xcb_map_window(mConnection, e->window);
        xcb_flush(mConnection);
      }
      break;
    }
    case XCB_CONFIGURE_REQUEST: {
      const auto* e = reinterpret_cast<const xcb_configure_request_event_t*>(event);
      if (e->parent == mWindow) OnConfigureRequest(*e);
      break;
    }
    case XCB_PROPERTY_NOTIFY: {
      const auto* e = reinterpret_cast<const xcb_property_notify_event_t*>(event);
      if (e->atom != mInfoAtom) break;
      if (e->window == mCandidate) TryEmbed(false);
      if (e->window == mClient) MapAsInfoAsks();
      break;
    }
    case XCB_CLIENT_MESSAGE: OnMessage(*reinterpret_cast<const xcb_client_message_event_t*>(event)); break;
    case XCB_FOCUS_IN: {
      const auto* e = reinterpret_cast<const xcb_focus_in_event_t*>(event);
      if (e->event == mWindow && ActivationChange(*e)) SetActive(true);
      break;
    }
    case XCB_FOCUS_OUT: {
      const auto* e = reinterpret_cast<const xcb_focus_out_event_t*>(event);
      if (e->event == mWindow && ActivationChange(*e)) SetActive(false);
      break;
    }
    default: break;
  }
}

void XEmbedEmbedder::Adopt(xcb_window_t window) {
  // One client per embedder.
  if (mClient) return;
  mCandidate = window;
  // Changes of its _XEMBED_INFO come here (this connection's own selection on that window).
  const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
  xcb_change_window_attributes(mConnection, window, XCB_CW_EVENT_MASK, &events);
  TryEmbed(false);
}

void XEmbedEmbedder::TryEmbed(bool mapRequested) {
  if (!mCandidate) return;
  const XEmbedInfo info = ReadInfo(mCandidate);
  if (!info.wellFormed) {
    // Not yet, perhaps: the property may come before the client's map request. By then it must
    // be there, since the server handles a client's requests in order.
    if (!mapRequested) return;
    if (mStrict) {
      mRefusal = "no well-formed _XEMBED_INFO on the window when it asked to be mapped";
    } else {
      xcb_map_window(mConnection, mCandidate);
      xcb_flush(mConnection);
    }
    return;
  }
  mClient = mCandidate;
  mCandidate = 0;
  mRefusal.clear();
  mClientFocused = false;
  Send(kEmbeddedNotify, 0, mWindow, std::min(kVersion, info.Version()));
  MapAsInfoAsks();
  if (mActive) {
    Send(kWindowActivate);
    GiveFocus();
  }
}

void XEmbedEmbedder::MapAsInfoAsks() {
  const XEmbedInfo info = ReadInfo(mClient);
  if (info.wellFormed && (info.Flags() & kFlagMapped)) {
    mInfoWhenMapped = info;
    xcb_map_window(mConnection, mClient);
  } else {
    xcb_unmap_window(mConnection, mClient);
  }
  xcb_flush(mConnection);
}

void XEmbedEmbedder::Forget(xcb_window_t window) {
  if (window == mCandidate) mCandidate = 0;
  if (window == mClient) {
    mClient = 0;
    mClientFocused = false;
  }
}

XEmbedInfo XEmbedEmbedder::ReadInfo(xcb_window_t window) const {
  XEmbedInfo info;
  if (!window || mInfoAtom == XCB_ATOM_NONE) return info;
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      mConnection, xcb_get_property(mConnection, 0, window, mInfoAtom, mInfoAtom, 0, 2), nullptr);
  if (!reply) return info;
  info.type = reply->type;
  info.format = reply->format;
  if (reply->format == 32) {
    const auto* words = static_cast<const uint32_t*>(xcb_get_property_value(reply));
    info.words.assign(words, words + xcb_get_property_value_length(reply) / 4);
  }
  std::free(reply);
  info.wellFormed = info.type == mInfoAtom && info.format == 32 && info.words.size() >= 2;
  return info;
}

void XEmbedEmbedder::OnMessage(const xcb_client_message_event_t& event) {
  if (event.window != mWindow || event.type != mMessageAtom || event.format != 32) return;
  const uint32_t message = event.data.data32[1];
  mFromClient.push_back(message);
  // A host with nothing else to focus keeps the focus where it is on FOCUS_NEXT and FOCUS_PREV.
  if (message == kRequestFocus && mGrantFocusRequests) GiveFocus();
}

void XEmbedEmbedder::OnConfigureRequest(const xcb_configure_request_event_t& e) {
  // Granted as asked, in the order the value mask lists the values.
  uint32_t values[7];
  int n = 0;
  if (e.value_mask & XCB_CONFIG_WINDOW_X) values[n++] = static_cast<uint32_t>(static_cast<int32_t>(e.x));
  if (e.value_mask & XCB_CONFIG_WINDOW_Y) values[n++] = static_cast<uint32_t>(static_cast<int32_t>(e.y));
  if (e.value_mask & XCB_CONFIG_WINDOW_WIDTH) values[n++] = e.width;
  if (e.value_mask & XCB_CONFIG_WINDOW_HEIGHT) values[n++] = e.height;
  if (e.value_mask & XCB_CONFIG_WINDOW_BORDER_WIDTH) values[n++] = e.border_width;
  if (e.value_mask & XCB_CONFIG_WINDOW_SIBLING) values[n++] = e.sibling;
  if (e.value_mask & XCB_CONFIG_WINDOW_STACK_MODE) values[n++] = e.stack_mode;
  xcb_configure_window(mConnection, e.window, e.value_mask, values);
  xcb_flush(mConnection);
}

void XEmbedEmbedder::PassOnKey(const xcb_key_press_event_t& event) {
  if (!mClient || !mClientFocused) return;
  xcb_key_press_event_t copy = event;
  copy.event = mClient;
  copy.child = XCB_NONE;
  char raw[32] = {};
  static_assert(sizeof(copy) <= sizeof(raw), "key events fit the 32 bytes of a sent event");
  std::memcpy(raw, &copy, sizeof(copy));
  // No event mask: the key goes to the client that made the window.
  xcb_send_event(mConnection, 0, mClient, XCB_EVENT_MASK_NO_EVENT, raw);
  xcb_flush(mConnection);
}

void XEmbedEmbedder::SetActive(bool active) {
  if (active == mActive) return;
  mActive = active;
  if (!mClient) return;
  // The client is all there is to focus in the window.
  if (active) {
    Send(kWindowActivate);
    GiveFocus();
  } else {
    TakeFocus();
    Send(kWindowDeactivate);
  }
}

void XEmbedEmbedder::GiveFocus(uint32_t detail) {
  if (!mClient) return;
  mClientFocused = true;
  Send(kFocusIn, detail);
}

void XEmbedEmbedder::TakeFocus() {
  if (!mClient) return;
  mClientFocused = false;
  Send(kFocusOut);
}

void XEmbedEmbedder::Send(uint32_t message, uint32_t detail, uint32_t data1, uint32_t data2) {
  if (!mClient) return;
  xcb_client_message_event_t event;
  std::memset(&event, 0, sizeof(event));
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = mClient;
  event.type = mMessageAtom;
  event.data.data32[0] = XCB_CURRENT_TIME;
  event.data.data32[1] = message;
  event.data.data32[2] = detail;
  event.data.data32[3] = data1;
  event.data.data32[4] = data2;
  xcb_send_event(mConnection, 0, mClient, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
  xcb_flush(mConnection);
}

}  // namespace vst3host
