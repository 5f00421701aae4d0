#pragma once
// A small window of the editor's own beside the panel (the popup menu, the text entry), drawn
// into a memory bitmap and copied to the screen whole.

#include "bitmap/LICE_MemBitmap.h"
#include "framework/graphics/IRect.h"
#include "framework/graphics/platform/x11/X11ImageWriter.h"

#include <xcb/xcb.h>

struct X11WindowSpec {
  xcb_window_t parent = 0;
  IRect rect;  // in the parent's coordinates
  uint8_t depth = XCB_COPY_FROM_PARENT;
  xcb_visualid_t visual = XCB_COPY_FROM_PARENT;
  X11PixelFormat format;
  bool overrideRedirect = false;  // a popup the window manager leaves alone
  uint32_t eventMask = 0;
};

class X11OwnWindow {
public:
  X11OwnWindow() = default;
  ~X11OwnWindow() { Destroy(); }
  X11OwnWindow(const X11OwnWindow&) = delete;
  X11OwnWindow& operator=(const X11OwnWindow&) = delete;

  // Creates and maps the window; false (nothing left) when the server refuses.
  bool Create(xcb_connection_t* connection, const X11WindowSpec& spec);
  void Destroy();
  xcb_window_t Window() const { return mWindow; }
  LICE_MemBitmap& Canvas() { return mCanvas; }
  // Copies the canvas to the window.
  void Present();

  // Fills rect of bitmap with one opaque colour (clipped to the bitmap).
  static void Fill(LICE_IBitmap& bitmap, const IRect& rect, LICE_pixel colour);

private:
  xcb_connection_t* mConnection = nullptr;
  xcb_window_t mWindow = 0;
  xcb_gcontext_t mGc = 0;
  LICE_MemBitmap mCanvas;
  X11ImageWriter mWriter;
};
