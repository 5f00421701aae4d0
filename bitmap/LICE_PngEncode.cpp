#include "bitmap/LICE_PngEncode.h"

#include "bitmap/LICE_IBitmap.h"

#include <png.h>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csetjmp>
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

bool WriteAll(int fd, const std::vector<unsigned char>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
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
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = std::string(path) + ".partial-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return Fail(error, std::string("cannot write ") + path + ": " + std::strerror(errno));

  const bool written = WriteAll(fd, bytes);
  const int writeErrno = errno;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed) {
    const int reason = written ? errno : writeErrno;
    ::unlink(temp.c_str());
    return Fail(error, std::string("cannot write ") + path + ": " + std::strerror(reason));
  }
  if (::rename(temp.c_str(), path) != 0) {
    const int renameErrno = errno;
    ::unlink(temp.c_str());
    return Fail(error, std::string("cannot write ") + path + ": " + std::strerror(renameErrno));
  }
  return true;
}
