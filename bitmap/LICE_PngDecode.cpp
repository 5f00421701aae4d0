// PNG decoding through libpng from a memory image. libpng reports errors by long-jumping back to
// the setjmp in DecodeRows; that function therefore keeps no C++ objects with destructors and no
// locals that change after setjmp. Everything that must survive a jump lives in a PngJob owned
// by the caller.

#include "bitmap/LICE_Png.h"
#include "bitmap/LICE_PngDecoder.h"

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr unsigned char kSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

// Images beyond these sizes are refused before any pixel memory is taken. Filmstrips stack their
// frames, so they may be far taller than wide (the panel's meter drawn at 2x is 20812 high).
constexpr png_uint_32 kMaxWidth = 16384;
constexpr png_uint_32 kMaxHeight = 65536;

// Reads past the end yield zeros, so a truncated file fails inside libpng (bad CRC, bad chunk)
// rather than in the reader.
struct MemoryCursor {
  const unsigned char* position;
  size_t left;
};

void ReadFromCursor(png_structp png, png_bytep out, size_t length) {
  auto* cursor = static_cast<MemoryCursor*>(png_get_io_ptr(png));
  std::memset(out, 0, length);
  const size_t n = length < cursor->left ? length : cursor->left;
  if (n > 0) {
    std::memcpy(out, cursor->position, n);
    cursor->position += n;
    cursor->left -= n;
  }
}

// Failures carry no message anywhere: jump straight back.
void OnPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnPngWarning(png_structp, png_const_charp) {}

struct PngJob {
  MemoryCursor cursor;
  LICE_IBitmap* target;
  png_structp png = nullptr;
  png_infop info = nullptr;
  png_bytepp rows = nullptr;
};

// Requests the conversions that turn any PNG into 8-bit A, R, G, B rows.
void RequestArgbRows(png_structp png, png_infop info) {
  const int colourType = png_get_color_type(png, info);
  const int bitDepth = png_get_bit_depth(png, info);
  bool hasAlpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0;

  if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) {
    png_set_tRNS_to_alpha(png);
    hasAlpha = true;
  }
  if (bitDepth == 16) png_set_strip_16(png);
  if (bitDepth < 8) png_set_packing(png);
  if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  if (hasAlpha)
    png_set_swap_alpha(png);
  else
    png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);
  png_set_interlace_handling(png);
}

// Runs every libpng call that can fail. Answers false on any libpng error.
bool DecodeRows(PngJob* job) {
  if (setjmp(png_jmpbuf(job->png))) return false;

  png_set_read_fn(job->png, &job->cursor, ReadFromCursor);
  png_read_info(job->png, job->info);
  const png_uint_32 width = png_get_image_width(job->png, job->info);
  const png_uint_32 height = png_get_image_height(job->png, job->info);
  RequestArgbRows(job->png, job->info);
  png_read_update_info(job->png, job->info);
  // Every row must come out as exactly 4 bytes a pixel, or it would not fit the bitmap's rows.
  if (png_get_rowbytes(job->png, job->info) != static_cast<size_t>(width) * 4u) return false;

  LICE_IBitmap* bm = job->target;
  if (width > 0 && height > 0) bm->Resize(static_cast<int>(width), static_cast<int>(height));
  if (!bm->Pixels() || bm->Width() != static_cast<int>(width) || bm->Height() != static_cast<int>(height)) return false;

  job->rows = static_cast<png_bytepp>(std::malloc(sizeof(png_bytep) * height));
  if (!job->rows) return false;
  for (png_uint_32 i = 0; i < height; ++i)
    job->rows[i] = reinterpret_cast<png_bytep>(LICE_RowAddress(*bm, static_cast<int>(i)));
  png_read_image(job->png, job->rows);
  return true;
}

// A, R, G, B bytes into the pixel value A<<24 | R<<16 | G<<8 | B.
void ArgbBytesToPixels(LICE_IBitmap* bm) {
  for (int y = 0; y < bm->Height(); ++y) {
    LICE_pixel* row = LICE_RowAddress(*bm, y);
    for (int x = 0; x < bm->Width(); ++x) {
      unsigned char b[4];
      std::memcpy(b, row + x, 4);
      row[x] = LICE_MakePixel(b[1], b[2], b[3], b[0]);
    }
  }
}

}  // namespace

bool DecodePngInto(const void* data, size_t length, LICE_IBitmap* target) {
  if (!data || !target || length <= 7 || std::memcmp(data, kSignature, sizeof(kSignature)) != 0) return false;

  PngJob job;
  job.cursor = {static_cast<const unsigned char*>(data), length};
  job.target = target;
  job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
  if (!job.png) return false;
  job.info = png_create_info_struct(job.png);
  bool ok = false;
  if (job.info) {
    png_set_user_limits(job.png, kMaxWidth, kMaxHeight);
    ok = DecodeRows(&job);
  }
  png_destroy_read_struct(&job.png, job.info ? &job.info : nullptr, nullptr);
  std::free(job.rows);
  if (ok) ArgbBytesToPixels(target);
  return ok;
}

LICE_MemBitmap* DecodePngBuffer(const void* data, size_t length) {
  auto* bm = new (std::nothrow) LICE_MemBitmap;
  if (!bm) return nullptr;
  if (!DecodePngInto(data, length, bm)) {
    delete bm;
    return nullptr;
  }
  return bm;
}
