#include "framework/graphics/platform/x11/X11PixelFormat.h"

#include <cstring>

namespace {
// One 8-bit channel scaled into the bits of mask.
uint32_t Place(int channel, uint32_t mask) {
  if (!mask) return 0;
  const int shift = __builtin_ctz(mask);
  const uint32_t max = mask >> shift;
  const uint32_t scaled = (static_cast<uint32_t>(channel) * max + 127) / 255;
  return (scaled << shift) & mask;
}
}  // namespace

bool X11PixelFormat::Supported() const {
  const bool sizeOk = bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32;
  return sizeOk && redMask && greenMask && blueMask && scanlinePad >= 8 && scanlinePad % 8 == 0;
}

size_t X11PixelFormat::RowBytes(int width) const {
  const size_t bits = static_cast<size_t>(width) * static_cast<size_t>(bitsPerPixel);
  const size_t pad = static_cast<size_t>(scanlinePad);
  return (bits + pad - 1) / pad * pad / 8;
}

// The usual desktop format is the bitmap layer's own (B, G, R, unused), so rows are copied.
bool X11PixelFormat::IsNative() const {
  return bitsPerPixel == 32 && !msbFirst && redMask == 0xFF0000 && greenMask == 0x00FF00 && blueMask == 0x0000FF;
}

void X11PixelFormat::ConvertRow(const LICE_pixel* src, int count, uint8_t* dst) const {
  if (IsNative()) {
    std::memcpy(dst, src, static_cast<size_t>(count) * sizeof(LICE_pixel));
    return;
  }
  const int bytes = bitsPerPixel / 8;
  for (int i = 0; i < count; ++i) {
    const LICE_pixel p = src[i];
    const uint32_t v =
        Place(LICE_PixelR(p), redMask) | Place(LICE_PixelG(p), greenMask) | Place(LICE_PixelB(p), blueMask);
    for (int b = 0; b < bytes; ++b) {
      const int shift = msbFirst ? 8 * (bytes - 1 - b) : 8 * b;
      *dst++ = static_cast<uint8_t>(v >> shift);
    }
  }
}

bool X11PixelFormat::ForVisual(const xcb_setup_t* setup, xcb_visualid_t visual, uint8_t depth, X11PixelFormat* format) {
  X11PixelFormat f;
  f.depth = depth;
  f.msbFirst = setup->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;
  bool haveSize = false;
  for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem; xcb_format_next(&it)) {
    if (it.data->depth != depth) continue;
    f.bitsPerPixel = it.data->bits_per_pixel;
    f.scanlinePad = it.data->scanline_pad;
    haveSize = true;
  }
  if (!haveSize) return false;
  for (auto screens = xcb_setup_roots_iterator(setup); screens.rem; xcb_screen_next(&screens)) {
    for (auto depths = xcb_screen_allowed_depths_iterator(screens.data); depths.rem; xcb_depth_next(&depths)) {
      for (auto v = xcb_depth_visuals_iterator(depths.data); v.rem; xcb_visualtype_next(&v)) {
        if (v.data->visual_id != visual) continue;
        if (v.data->_class != XCB_VISUAL_CLASS_TRUE_COLOR && v.data->_class != XCB_VISUAL_CLASS_DIRECT_COLOR)
          return false;
        f.redMask = v.data->red_mask;
        f.greenMask = v.data->green_mask;
        f.blueMask = v.data->blue_mask;
        *format = f;
        return true;
      }
    }
  }
  return false;
}
