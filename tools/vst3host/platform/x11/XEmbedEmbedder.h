#pragma once
// The embedder's side of XEmbed (the freedesktop protocol Linux hosts mean by
// "X11EmbedWindowID") for a host window: the window a client appears in (created there or
// reparented into it) is read for its _XEMBED_INFO, told XEMBED_EMBEDDED_NOTIFY with the
// embedder's window and the version in use, and mapped when the property asks for it, never
// otherwise. The embedder holds the substructure redirect of its window, so a client's own map
// request comes here first and is answered the same way. Activation and the keyboard focus are
// passed on as messages, keys typed into the window go to the client that has the focus, and a
// client's request for the focus is granted (unless told not to).
//
// The protocol's numbers are written down here from its documentation rather than shared with the
// editor's side, so that each side is checked against the documented form, not against the other.
// A strict embedder leaves a window without a well-formed _XEMBED_INFO unmapped, as the reference
// editor host of the VST3 SDK refuses such an editor; a lenient one maps it as a plain child.

#include <xcb/xcb.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vst3host {

// _XEMBED_INFO as read from a window.
struct XEmbedInfo {
  bool wellFormed = false;  // of its own type, in 32-bit words, at least two of them
  xcb_atom_t type = XCB_ATOM_NONE;
  uint8_t format = 0;
  std::vector<uint32_t> words;

  uint32_t Version() const { return words.size() > 0 ? words[0] : 0; }
  uint32_t Flags() const { return words.size() > 1 ? words[1] : 0; }
};

class XEmbedEmbedder {
public:
  static constexpr uint32_t kVersion = 0;
  static constexpr uint32_t kFlagMapped = 1;
  enum Message : uint32_t {
    kEmbeddedNotify = 0,
    kWindowActivate = 1,
    kWindowDeactivate = 2,
    kRequestFocus = 3,
    kFocusIn = 4,
    kFocusOut = 5,
    kFocusNext = 6,
    kFocusPrev = 7,
    kModalityOn = 10,
    kModalityOff = 11,
  };
  enum FocusDetail : uint32_t { kFocusCurrent = 0, kFocusFirst = 1, kFocusLast = 2 };

  // What the embedder's window must select besides what its host wants.
  static constexpr uint32_t kEventMask =
      XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_FOCUS_CHANGE;

  // window is the embedder's, on connection, selecting kEventMask.
  XEmbedEmbedder(xcb_connection_t* connection, xcb_window_t window, bool strict);

  // Takes an event of the window's connection; events that are not the embedder's pass.
  void Handle(const xcb_generic_event_t* event);
  // A key typed into the embedder's window: sent on to the client while it has the focus.
  void PassOnKey(const xcb_key_press_event_t& event);

  // The window embedded the XEmbed way, 0 while none.
  xcb_window_t Client() const { return mClient; }
  // What _XEMBED_INFO held when the embedder last mapped its client.
  const XEmbedInfo& InfoWhenMapped() const { return mInfoWhenMapped; }
  // Why a strict embedder left a window unmapped; empty while it has not.
  const std::string& Refusal() const { return mRefusal; }
  // The opcodes the client sent, in order.
  const std::vector<uint32_t>& FromClient() const { return mFromClient; }
  bool ClientFocused() const { return mClientFocused; }
  // A window's _XEMBED_INFO now, read as a strict host reads it (its first two words).
  XEmbedInfo ReadInfo(xcb_window_t window) const;

  // The host's top-level window became active (activate, then the focus) or inactive (the
  // focus goes, then deactivate).
  void SetActive(bool active);
  // The focus within the window: to the client (where its chain starts) or away from it.
  void GiveFocus(uint32_t detail = kFocusCurrent);
  void TakeFocus();
  void GrantFocusRequests(bool grant) { mGrantFocusRequests = grant; }
  // Any message to the client, as an embedder would send it.
  void Send(uint32_t message, uint32_t detail = 0, uint32_t data1 = 0, uint32_t data2 = 0);

private:
  void Adopt(xcb_window_t window);
  // Embeds the candidate if its _XEMBED_INFO is there; at its map request it must be.
  void TryEmbed(bool mapRequested);
  void MapAsInfoAsks();
  void Forget(xcb_window_t window);
  void OnMessage(const xcb_client_message_event_t& event);
  void OnConfigureRequest(const xcb_configure_request_event_t& event);

  xcb_connection_t* mConnection;
  xcb_window_t mWindow;
  bool mStrict;
  xcb_atom_t mMessageAtom = XCB_ATOM_NONE;
  xcb_atom_t mInfoAtom = XCB_ATOM_NONE;
  xcb_window_t mCandidate = 0;  // a child not (yet) known to speak XEmbed
  xcb_window_t mClient = 0;
  XEmbedInfo mInfoWhenMapped;
  std::string mRefusal;
  std::vector<uint32_t> mFromClient;
  bool mActive = false;
  bool mClientFocused = false;
  bool mGrantFocusRequests = true;
};

}  // namespace vst3host
