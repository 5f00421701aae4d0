#pragma once
// The editor's window on X11, for Linux VST3 hosts ("X11EmbedWindowID"). On attach it opens its
// own display connection and a child window inside the host's window, and registers with the
// host's run loop: the connection's descriptor for events and a timer for the refresh tick. No
// thread of ours drives the window; everything runs in the host's UI thread. The connection is
// ours alone, so X errors (a parent the host destroyed first, say) come back to us as replies and
// never reach the host's own error handling. Nothing is opened before attach, so a module on a
// machine without a display works as an effect.
//
// The window is an XEmbed client (X11XEmbed.h): it carries _XEMBED_INFO before it is mapped, and
// maps itself too, so hosts that only hand over a parent window show it as well. Once an embedder
// has made itself known, the keyboard focus is the embedder's to give: a text entry asks for it
// and takes it only when given, keys the embedder passes on reach the controls, and while the
// host's modal dialog shadows the editor, presses, the wheel and keys are not for it.
//
// Bitmaps come from the embedded resources and the dialogs answer "not available" (the core's
// defaults); the popup menu and the text entry of a parameter prompt are drawn by us, and the
// entry's session (what ends it, what its text becomes) is the core's TextEntrySession.

#include "framework/graphics/EditorRunLoop.h"
#include "framework/graphics/IGraphics.h"
#include "framework/graphics/TextEntrySession.h"
#include "framework/graphics/platform/x11/X11ImageWriter.h"
#include "framework/graphics/platform/x11/X11Keys.h"
#include "framework/graphics/platform/x11/X11TextEntry.h"
#include "framework/graphics/platform/x11/X11XEmbed.h"

#include <xcb/xcb.h>

class IGraphicsX11 : public IGraphics, private EditorRunLoop::Client {
public:
  // Two presses of the same button closer than this, and within kDoubleClickSlop pixels, make a
  // double click (X has no double-click event).
  static constexpr int kDoubleClickMs = 400;
  static constexpr int kDoubleClickSlop = 4;

  IGraphicsX11(IPlugBase* plugin, int width, int height, int frameRate,
               const EmbeddedResourceTable& resources = EmbeddedResourceTable());
  ~IGraphicsX11() override;

  bool SupportsWindowType(const char* type) const override;
  const char* GraphicsApiName() const override { return "X11"; }
  void SetHostRunLoop(EditorRunLoop* loop) override { mRunLoop = loop; }
  // parent is the host's window id. Fails (null) without a run loop, without a display, or when
  // the parent window does not exist.
  void* OpenEditorWindow(void* parent) override;
  void CloseEditorWindow() override;
  void* NativeWindow() const override;
  void PresentRect(const IRect& rect) override;
  void ResizeSurface(int width, int height) override;
  // The window follows: DeviceWidth() x DeviceHeight(), repainted at once.
  void SetDrawScale(double scale) override;
  IMenu* ShowPopupMenu(IMenu& menu, const IRect& rect) override;
  void ShowTextEntry(IControl* control, const ITextStyle& style, const IRect& rect, const char* text,
                     IParam* param) override;
  void CancelTextEntry() override;

  // Whether the window's pixels go through shared memory (false: plain put-image requests).
  bool UsesSharedMemory() const { return mImages.UsesSharedMemory(); }

protected:
  void TakeMouseCapture() override;

private:
  void OnReadable() override;
  void OnTimer() override;
  void DrainEvents();
  void HandleEvent(const xcb_generic_event_t* event);
  void OnButtonPress(const xcb_button_press_event_t& e);
  void OnButtonRelease(const xcb_button_release_event_t& e);
  void OnMotion(const xcb_motion_notify_event_t& e);
  void OnKeyPress(const xcb_key_press_event_t& e);
  void OnEmbedderKeyPress(const xcb_key_press_event_t& e);
  void OnEntryKeyPress(uint32_t keysym);
  void OnXEmbedMessage(const xcb_client_message_event_t& e);
  void ForwardToHost(const xcb_generic_event_t* event);
  void FocusTextEntry();
  void FinishTextEntry();
  // Ends an open entry at once, without a result (its window, or its control, is going away).
  void CloseTextEntry();
  void ReleaseGrab();
  void FitWindowToDevice();

  EditorRunLoop* mRunLoop = nullptr;
  xcb_connection_t* mConnection = nullptr;
  const xcb_screen_t* mScreen = nullptr;
  xcb_window_t mParent = 0;
  xcb_window_t mWindow = 0;
  xcb_gcontext_t mGc = 0;
  X11PixelFormat mFormat;
  X11ImageWriter mImages;
  X11KeyMap mKeys;
  X11TextEntry mEntry;
  TextEntrySession mEntrySession;
  X11XEmbedClient mXEmbed;
  bool mEntryHasFocus = false;  // the entry holds the X input focus (and gives it back when done)
  xcb_window_t mFocusBeforeEntry = 0;
  uint8_t mGrabButton = 0;       // the button whose drag holds the pointer grab, 0 for none
  uint16_t mDroppedButtons = 0;  // pressed while the host was modal: their releases are dropped too
  uint8_t mLastPressButton = 0;
  xcb_timestamp_t mLastPressTime = 0;
  int mLastPressX = 0, mLastPressY = 0;
};
