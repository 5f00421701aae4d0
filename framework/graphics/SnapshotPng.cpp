#include "framework/graphics/SnapshotPng.h"

#include "bitmap/LICE_SysBitmap.h"
#include "framework/graphics/IGraphics.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>

namespace {

void AppendToVector(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

// libpng reports errors by long-jumping back into the encoder; everything it touches before
// setjmp must stay alive across the jump, so the rows are prepared by the caller.
bool Encode(png_bytep* rows, int width, int height, std::vector<unsigned char>& out) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &out, AppendToVector, NoFlush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  // Pixels are stored B, G, R, A in memory.
  png_set_bgr(png);
  png_write_image(png, rows);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool EncodeBitmapPng(LICE_IBitmap* bitmap, std::vector<unsigned char>& out) {
  out.clear();
  if (!bitmap || !bitmap->Pixels() || bitmap->Width() <= 0 || bitmap->Height() <= 0) return false;
  const int w = bitmap->Width(), h = bitmap->Height();
  const int span = bitmap->RowSpan();
  std::vector<png_bytep> rows(static_cast<size_t>(h));
  auto* base = reinterpret_cast<png_bytep>(bitmap->Pixels());
  for (int y = 0; y < h; ++y) {
    const int stored = bitmap->IsBottomUp() ? h - 1 - y : y;
    rows[static_cast<size_t>(y)] = base + static_cast<size_t>(stored) * static_cast<size_t>(span) * 4;
  }
  if (!Encode(rows.data(), w, h, out)) {
    out.clear();
    return false;
  }
  return true;
}

bool WriteBitmapPng(LICE_IBitmap* bitmap, const char* path) {
  std::vector<unsigned char> bytes;
  if (!path || !EncodeBitmapPng(bitmap, bytes)) return false;
  FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  const bool closed = std::fclose(f) == 0;
  return written && closed;
}

bool WriteEditorSnapshot(IGraphics& graphics, const char* path) {
  if (!graphics.BackBuffer()) graphics.CreateDrawBitmaps();
  graphics.PaintPass(IRect(0, 0, graphics.Width(), graphics.Height()));
  return WriteBitmapPng(graphics.BackBuffer(), path);
}
