#include "framework/graphics/platform/x11/X11ImageWriter.h"

#include "bitmap/LICE_IBitmap.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdlib>

bool X11ImageWriter::Init(xcb_connection_t* connection, const X11PixelFormat& format, int width, int height,
                          bool useSharedMemory) {
  Release();
  if (!format.Supported() || width <= 0 || height <= 0) return false;
  mConnection = connection;
  mFormat = format;
  mWidth = width;
  mHeight = height;
  if (useSharedMemory) AttachSharedMemory();
  return true;
}

bool X11ImageWriter::AttachSharedMemory() {
  const xcb_query_extension_reply_t* ext = xcb_get_extension_data(mConnection, &xcb_shm_id);
  if (!ext || !ext->present) return false;
  const size_t size = mFormat.RowBytes(mWidth) * static_cast<size_t>(mHeight);
  const int id = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
  if (id < 0) return false;
  void* data = shmat(id, nullptr, 0);
  if (data == reinterpret_cast<void*>(-1)) {
    shmctl(id, IPC_RMID, nullptr);
    return false;
  }
  const xcb_shm_seg_t seg = xcb_generate_id(mConnection);
  // A remote server answers the attach with an error; the error comes back as this reply, on our
  // connection only.
  xcb_generic_error_t* error = xcb_request_check(mConnection, xcb_shm_attach_checked(mConnection, seg, id, 0));
  // Marked for removal now: it goes away with the last detach, even if this process dies.
  shmctl(id, IPC_RMID, nullptr);
  if (error) {
    std::free(error);
    shmdt(data);
    return false;
  }
  mShmSeg = seg;
  mShmData = static_cast<uint8_t*>(data);
  return true;
}

void X11ImageWriter::Release() {
  if (mShmSeg) {
    WaitForServerRead();
    xcb_shm_detach(mConnection, mShmSeg);
    xcb_flush(mConnection);
    shmdt(mShmData);
  }
  mShmSeg = 0;
  mShmData = nullptr;
  mConnection = nullptr;
  mRows.clear();
  mRows.shrink_to_fit();
}

void X11ImageWriter::WaitForServerRead() {
  if (!mReadPending) return;
  std::free(xcb_get_input_focus_reply(mConnection, mReadDone, nullptr));
  mReadPending = false;
}

void X11ImageWriter::Put(xcb_drawable_t drawable, xcb_gcontext_t gc, const LICE_IBitmap& bitmap, const IRect& rect) {
  if (!mConnection || !bitmap.Pixels()) return;
  const int left = std::max(rect.L, 0), top = std::max(rect.T, 0);
  const int right = std::min({rect.R, bitmap.Width(), mWidth}), bottom = std::min({rect.B, bitmap.Height(), mHeight});
  if (right <= left || bottom <= top) return;
  const int width = right - left;
  const auto depth = static_cast<uint8_t>(mFormat.depth);

  if (mShmSeg) {
    WaitForServerRead();
    const size_t stride = mFormat.RowBytes(mWidth);
    const size_t offset = static_cast<size_t>(left) * static_cast<size_t>(mFormat.bitsPerPixel / 8);
    for (int y = top; y < bottom; ++y)
      mFormat.ConvertRow(LICE_RowAddress(bitmap, y) + left, width, mShmData + stride * static_cast<size_t>(y) + offset);
    xcb_shm_put_image(mConnection, drawable, gc, static_cast<uint16_t>(mWidth), static_cast<uint16_t>(mHeight),
                      static_cast<uint16_t>(left), static_cast<uint16_t>(top), static_cast<uint16_t>(width),
                      static_cast<uint16_t>(bottom - top), static_cast<int16_t>(left), static_cast<int16_t>(top), depth,
                      XCB_IMAGE_FORMAT_Z_PIXMAP, 0, mShmSeg, 0);
    mReadDone = xcb_get_input_focus(mConnection);
    mReadPending = true;
    xcb_flush(mConnection);
    return;
  }

  // Plain requests carry the pixels; each stays under the server's limit (in 4-byte units), with
  // room for the request header.
  const size_t rowBytes = mFormat.RowBytes(width);
  const size_t limit = static_cast<size_t>(xcb_get_maximum_request_length(mConnection)) * 4 - 64;
  const int rowsPerRequest = static_cast<int>(std::max<size_t>(1, limit / rowBytes));
  mRows.resize(rowBytes * static_cast<size_t>(std::min(rowsPerRequest, bottom - top)));
  for (int y0 = top; y0 < bottom; y0 += rowsPerRequest) {
    const int rows = std::min(rowsPerRequest, bottom - y0);
    for (int r = 0; r < rows; ++r)
      mFormat.ConvertRow(LICE_RowAddress(bitmap, y0 + r) + left, width,
                         mRows.data() + rowBytes * static_cast<size_t>(r));
    xcb_put_image(mConnection, XCB_IMAGE_FORMAT_Z_PIXMAP, drawable, gc, static_cast<uint16_t>(width),
                  static_cast<uint16_t>(rows), static_cast<int16_t>(left), static_cast<int16_t>(y0), 0, depth,
                  static_cast<uint32_t>(rowBytes * static_cast<size_t>(rows)), mRows.data());
  }
  xcb_flush(mConnection);
}
