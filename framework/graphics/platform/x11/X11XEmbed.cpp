#include "framework/graphics/platform/x11/X11XEmbed.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {
xcb_intern_atom_cookie_t InternAtom(xcb_connection_t* c, const char* name) {
  return xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name);
}

xcb_atom_t AtomOf(xcb_connection_t* c, xcb_intern_atom_cookie_t cookie) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
  const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return atom;
}
}  // namespace

bool X11XEmbedClient::Init(xcb_connection_t* connection) {
  Reset();
  // Both requests go out before the first reply is awaited: one round trip.
  const xcb_intern_atom_cookie_t message = InternAtom(connection, "_XEMBED");
  const xcb_intern_atom_cookie_t info = InternAtom(connection, "_XEMBED_INFO");
  mMessageAtom = AtomOf(connection, message);
  mInfoAtom = AtomOf(connection, info);
  return mMessageAtom != XCB_ATOM_NONE && mInfoAtom != XCB_ATOM_NONE;
}

void X11XEmbedClient::Reset() {
  mEmbedder = 0;
  mVersion = 0;
  mActive = mFocused = mModal = false;
}

void X11XEmbedClient::Announce(xcb_connection_t* connection, xcb_window_t window) const {
  if (mInfoAtom == XCB_ATOM_NONE) return;
  // The property's type is its own name; two 32-bit words.
  const uint32_t info[2] = {xembed::kVersion, xembed::kFlagMapped};
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, mInfoAtom, mInfoAtom, 32, 2, info);
}

X11XEmbedClient::Change X11XEmbedClient::Receive(const xcb_client_message_event_t& event, xcb_window_t window) {
  if (mMessageAtom == XCB_ATOM_NONE || event.type != mMessageAtom || event.format != 32 || event.window != window)
    return kNoChange;
  const uint32_t* data = event.data.data32;
  const bool wasFocused = mFocused;
  switch (data[1]) {
    case xembed::kEmbeddedNotify:
      // Without the embedder's window there is nobody to answer.
      if (data[3] == 0) return kNoChange;
      // A new embedder (or the same one again) says afresh what holds.
      mEmbedder = data[3];
      mVersion = std::min(data[4], xembed::kVersion);
      mActive = mFocused = mModal = false;
      return wasFocused ? kFocusTaken : kNoChange;
    case xembed::kWindowActivate: mActive = true; return kNoChange;
    case xembed::kWindowDeactivate: mActive = false; return kNoChange;
    case xembed::kFocusIn: mFocused = true; return wasFocused ? kNoChange : kFocusGiven;
    case xembed::kFocusOut: mFocused = false; return wasFocused ? kFocusTaken : kNoChange;
    case xembed::kModalityOn: mModal = true; return kNoChange;
    case xembed::kModalityOff: mModal = false; return kNoChange;
    default:
      // Requests meant for an embedder, accelerators (the editor registers none), and opcodes of
      // later versions.
      return kNoChange;
  }
}

void X11XEmbedClient::Send(xcb_connection_t* connection, xcb_timestamp_t time, uint32_t message) const {
  if (!mEmbedder) return;
  xcb_client_message_event_t event;
  std::memset(&event, 0, sizeof(event));
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = mEmbedder;
  event.type = mMessageAtom;
  event.data.data32[0] = time;
  event.data.data32[1] = message;
  // No event mask: the message goes to the client that made the embedder's window.
  xcb_send_event(connection, 0, mEmbedder, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
  xcb_flush(connection);
}
