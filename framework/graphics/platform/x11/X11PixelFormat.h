#pragma once
// How a window's pixels are laid out in a Z-pixmap image for the X server: bits per pixel, row
// padding, byte order and the colour masks of a TrueColor visual. Converts rows of the bitmap
// layer's pixels into it. Conversion needs no connection, so it is tested without a display.

#include "bitmap/LICE_Pixel.h"

#include <xcb/xcb.h>

#include <cstddef>
#include <cstdint>

struct X11PixelFormat {
  int depth = 24;
  int bitsPerPixel = 32;
  int scanlinePad = 32;   // rows are padded to a multiple of this many bits
  bool msbFirst = false;  // the server's image byte order
  uint32_t redMask = 0xFF0000, greenMask = 0x00FF00, blueMask = 0x0000FF;

  // The format of windows with this visual and depth on the server; false when the server does
  // not list them.
  static bool ForVisual(const xcb_setup_t* setup, xcb_visualid_t visual, uint8_t depth, X11PixelFormat* format);

  // Whether rows can be converted: 16, 24 or 32 bits per pixel, a TrueColor mask for each colour.
  bool Supported() const;
  // Bytes from the start of one row to the next for width pixels.
  size_t RowBytes(int width) const;
  // count pixels into dst (RowBytes(count) bytes are enough). Alpha is dropped.
  void ConvertRow(const LICE_pixel* src, int count, uint8_t* dst) const;

private:
  bool IsNative() const;
};
