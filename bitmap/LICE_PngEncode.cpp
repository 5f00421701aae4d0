#include "bitmap/LICE_PngEncode.h"

#include "base/FileSystem.h"
#include "bitmap/LICE_IBitmap.h"

#include <png.h>

#include <atomic>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace {

void AppendToVector(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

// libpng reports errors by long-jumping back here; the rows are prepared by the caller so that
// nothing with a destructor lives between setjmp and the jump.
bool Encode(png_bytep* rows, int width, int height, std::vector<unsigned char>* out) {
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
  png_set_write_fn(png, out, AppendToVector, NoFlush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_set_bgr(png);  // the layer stores B, G, R, A
  png_write_image(png, rows);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool Fail(std::string* error, const std::string& message) {
  if (error) *error = message;
  return false;
}

}  // namespace

bool EncodeBitmapPng(const LICE_IBitmap* bitmap, std::vector<unsigned char>& out) {
  out.clear();
  if (!bitmap || !bitmap->Pixels() || bitmap->Width() <= 0 || bitmap->Height() <= 0) return false;
  const int h = bitmap->Height();
  std::vector<png_bytep> rows(static_cast<size_t>(h));
  for (int y = 0; y < h; ++y) rows[static_cast<size_t>(y)] = reinterpret_cast<png_bytep>(LICE_RowAddress(*bitmap, y));
  if (!Encode(rows.data(), bitmap->Width(), h, &out)) {
    out.clear();
    return false;
  }
  return true;
}

bool WriteBitmapPng(const LICE_IBitmap* bitmap, const char* path, std::string* error) {
  if (!path || !*path) return Fail(error, "no output file named");
  if (!bitmap || !bitmap->Pixels() || bitmap->Width() <= 0 || bitmap->Height() <= 0)
    return Fail(error, std::string("nothing to write to ") + path);
  std::vector<unsigned char> bytes;
  if (!EncodeBitmapPng(bitmap, bytes)) return Fail(error, std::string("cannot encode the image for ") + path);

  // A new file of our own beside the destination (so the rename stays on one file system),
  // created with the ordinary permissions of a new file.
  static std::atomic<unsigned> counter{0};
  std::string temp;
  std::FILE* file = nullptr;
  for (int attempt = 0; attempt < 100 && !file; ++attempt) {
    temp =
        std::string(path) + ".partial-" + std::to_string(velmora_base::ProcessId()) + "-" + std::to_string(counter++);
    file = velmora_base::CreateNewFile(temp.c_str());
    if (!file && errno != EEXIST) break;
  }
  if (!file) return Fail(error, std::string("cannot write ") + path + ": " + std::strerror(errno));

  errno = 0;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const int writeErrno = errno;
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    int reason = written ? errno : writeErrno;
    if (reason == 0) reason = EIO;  // a short write need not say why
    velmora_base::RemoveFile(temp.c_str());
    return Fail(error, std::string("cannot write ") + path + ": " + std::strerror(reason));
  }
  if (!velmora_base::RenameOver(temp.c_str(), path)) {
    const int renameErrno = errno;
    velmora_base::RemoveFile(temp.c_str());
    return Fail(error, std::string("cannot write ") + path + ": " + std::strerror(renameErrno));
  }
  return true;
}
