#include "framework/graphics/platform/x11/IGraphicsX11.h"

#include "bitmap/LICE_SysBitmap.h"
#include "framework/Trace.h"
#include "framework/graphics/platform/x11/X11PopupMenu.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {
constexpr uint32_t kWindowEvents = XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS |
                                   XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION |
                                   XCB_EVENT_MASK_LEAVE_WINDOW | XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE |
                                   XCB_EVENT_MASK_STRUCTURE_NOTIFY;
constexpr uint16_t kHeldButtons = XCB_BUTTON_MASK_1 | XCB_BUTTON_MASK_2 | XCB_BUTTON_MASK_3;

// Buttons 1 to 3 are left, middle and right; 4 and 5 the wheel up and down; 6 and 7 the sideways
// wheel, which the editor has no use for.
constexpr uint8_t kLeft = 1, kRight = 3, kWheelUp = 4, kWheelDown = 5;

IModifiers ModifiersOf(uint16_t state) {
  return IModifiers((state & XCB_BUTTON_MASK_1) != 0, (state & XCB_BUTTON_MASK_3) != 0,
                    (state & XCB_MOD_MASK_SHIFT) != 0, (state & XCB_MOD_MASK_CONTROL) != 0,
                    (state & XCB_MOD_MASK_1) != 0);
}

uint16_t ButtonMask(uint8_t button) {
  return button >= 1 && button <= 5 ? static_cast<uint16_t>(XCB_BUTTON_MASK_1 << (button - 1)) : 0;
}

xcb_window_t WindowId(void* handle) { return static_cast<xcb_window_t>(reinterpret_cast<uintptr_t>(handle)); }

const xcb_screen_t* ScreenOfRoot(xcb_connection_t* c, xcb_window_t root) {
  for (auto it = xcb_setup_roots_iterator(xcb_get_setup(c)); it.rem; xcb_screen_next(&it))
    if (it.data->root == root) return it.data;
  return nullptr;
}
}  // namespace

IGraphicsX11::IGraphicsX11(IPlugBase* plugin, int width, int height, int frameRate,
                           const EmbeddedResourceTable& resources)
    : IGraphics(plugin, width, height, frameRate, resources) {}

IGraphicsX11::~IGraphicsX11() {
  // The plug-in owning this editor is being destroyed: it cannot hear about a gesture any more.
  ForgetEditGesture();
  CloseEditorWindow();
}

bool IGraphicsX11::SupportsWindowType(const char* type) const {
  return type && std::strcmp(type, "X11EmbedWindowID") == 0;
}

void* IGraphicsX11::NativeWindow() const {
  return mWindow ? reinterpret_cast<void*>(static_cast<uintptr_t>(mWindow)) : nullptr;
}

