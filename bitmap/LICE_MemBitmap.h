#pragma once
// A bitmap in ordinary memory (decoded filmstrips, scratch surfaces). Pixel data starts on a
// 64-byte boundary, rows are padded to a multiple of 4 pixels, and a growing buffer takes a
// quarter more than asked so that repeated small growth does not reallocate every time.

#include "bitmap/LICE_IBitmap.h"

#include <cstddef>

class LICE_MemBitmap final : public LICE_IBitmap {
public:
  LICE_MemBitmap() = default;
  LICE_MemBitmap(int w, int h) { Resize(w, h); }
  ~LICE_MemBitmap() override;
  LICE_MemBitmap(const LICE_MemBitmap&) = delete;
  LICE_MemBitmap& operator=(const LICE_MemBitmap&) = delete;

  LICE_pixel* Pixels() const override;
  int Width() const override { return mWidth; }
  int Height() const override { return mHeight; }
  // Width rounded up to a multiple of 4.
  int RowSpan() const override { return (mWidth + kRowAlignMask) & ~kRowAlignMask; }
  bool IsBottomUp() const override { return false; }
  // Same size: false. Otherwise true; a size whose buffer cannot be had (non-positive sides,
  // too large, out of memory) leaves a 0 x 0 bitmap without pixels.
  bool Resize(int w, int h) override;
  LICE_DrawingContext DrawingContext() const override { return nullptr; }
  intptr_t ExtensionQuery(int, void*) override { return 0; }

  // Usable bytes of the current buffer (without the alignment reserve); 0 without a buffer.
  size_t AllocatedBytes() const { return mAllocated; }

  // The largest pixel buffer one bitmap may ask for, in bytes.
  static constexpr size_t kMaxBytes = 0x7FFFFFFF;

private:
  static constexpr int kRowAlignMask = 3;
  static constexpr size_t kAlignReserve = 63;

  void FreeBuffer();

  unsigned char* mBuffer = nullptr;
  int mWidth = 0;
  int mHeight = 0;
  size_t mAllocated = 0;
};
