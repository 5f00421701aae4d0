#pragma once
// A PNG image kept in the module's resources whose pixels are decoded only when they are first
// needed. Its size comes from the image header, so an editor can lay out its controls when the
// plug-in is constructed without paying for decoding images that nothing may ever draw (a host
// creating instances to scan or to load a project opens few editors, if any). The first call
// that needs pixels decodes the whole image, once, whichever thread asks; the pixels are those
// DecodePngBuffer gives.

#include "bitmap/LICE_MemBitmap.h"

#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>

class LICE_PngResourceBitmap final : public LICE_IBitmap {
public:
  // The PNG bytes must stay valid for the life of the bitmap (resource bytes live as long as the
  // module). Null when the header does not describe an image the decoder accepts.
  static LICE_PngResourceBitmap* FromHeader(const void* data, size_t length);

  LICE_PngResourceBitmap(const LICE_PngResourceBitmap&) = delete;
  LICE_PngResourceBitmap& operator=(const LICE_PngResourceBitmap&) = delete;

  // The header's size, without decoding.
  int Width() const override { return mWidth; }
  int Height() const override { return mHeight; }
  // These decode first. An image whose data turns out damaged has no pixels (null, span 0).
  LICE_pixel* Pixels() const override;
  int RowSpan() const override;
  bool IsBottomUp() const override { return false; }
  bool Resize(int w, int h) override;
  LICE_DrawingContext DrawingContext() const override { return nullptr; }
  intptr_t ExtensionQuery(int, void*) override { return 0; }

  // Whether the pixels have been decoded yet (successfully or not); decodes nothing.
  bool Decoded() const { return mDecoded.load(std::memory_order_acquire); }

private:
  LICE_PngResourceBitmap(const void* data, size_t length, int width, int height);
  LICE_MemBitmap* Decode() const;

  const void* mData;
  size_t mLength;
  int mWidth, mHeight;
  mutable std::once_flag mDecodeOnce;
  mutable std::unique_ptr<LICE_MemBitmap> mPixels;
  mutable std::atomic<bool> mDecoded{false};
};
