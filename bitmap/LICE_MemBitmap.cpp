#include "bitmap/LICE_MemBitmap.h"

#include <cstdint>
#include <cstdlib>

LICE_MemBitmap::~LICE_MemBitmap() { FreeBuffer(); }

void LICE_MemBitmap::FreeBuffer() {
  std::free(mBuffer);
  mBuffer = nullptr;
  mAllocated = 0;
}

LICE_pixel* LICE_MemBitmap::Pixels() const {
  if (!mBuffer) return nullptr;
  const uintptr_t aligned =
      (reinterpret_cast<uintptr_t>(mBuffer) + kAlignReserve) & ~static_cast<uintptr_t>(kAlignReserve);
  return reinterpret_cast<LICE_pixel*>(mBuffer + (aligned - reinterpret_cast<uintptr_t>(mBuffer)));
}

bool LICE_MemBitmap::Resize(int w, int h) {
  if (w == mWidth && h == mHeight) return false;
  mWidth = w;
  mHeight = h;

  // Sizes are worked out in 64 bits so that huge sides cannot wrap into a small buffer.
  size_t needed = 0;
  if (w > 0 && h > 0) {
    const uint64_t span = (static_cast<uint64_t>(w) + kRowAlignMask) & ~static_cast<uint64_t>(kRowAlignMask);
    const uint64_t bytes = span * static_cast<uint64_t>(h) * 4u;
    if (bytes <= kMaxBytes) needed = static_cast<size_t>(bytes);
  }

  if (needed > 0) {
    if (!mBuffer) {
      mBuffer = static_cast<unsigned char*>(std::malloc(needed + kAlignReserve));
      mAllocated = mBuffer ? needed : 0;
    } else if (mAllocated < needed) {
      // Contents need not survive, so the old buffer goes first instead of being copied.
      FreeBuffer();
      const size_t grown = needed / 4 * 5;
      mBuffer = static_cast<unsigned char*>(std::malloc(grown + kAlignReserve));
      if (mBuffer) {
        mAllocated = grown;
      } else {
        mBuffer = static_cast<unsigned char*>(std::malloc(needed + kAlignReserve));
        mAllocated = mBuffer ? needed : 0;
      }
    }
  } else {
    FreeBuffer();
  }

  if (!mBuffer) {
    mWidth = 0;
    mHeight = 0;
  }
  return true;
}
