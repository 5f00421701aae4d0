#pragma once
// Copies rectangles of a bitmap into a window: through a shared-memory segment when the server
// offers the MIT-SHM extension for this connection (a local server), else with plain put-image
// requests, split to stay under the server's request size limit.

#include "framework/graphics/IRect.h"
#include "framework/graphics/platform/x11/X11PixelFormat.h"

#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <vector>

class LICE_IBitmap;

class X11ImageWriter {
public:
  X11ImageWriter() = default;
  ~X11ImageWriter() { Release(); }
  X11ImageWriter(const X11ImageWriter&) = delete;
  X11ImageWriter& operator=(const X11ImageWriter&) = delete;

  // Prepares for bitmaps up to width x height in format; with useSharedMemory, tries a segment
  // first. False when the format cannot be written.
  bool Init(xcb_connection_t* connection, const X11PixelFormat& format, int width, int height, bool useSharedMemory);
  // Copies rect of bitmap (clipped to the bitmap and to the size given to Init) to the same place
  // in drawable.
  void Put(xcb_drawable_t drawable, xcb_gcontext_t gc, const LICE_IBitmap& bitmap, const IRect& rect);
  // Gives the segment back (the connection must still be open).
  void Release();
  bool UsesSharedMemory() const { return mShmSeg != 0; }

private:
  bool AttachSharedMemory();
  void WaitForServerRead();

  xcb_connection_t* mConnection = nullptr;
  X11PixelFormat mFormat;
  int mWidth = 0;
  int mHeight = 0;
  xcb_shm_seg_t mShmSeg = 0;
  uint8_t* mShmData = nullptr;
  // The server reads a shared segment after the request; the next write waits for this reply.
  bool mReadPending = false;
  xcb_get_input_focus_cookie_t mReadDone{};
  std::vector<uint8_t> mRows;  // conversion buffer of the put-image path
};