void* IGraphicsX11::OpenEditorWindow(void* parent) {
  // Opening again re-creates the window.
  CloseEditorWindow();
  if (!mRunLoop || !parent) return nullptr;
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) {
    xcb_disconnect(c);
    TRACE_POINT("IGraphicsX11::OpenEditorWindow", "no X display");
    return nullptr;
  }
  mConnection = c;
  mParent = WindowId(parent);
  // Without the protocol's atoms the window is a plain child, as hosts that do not speak XEmbed
  // expect anyway.
  mXEmbed.Init(c);

  // The parent's depth and visual are the child's; a parent that does not exist answers both
  // requests with an error, on this connection only.
  xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, mParent), nullptr);
  xcb_get_window_attributes_reply_t* attributes =
      xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, mParent), nullptr);
  bool ok = geometry && attributes;
  if (ok) {
    mScreen = ScreenOfRoot(c, geometry->root);
    ok = mScreen && X11PixelFormat::ForVisual(xcb_get_setup(c), attributes->visual, geometry->depth, &mFormat) &&
         mFormat.Supported();
  }
  if (ok) {
    mWindow = xcb_generate_id(c);
    const uint32_t values[] = {XCB_BACK_PIXMAP_NONE, 0, kWindowEvents};
    xcb_generic_error_t* error = xcb_request_check(
        c, xcb_create_window_checked(c, geometry->depth, mWindow, mParent, 0, 0, static_cast<uint16_t>(DeviceWidth()),
                                     static_cast<uint16_t>(DeviceHeight()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                                     attributes->visual, XCB_CW_BACK_PIXMAP | XCB_CW_BORDER_PIXEL | XCB_CW_EVENT_MASK,
                                     values));
    if (error) {
      std::free(error);
      mWindow = 0;
      ok = false;
    } else {
      mXEmbed.Announce(c, mWindow);
    }
  }
  std::free(geometry);
  std::free(attributes);
  if (ok) {
    mGc = xcb_generate_id(c);
    xcb_create_gc(c, mGc, mWindow, 0, nullptr);
    ok = mImages.Init(c, mFormat, DeviceWidth(), DeviceHeight(), true);
  }
  if (ok) {
    mKeys.Load(c);
    // An XEmbed embedder maps its client as _XEMBED_INFO asks; a host that only hands over its
    // window leaves that to the client. Mapping in either case shows the editor in both.
    xcb_map_window(c, mWindow);
    // A round trip: by the time attached() returns, the server has the property and the map, so
    // a host that looks at the window at once finds both.
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    ok = mRunLoop->Start(this, xcb_get_file_descriptor(c), 1000 / (FrameRate() > 0 ? FrameRate() : 25));
  }
  if (!ok) {
    TRACE_POINT("IGraphicsX11::OpenEditorWindow", "no window in parent 0x%x", static_cast<unsigned>(mParent));
    CloseEditorWindow();
    return nullptr;
  }
  return NativeWindow();
}

void IGraphicsX11::CloseEditorWindow() {
  // First of all no more callbacks: nothing the host still delivers reaches a closing window.
  if (mRunLoop) mRunLoop->Stop();
  if (!mConnection) return;
  EndEditGesture();
  CloseTextEntry();
  mXEmbed.Reset();
  ReleaseGrab();
  DropMouseCapture();
  mImages.Release();
  if (mGc) xcb_free_gc(mConnection, mGc);
  // The host may have destroyed it with its parent already; the error would only come back here.
  if (mWindow) xcb_destroy_window(mConnection, mWindow);
  xcb_flush(mConnection);
  xcb_disconnect(mConnection);
  mConnection = nullptr;
  mScreen = nullptr;
  mWindow = mParent = 0;
  mGc = 0;
  mGrabButton = mLastPressButton = 0;
  mDroppedButtons = 0;
}

void IGraphicsX11::PresentRect(const IRect& rect) {
  if (!mWindow || !BackBuffer()) return;
  mImages.Put(mWindow, mGc, *BackBuffer(), DeviceRect(rect));
}

void IGraphicsX11::ResizeSurface(int width, int height) {
  if (width == Width() && height == Height()) return;
  // The controls go with the old layout, the one an open entry edits among them.
  CloseTextEntry();
  IGraphics::ResizeSurface(width, height);
  FitWindowToDevice();
}

void IGraphicsX11::SetDrawScale(double scale) {
  const double before = DrawScale();
  IGraphics::SetDrawScale(scale);
  if (DrawScale() == before) return;
  // An open entry's box and text are at the old scale; the menu runs modally, so none is open.
  CloseTextEntry();
  FitWindowToDevice();
}

