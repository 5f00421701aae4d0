#include "PngTestWriter.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>

namespace {

void AppendBytes(png_structp png, png_bytep data, size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}
void NoFlush(png_structp) {}
void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnWarning(png_structp, png_const_charp) {}

// Everything a long jump must not lose lives outside Write's frame.
struct WriteJob {
  const PngImage* image;
  std::vector<uint8_t>* out;
  std::vector<png_bytep>* rowTable;
  png_structp png;
  png_infop info;
};

bool Write(WriteJob* job) {
  if (setjmp(png_jmpbuf(job->png))) return false;
  const PngImage& s = *job->image;
  png_set_write_fn(job->png, job->out, AppendBytes, NoFlush);
  png_set_IHDR(job->png, job->info, static_cast<png_uint_32>(s.width), static_cast<png_uint_32>(s.height), s.bitDepth,
               s.colourType, s.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!s.palette.empty()) {
    png_color colours[256];
    const int n = static_cast<int>(s.palette.size() / 3);
    for (int i = 0; i < n; ++i) colours[i] = {s.palette[3 * i], s.palette[3 * i + 1], s.palette[3 * i + 2]};
    png_set_PLTE(job->png, job->info, colours, n);
  }
  if (!s.paletteAlpha.empty()) {
    png_set_tRNS(job->png, job->info, s.paletteAlpha.data(), static_cast<int>(s.paletteAlpha.size()), nullptr);
  } else if (!s.transparentColour.empty()) {
    png_color_16 key{};
    if (s.transparentColour.size() == 1) {
      key.gray = s.transparentColour[0];
    } else {
      key.red = s.transparentColour[0];
      key.green = s.transparentColour[1];
      key.blue = s.transparentColour[2];
    }
    png_set_tRNS(job->png, job->info, nullptr, 0, &key);
  }
  png_write_info(job->png, job->info);
  png_write_image(job->png, job->rowTable->data());
  png_write_end(job->png, job->info);
  return true;
}

void PutU32(std::vector<uint8_t>* out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<uint8_t>(v >> shift));
}

}  // namespace

std::vector<uint8_t> EncodePng(const PngImage& image) {
  std::vector<uint8_t> out;
  std::vector<png_bytep> rowTable;
  for (const auto& row : image.rows) rowTable.push_back(const_cast<png_bytep>(row.data()));
  WriteJob job{&image, &out, &rowTable, nullptr, nullptr};
  job.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
  if (!job.png) return {};
  job.info = png_create_info_struct(job.png);
  const bool ok = job.info && static_cast<int>(rowTable.size()) == image.height && Write(&job);
  png_destroy_write_struct(&job.png, &job.info);
  if (!ok) out.clear();
  return out;
}

std::vector<uint8_t> PngHeaderOnly(uint32_t width, uint32_t height) {
  std::vector<uint8_t> out = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
  PutU32(&out, 13);
  const size_t typeAt = out.size();
  for (char c : {'I', 'H', 'D', 'R'}) out.push_back(static_cast<uint8_t>(c));
  PutU32(&out, width);
  PutU32(&out, height);
  out.insert(out.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA, no interlace
  const uLong crc = crc32(0L, out.data() + typeAt, static_cast<uInt>(out.size() - typeAt));
  PutU32(&out, static_cast<uint32_t>(crc));
  return out;
}
