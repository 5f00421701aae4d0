#include "framework/graphics/platform/x11/X11OwnWindow.h"

#include <algorithm>
#include <cstdlib>

bool X11OwnWindow::Create(xcb_connection_t* connection, const X11WindowSpec& spec) {
  Destroy();
  const int w = spec.rect.R - spec.rect.L, h = spec.rect.B - spec.rect.T;
  if (w <= 0 || h <= 0) return false;
  mConnection = connection;
  mWindow = xcb_generate_id(connection);
  // Without a background the server paints nothing of its own before the first copy. A popup on
  // the root's visual takes the root's colour map; a child shares its parent's.
  const uint32_t mask = XCB_CW_BACK_PIXMAP | XCB_CW_BORDER_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK;
  const uint32_t values[] = {XCB_BACK_PIXMAP_NONE, 0, spec.overrideRedirect ? 1u : 0u, spec.eventMask};
  xcb_generic_error_t* error = xcb_request_check(
      connection,
      xcb_create_window_checked(connection, spec.depth, mWindow, spec.parent, static_cast<int16_t>(spec.rect.L),
                                static_cast<int16_t>(spec.rect.T), static_cast<uint16_t>(w), static_cast<uint16_t>(h),
                                0, XCB_WINDOW_CLASS_INPUT_OUTPUT, spec.visual, mask, values));
  if (error) {
    std::free(error);
    mWindow = 0;
    mConnection = nullptr;
    return false;
  }
  mGc = xcb_generate_id(connection);
  xcb_create_gc(connection, mGc, mWindow, 0, nullptr);
  mCanvas.Resize(w, h);
  mWriter.Init(connection, spec.format, w, h, false);
  xcb_map_window(connection, mWindow);
  xcb_flush(connection);
  return true;
}

void X11OwnWindow::Destroy() {
  if (!mWindow) return;
  mWriter.Release();
  xcb_free_gc(mConnection, mGc);
  xcb_destroy_window(mConnection, mWindow);
  xcb_flush(mConnection);
  mWindow = 0;
  mGc = 0;
  mConnection = nullptr;
}

void X11OwnWindow::Present() {
  if (!mWindow) return;
  mWriter.Put(mWindow, mGc, mCanvas, IRect(0, 0, mCanvas.Width(), mCanvas.Height()));
}

void X11OwnWindow::Fill(LICE_IBitmap& bitmap, const IRect& rect, LICE_pixel colour) {
  const int l = std::max(rect.L, 0), t = std::max(rect.T, 0);
  const int r = std::min(rect.R, bitmap.Width()), b = std::min(rect.B, bitmap.Height());
  for (int y = t; y < b; ++y)
    std::fill(LICE_RowAddress(bitmap, y) + l, LICE_RowAddress(bitmap, y) + std::max(l, r), colour);
}
