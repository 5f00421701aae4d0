#include "bitmap/LICE_PngResourceBitmap.h"

#include "bitmap/LICE_Png.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace {

constexpr unsigned char kSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
// The decoder refuses larger sizes (LICE_PngDecode.cpp); such images are not deferred.
constexpr uint32_t kMaxWidth = 16384;
constexpr uint32_t kMaxHeight = 65536;

uint32_t BigEndian32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 |
         static_cast<uint32_t>(p[3]);
}

}  // namespace

LICE_PngResourceBitmap* LICE_PngResourceBitmap::FromHeader(const void* data, size_t length) {
  // Signature, then the IHDR chunk: length 13, type, width, height (big-endian), ...
  const auto* bytes = static_cast<const unsigned char*>(data);
  if (!bytes || length < 8 + 8 + 13 + 4 || std::memcmp(bytes, kSignature, sizeof kSignature) != 0) return nullptr;
  if (BigEndian32(bytes + 8) != 13 || std::memcmp(bytes + 12, "IHDR", 4) != 0) return nullptr;
  const uint32_t width = BigEndian32(bytes + 16), height = BigEndian32(bytes + 20);
  if (width < 1 || height < 1 || width > kMaxWidth || height > kMaxHeight) return nullptr;
  return new (std::nothrow) LICE_PngResourceBitmap(data, length, static_cast<int>(width), static_cast<int>(height));
}

LICE_PngResourceBitmap::LICE_PngResourceBitmap(const void* data, size_t length, int width, int height)
    : mData(data), mLength(length), mWidth(width), mHeight(height) {}

LICE_MemBitmap* LICE_PngResourceBitmap::Decode() const {
  std::call_once(mDecodeOnce, [this] {
    mPixels.reset(DecodePngBuffer(mData, mLength));
    // A header that promised another size than the data holds counts as damaged.
    if (mPixels && (mPixels->Width() != mWidth || mPixels->Height() != mHeight)) mPixels.reset();
    mDecoded.store(true, std::memory_order_release);
  });
  return mPixels.get();
}

LICE_pixel* LICE_PngResourceBitmap::Pixels() const {
  const LICE_MemBitmap* bm = Decode();
  return bm ? bm->Pixels() : nullptr;
}

int LICE_PngResourceBitmap::RowSpan() const {
  const LICE_MemBitmap* bm = Decode();
  return bm ? bm->RowSpan() : 0;
}

bool LICE_PngResourceBitmap::Resize(int w, int h) {
  LICE_MemBitmap* bm = Decode();
  if (!bm || !bm->Resize(w, h)) return false;
  mWidth = bm->Width();
  mHeight = bm->Height();
  return true;
}
