#pragma once
// The client side of XEmbed, the freedesktop protocol by which a window of one program lives in a
// window of another: what Linux hosts mean by "X11EmbedWindowID". The client announces itself
// with the _XEMBED_INFO property (its protocol version, and that it wants to be mapped) before
// it is mapped; an embedder that speaks the protocol reads it, maps the client accordingly, and
// from then on tells it in _XEMBED client messages that it is embedded, whether its top-level
// window is active, whether it has the keyboard focus, and whether a modal dialog shadows it.
// Hosts that do not speak XEmbed send nothing, and the editor stays a plain child window.

#include <xcb/xcb.h>

#include <cstdint>

namespace xembed {

// The protocol version this side speaks, and the one flag of _XEMBED_INFO.
constexpr uint32_t kVersion = 0;
constexpr uint32_t kFlagMapped = 1u << 0;

// The opcode in the second word of an _XEMBED message (the first is a time stamp, then detail,
// data1 and data2).
enum Message : uint32_t {
  kEmbeddedNotify = 0,  // embedder to client: data1 the embedder's window, data2 the version in use
  kWindowActivate = 1,
  kWindowDeactivate = 2,
  kRequestFocus = 3,  // client to embedder
  kFocusIn = 4,       // detail: where a focus chain would start (current, first, last)
  kFocusOut = 5,
  kFocusNext = 6,  // client to embedder: the focus leaves the client forward (Tab) ...
  kFocusPrev = 7,  // ... or backward (Shift+Tab)
  kModalityOn = 10,
  kModalityOff = 11,
  kRegisterAccelerator = 12,
  kUnregisterAccelerator = 13,
  kActivateAccelerator = 14,
};

}  // namespace xembed

// What the editor knows of its embedder, from the messages that reached its window.
class X11XEmbedClient {
public:
  // What a message changed for the editor.
  enum Change { kNoChange, kFocusGiven, kFocusTaken };

  // The protocol's two atoms, given (tests) or interned on a connection (Init).
  X11XEmbedClient() = default;
  X11XEmbedClient(xcb_atom_t messageAtom, xcb_atom_t infoAtom) : mMessageAtom(messageAtom), mInfoAtom(infoAtom) {}
  // Interns the atoms; false when the server refuses (the editor then works as a plain child).
  bool Init(xcb_connection_t* connection);
  // Forgets the embedder (a window closed, or about to be opened again); the atoms stay.
  void Reset();

  // Puts _XEMBED_INFO on the window: version 0, mapped. Before the window is mapped, so that an
  // embedder finds it whenever it looks.
  void Announce(xcb_connection_t* connection, xcb_window_t window) const;
  // Takes a client message sent to window. Messages of another type or format, or for another
  // window, change nothing; so do opcodes meant for embedders or unknown to this version.
  Change Receive(const xcb_client_message_event_t& event, xcb_window_t window);
  // Sends a message to the embedder; nothing before the embedder has made itself known.
  void Send(xcb_connection_t* connection, xcb_timestamp_t time, uint32_t message) const;

  // An embedder has said so (XEMBED_EMBEDDED_NOTIFY) since the window opened.
  bool Embedded() const { return mEmbedder != 0; }
  xcb_window_t Embedder() const { return mEmbedder; }
  uint32_t Version() const { return mVersion; }
  bool Active() const { return mActive; }
  // The embedder has given the keyboard focus to the editor and not taken it back.
  bool Focused() const { return mFocused; }
  // A modal dialog of the host shadows the editor: user input is not for it meanwhile.
  bool Modal() const { return mModal; }

private:
  xcb_atom_t mMessageAtom = XCB_ATOM_NONE;
  xcb_atom_t mInfoAtom = XCB_ATOM_NONE;
  xcb_window_t mEmbedder = 0;
  uint32_t mVersion = 0;
  bool mActive = false;
  bool mFocused = false;
  bool mModal = false;
};