void IGraphicsX11::FitWindowToDevice() {
  if (!mWindow) return;
  const uint32_t size[] = {static_cast<uint32_t>(DeviceWidth()), static_cast<uint32_t>(DeviceHeight())};
  xcb_configure_window(mConnection, mWindow, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
  mImages.Init(mConnection, mFormat, DeviceWidth(), DeviceHeight(), true);
  PaintPass(IRect(0, 0, Width(), Height()));
}

// ---- The host's run loop ----

void IGraphicsX11::OnReadable() { DrainEvents(); }

void IGraphicsX11::OnTimer() {
  // Replies read while waiting for something else can leave events queued inside the connection
  // with nothing left on its descriptor; the tick picks them up.
  DrainEvents();
  if (!mConnection) return;
  if (mEntry.IsOpen()) {
    switch (mEntrySession.OnTick()) {
      case TextEntrySession::TickAction::kFinish: FinishTextEntry(); return;
      case TextEntrySession::TickAction::kSettled: return;
      case TextEntrySession::TickAction::kEditorTick: break;
    }
  }
  Tick();
}

void IGraphicsX11::DrainEvents() {
  // Handling an event may close the window (a host that removes the view from a callback); the
  // loop then stops with the connection.
  while (mConnection) {
    xcb_generic_event_t* event = xcb_poll_for_event(mConnection);
    if (!event) break;
    HandleEvent(event);
    std::free(event);
  }
  if (mConnection && xcb_connection_has_error(mConnection)) {
    TRACE_POINT("IGraphicsX11::DrainEvents", "the display connection broke");
    CloseEditorWindow();
  }
}

void IGraphicsX11::HandleEvent(const xcb_generic_event_t* event) {
  switch (event->response_type & 0x7F) {
    case 0:  // an error answering one of our requests: it concerns our connection alone
      break;
    case XCB_EXPOSE: {
      const auto* e = reinterpret_cast<const xcb_expose_event_t*>(event);
      if (e->window == mWindow)
        PaintPass(PanelRect(IRect(e->x, e->y, e->x + e->width, e->y + e->height)));
      else if (e->window == mEntry.Window())
        mEntry.Draw();
      break;
    }
    case XCB_BUTTON_PRESS: {
      const auto* e = reinterpret_cast<const xcb_button_press_event_t*>(event);
      if (e->event == mWindow) OnButtonPress(*e);
      break;
    }
    case XCB_BUTTON_RELEASE: {
      const auto* e = reinterpret_cast<const xcb_button_release_event_t*>(event);
      if (e->event == mWindow) OnButtonRelease(*e);
      break;
    }
    case XCB_MOTION_NOTIFY: {
      const auto* e = reinterpret_cast<const xcb_motion_notify_event_t*>(event);
      if (e->event == mWindow) OnMotion(*e);
      break;
    }
    case XCB_LEAVE_NOTIFY: {
      const auto* e = reinterpret_cast<const xcb_leave_notify_event_t*>(event);
      if (e->event == mWindow && !mGrabButton && e->mode == XCB_NOTIFY_MODE_NORMAL) OnLeave();
      break;
    }
    case XCB_KEY_PRESS: {
      const auto* e = reinterpret_cast<const xcb_key_press_event_t*>(event);
      if (mXEmbed.Modal()) break;
      // An XEmbed embedder passes keys on to the client that has its focus by sending them.
      const bool fromEmbedder = (event->response_type & 0x80) != 0 && e->event == mWindow;
      if (mEntry.IsOpen() && (e->event == mEntry.Window() || fromEmbedder)) {
        OnEntryKeyPress(mKeys.Keysym(e->detail, (e->state & XCB_MOD_MASK_SHIFT) != 0));
      } else if (fromEmbedder) {
        OnEmbedderKeyPress(*e);
      } else if (e->event == mWindow) {
        OnKeyPress(*e);
      }
      break;
    }
    case XCB_KEY_RELEASE: {
      // Sent back, a key the embedder passed on would come straight back again.
      const auto* e = reinterpret_cast<const xcb_key_release_event_t*>(event);
      if (e->event == mWindow && !(event->response_type & 0x80)) ForwardToHost(event);
      break;
    }
    case XCB_CLIENT_MESSAGE: OnXEmbedMessage(*reinterpret_cast<const xcb_client_message_event_t*>(event)); break;
    case XCB_FOCUS_OUT: {
      const auto* e = reinterpret_cast<const xcb_focus_out_event_t*>(event);
      if (mEntry.IsOpen() && e->event == mEntry.Window() && e->mode == XCB_NOTIFY_MODE_NORMAL)
        mEntrySession.FocusLost();
      break;
    }
    case XCB_DESTROY_NOTIFY: {
      // The host destroyed its window, and ours with it: nothing of it may be used any more.
      const auto* e = reinterpret_cast<const xcb_destroy_notify_event_t*>(event);
      if (e->window == mWindow) {
        mImages.Release();
        mWindow = 0;
        mGrabButton = 0;
        DropMouseCapture();
      }
      break;
    }
    case XCB_MAPPING_NOTIFY: mKeys.Load(mConnection); break;
    default: break;
  }
}

// ---- Pointer ----

// Events arrive in device pixels; the controls hear panel coordinates (PanelCoord), the same at
// every scale. The double-click slop stays a distance on the screen.
void IGraphicsX11::OnButtonPress(const xcb_button_press_event_t& e) {
  const int x = PanelCoord(e.event_x), y = PanelCoord(e.event_y);
  if (mXEmbed.Modal()) {
    // Its release is not for the editor either: no control sees half a click.
    mDroppedButtons |= ButtonMask(e.detail);
    return;
  }
  if (e.detail == kWheelUp || e.detail == kWheelDown) {
    if (mEntry.IsOpen()) {
      mEntrySession.Wheel();
      return;
    }
    OnWheel(x, y, ModifiersOf(e.state), e.detail == kWheelUp ? 1 : -1);
    return;
  }
  if (e.detail > kRight) return;
  if (mEntry.IsOpen()) {
    // A press elsewhere decides the entry and reaches no control.
    mEntrySession.PressOnEditor();
    return;
  }
  const IModifiers mods = ModifiersOf(static_cast<uint16_t>(e.state | ButtonMask(e.detail)));
  const bool doubleClick = e.detail == kLeft && mLastPressButton == kLeft &&
                           static_cast<xcb_timestamp_t>(e.time - mLastPressTime) <= kDoubleClickMs &&
                           std::abs(e.event_x - mLastPressX) <= kDoubleClickSlop &&
                           std::abs(e.event_y - mLastPressY) <= kDoubleClickSlop;
  if (doubleClick) {
    // A third press starts counting again.
    mLastPressButton = 0;
    OnDoubleClick(x, y, mods);
    return;
  }
  mLastPressButton = e.detail;
  mLastPressTime = e.time;
  mLastPressX = e.event_x;
  mLastPressY = e.event_y;
  // The drag keeps the pointer wherever it goes until the button comes up.
  xcb_grab_pointer(mConnection, 0, mWindow,
                   XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION,
                   XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_NONE, XCB_NONE, e.time);
  mGrabButton = e.detail;
  OnPress(x, y, mods);
}

void IGraphicsX11::OnButtonRelease(const xcb_button_release_event_t& e) {
  if (mDroppedButtons & ButtonMask(e.detail)) {
    mDroppedButtons = static_cast<uint16_t>(mDroppedButtons & ~ButtonMask(e.detail));
    return;
  }
  if (e.detail > kRight) return;
  if (mEntry.IsOpen()) return;  // the press that committed it reached no control either
  if (e.detail == mGrabButton) ReleaseGrab();
  // The event's state still holds the button coming up.
  OnRelease(PanelCoord(e.event_x), PanelCoord(e.event_y),
            ModifiersOf(static_cast<uint16_t>(e.state & ~ButtonMask(e.detail))));
}

void IGraphicsX11::OnMotion(const xcb_motion_notify_event_t& e) {
  if (e.state & kHeldButtons) {
    if (mGrabButton && !mEntry.IsOpen())
      OnDrag(PanelCoord(e.event_x), PanelCoord(e.event_y), 0, 0, ModifiersOf(e.state));
    return;
  }
  OnHover(PanelCoord(e.event_x), PanelCoord(e.event_y), ModifiersOf(e.state));
}

void IGraphicsX11::TakeMouseCapture() {
  if (!mWindow) return;
  xcb_grab_pointer(mConnection, 0, mWindow, XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION,
                   XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_NONE, XCB_NONE, XCB_CURRENT_TIME);
  mGrabButton = kLeft;
}

void IGraphicsX11::ReleaseGrab() {
  if (!mGrabButton || !mConnection) return;
  xcb_ungrab_pointer(mConnection, XCB_CURRENT_TIME);
  xcb_flush(mConnection);
  mGrabButton = 0;
}

// ---- Keys ----

void IGraphicsX11::OnKeyPress(const xcb_key_press_event_t& e) {
  const int key = EditorKeyCode(mKeys.Keysym(e.detail, (e.state & XCB_MOD_MASK_SHIFT) != 0));
  if (key >= 0 && OnKey(PanelCoord(e.event_x), PanelCoord(e.event_y), key)) return;
  ForwardToHost(reinterpret_cast<const xcb_generic_event_t*>(&e));
}

// A key an XEmbed embedder passed on while the editor has its focus. Where the embedder says the
// pointer was is its own business: the controls go by where the pointer is now. A key the editor
// does not use is not sent back (the embedder had it first and would pass it on again); Tab and
// Shift+Tab hand the focus on along the embedder's chain instead.
void IGraphicsX11::OnEmbedderKeyPress(const xcb_key_press_event_t& e) {
  const bool shifted = (e.state & XCB_MOD_MASK_SHIFT) != 0;
  const uint32_t keysym = mKeys.Keysym(e.detail, shifted);
  const int key = EditorKeyCode(keysym);
  if (key >= 0 && mWindow) {
    xcb_query_pointer_reply_t* pointer =
        xcb_query_pointer_reply(mConnection, xcb_query_pointer(mConnection, mWindow), nullptr);
    const bool handled =
        pointer && pointer->same_screen && OnKey(PanelCoord(pointer->win_x), PanelCoord(pointer->win_y), key);
    std::free(pointer);
    if (handled) return;
  }
  if (keysym == kKeysymTab || keysym == kKeysymLeftTab)
    mXEmbed.Send(mConnection, e.time, shifted || keysym == kKeysymLeftTab ? xembed::kFocusPrev : xembed::kFocusNext);
}

// Keys the editor does not use go to the host's window, which would have had them had the
// editor not been there: the same event, addressed to the parent and free to propagate up.
void IGraphicsX11::ForwardToHost(const xcb_generic_event_t* event) {
  xcb_key_press_event_t copy;
  std::memcpy(&copy, event, sizeof(copy));
  copy.event = mParent;
  copy.child = mWindow;
  const bool press = (event->response_type & 0x7F) == XCB_KEY_PRESS;
  char raw[32] = {};
  static_assert(sizeof(copy) <= sizeof(raw), "key events fit the 32 bytes of a sent event");
  std::memcpy(raw, &copy, sizeof(copy));
  xcb_send_event(mConnection, 1, mParent, press ? XCB_EVENT_MASK_KEY_PRESS : XCB_EVENT_MASK_KEY_RELEASE, raw);
  xcb_flush(mConnection);
}

// ---- XEmbed ----

void IGraphicsX11::OnXEmbedMessage(const xcb_client_message_event_t& e) {
  switch (mXEmbed.Receive(e, mWindow)) {
    case X11XEmbedClient::kFocusGiven:
      // A text entry waiting for the keyboard has it now.
      if (mEntry.IsOpen() && !mEntryHasFocus && mEntrySession.GetState() == TextEntrySession::State::kEditing)
        FocusTextEntry();
      break;
    case X11XEmbedClient::kFocusTaken:
      if (mEntry.IsOpen()) mEntrySession.FocusLost();
      break;
    case X11XEmbedClient::kNoChange: break;
  }
}

// ---- Parameter prompts ----

IMenu* IGraphicsX11::ShowPopupMenu(IMenu& menu, const IRect& rect) {
  DropMouseCapture();
  ReleaseGrab();
  if (!mWindow) return nullptr;
  xcb_translate_coordinates_reply_t* at = xcb_translate_coordinates_reply(
      mConnection,
      xcb_translate_coordinates(mConnection, mWindow, mScreen->root, static_cast<int16_t>(DeviceCoord(rect.L)),
                                static_cast<int16_t>(DeviceCoord(rect.B))),
      nullptr);
  if (!at) return nullptr;
  const int rootX = at->dst_x, rootY = at->dst_y;
  std::free(at);
  IMenu* chosen = X11PopupMenu::Run(mConnection, mScreen, mKeys, menu, rootX, rootY, DrawScale());
  // Exposures that came while the menu ran were dropped with its other events.
  if (mWindow) PaintPass(IRect(0, 0, Width(), Height()));
  return chosen;
}

void IGraphicsX11::ShowTextEntry(IControl* control, const ITextStyle& style, const IRect& rect, const char* text,
                                 IParam* param) {
  if (!mEntrySession.CanOpen(control) || !mWindow) return;
  mEntrySession.Open(control, param);
  if (!mEntry.Open(mConnection, mWindow, mFormat, rect, style, text, mEntrySession.MaxChars(), *this)) {
    mEntrySession.Close();
    return;
  }
  mEntryHasFocus = false;
  // An XEmbed embedder decides who has the keyboard: the entry asks, and waits to be given it.
  if (mXEmbed.Embedded() && !mXEmbed.Focused())
    mXEmbed.Send(mConnection, XCB_CURRENT_TIME, xembed::kRequestFocus);
  else
    FocusTextEntry();
}

void IGraphicsX11::FocusTextEntry() {
  // Typing goes to the entry wherever the pointer is, until it closes.
  xcb_get_input_focus_reply_t* focus =
      xcb_get_input_focus_reply(mConnection, xcb_get_input_focus(mConnection), nullptr);
  mFocusBeforeEntry = focus ? focus->focus : 0;
  std::free(focus);
  xcb_set_input_focus(mConnection, XCB_INPUT_FOCUS_PARENT, mEntry.Window(), XCB_CURRENT_TIME);
  xcb_flush(mConnection);
  mEntryHasFocus = true;
}

void IGraphicsX11::CloseTextEntry() {
  mEntry.Close();
  mEntrySession.Close();
  mEntryHasFocus = false;
}

void IGraphicsX11::CancelTextEntry() {
  if (mEntry.IsOpen()) mEntrySession.Cancel();
}

// Enter and Escape are the session's to decide on; the rest edits the text, as far as the
// parameter lets it through.
void IGraphicsX11::OnEntryKeyPress(uint32_t keysym) {
  if (mEntrySession.OnKey(TextEntryKeyOf(keysym))) return;
  if (keysym == kKeysymBackSpace) {
    mEntry.Backspace();
    return;
  }
  const char c = EntryCharacter(keysym);
  if (c && mEntrySession.Accepts(c)) mEntry.Type(c);
}

void IGraphicsX11::FinishTextEntry() {
  mEntrySession.Finish(mEntry.Text());
  // Focus goes back where it was, unless the host has moved it on meanwhile (an embedder taking
  // the focus away, a click into another window): then it stays where the host put it. A window
  // that is gone by now refuses, on our connection only.
  bool giveBack = mEntryHasFocus && mFocusBeforeEntry > XCB_INPUT_FOCUS_POINTER_ROOT;
  if (giveBack) {
    xcb_get_input_focus_reply_t* focus =
        xcb_get_input_focus_reply(mConnection, xcb_get_input_focus(mConnection), nullptr);
    giveBack = focus && focus->focus == mEntry.Window();
    std::free(focus);
  }
  mEntry.Close();
  if (giveBack) xcb_set_input_focus(mConnection, XCB_INPUT_FOCUS_PARENT, mFocusBeforeEntry, XCB_CURRENT_TIME);
  mFocusBeforeEntry = 0;
  mEntryHasFocus = false;
  xcb_flush(mConnection);
}
