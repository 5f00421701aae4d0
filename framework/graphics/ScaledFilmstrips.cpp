#include "framework/graphics/ScaledFilmstrips.h"

#include "bitmap/LICE_Blit.h"
#include "bitmap/LICE_MemBitmap.h"
#include "bitmap/LICE_Resample.h"
#include "framework/graphics/IGraphics.h"
#include "framework/graphics/NativeArtwork.h"

#include <cmath>
#include <string>

struct ScaledFilmstrips::Image {
  const LICE_IBitmap* bitmap = nullptr;  // the 1x image
  int resourceId = -1;                   // -1: not from the resources, so no 2x copy
  std::string name;
  const LICE_IBitmap* native = nullptr;  // its 2x copy, once looked up
  bool nativeLookedUp = false;
};

struct ScaledFilmstrips::Strip {
  const LICE_IBitmap* bitmap = nullptr;  // the 1x image, with the filmstrip's layout below
  int W = 0, H = 0, N = 1;
  bool framesSideBySide = false;
  GrowableArray<LICE_MemBitmap*> frames;  // one per frame, null until first drawn

  ~Strip() {
    for (int i = 0; i < frames.Count(); ++i) delete *frames.At(i);
  }
};

namespace {

int FrameCount(const IFilmstrip& f) { return f.N > 0 ? f.N : 1; }

// Where 1-based frame k + 1 starts along the stacking axis (as FilmstripFrameOffset places it).
int FrameStart(int extent, int k, int n) { return static_cast<int>(static_cast<double>(extent) * k / n + 0.5); }

// The 0-based frame holding position `along` of the stacking axis; positions before the first
// frame belong to it, positions after the last to the last.
int FrameHolding(int along, int extent, int n) {
  if (n < 2 || extent <= 0) return 0;
  int k = static_cast<int>(static_cast<long long>(along < 0 ? 0 : along) * n / extent);
  if (k > n - 1) k = n - 1;
  while (k > 0 && FrameStart(extent, k, n) > along) --k;
  while (k + 1 < n && FrameStart(extent, k + 1, n) <= along) ++k;
  return k;
}

// The pixels a frame of `size` panel pixels takes at scale: enough for its device rectangle
// anywhere on the panel (a small tolerance keeps exact products such as 96 x 1.25 from rounding up).
int ScaledSize(int size, double scale) { return static_cast<int>(std::ceil(static_cast<double>(size) * scale - 1e-9)); }

}  // namespace

ScaledFilmstrips::ScaledFilmstrips() = default;
ScaledFilmstrips::~ScaledFilmstrips() = default;

void ScaledFilmstrips::Remember(const LICE_IBitmap* bitmap, int resourceId, const char* name) {
  if (!bitmap || ImageOf(bitmap)) return;
  auto* image = new Image();
  image->bitmap = bitmap;
  image->resourceId = resourceId;
  image->name = name ? name : "";
  mImages.Add(image);
}

ScaledFilmstrips::Image* ScaledFilmstrips::ImageOf(const LICE_IBitmap* bitmap) {
  for (int i = 0; i < mImages.Count(); ++i)
    if (mImages.Get(i)->bitmap == bitmap) return mImages.Get(i);
  return nullptr;
}

ScaledFilmstrips::Strip* ScaledFilmstrips::StripOf(const IFilmstrip& f) {
  for (int i = 0; i < mStrips.Count(); ++i) {
    Strip* s = mStrips.Get(i);
    if (s->bitmap == f.bitmap && s->W == f.W && s->H == f.H && s->N == FrameCount(f) &&
        s->framesSideBySide == f.framesSideBySide)
      return s;
  }
  auto* strip = new Strip();
  strip->bitmap = f.bitmap;
  strip->W = f.W;
  strip->H = f.H;
  strip->N = FrameCount(f);
  strip->framesSideBySide = f.framesSideBySide;
  if (!strip->frames.Resize(strip->N) || !mStrips.Add(strip)) return nullptr;  // Add deletes on failure
  return strip;
}

ScaledFilmstrips::Source ScaledFilmstrips::Find(const IFilmstrip& f, int srcX, int srcY, double scale,
                                                const NativeLoader& loadNative) {
  if (!f.bitmap || f.W <= 0 || f.H <= 0) return Source();
  if (scale != mScale) {
    DropScaledFrames();
    mScale = scale;
  }

  // The image drawn from: the 2x copy when there is one of exactly twice the size, else the 1x one.
  Image* image = ImageOf(f.bitmap);
  if (!image) {
    Remember(f.bitmap, -1, nullptr);
    image = ImageOf(f.bitmap);
  }
  if (image && !image->nativeLookedUp) {
    image->nativeLookedUp = true;
    if (image->resourceId >= 0 && loadNative) {
      const std::string name = Native2xResourceName(image->name.c_str());
      const LICE_IBitmap* native = loadNative(image->resourceId + kNative2xResourceOffset, name.c_str());
      if (native && native->Width() == kNativeArtworkScale * f.bitmap->Width() &&
          native->Height() == kNativeArtworkScale * f.bitmap->Height())
        image->native = native;
    }
  }
  const LICE_IBitmap* source = image && image->native ? image->native : f.bitmap;
  const int factor = source == f.bitmap ? 1 : kNativeArtworkScale;
  if (!source->Pixels()) return Source();
  if (scale == factor) return Source{source, srcX * factor, srcY * factor};

  // The frame holding the point, and the point's offset inside it.
  const int n = FrameCount(f);
  const int fw = f.FrameWidth(), fh = f.FrameHeight();
  const int k = f.framesSideBySide ? FrameHolding(srcX, f.W, n) : FrameHolding(srcY, f.H, n);
  const int frameX = f.framesSideBySide ? FrameStart(f.W, k, n) : 0;
  const int frameY = f.framesSideBySide ? 0 : FrameStart(f.H, k, n);
  const Source at{nullptr, IGraphics::ScaleCoord(srcX - frameX, scale), IGraphics::ScaleCoord(srcY - frameY, scale)};

  Strip* strip = StripOf(f);
  if (!strip || fw <= 0 || fh <= 0) return Source();
  LICE_MemBitmap*& frame = *strip->frames.At(k);
  if (!frame) {
    // The native frame on its own, so the filter never reaches into the neighbouring frames.
    LICE_MemBitmap alone(fw * factor, fh * factor);
    const LICE_Rect part(frameX * factor, frameY * factor, (frameX + fw) * factor, (frameY + fh) * factor);
    BlitBitmap(&alone, source, 0, 0, &part, 1.0f, LICE_BLIT_COPY);
    auto* scaled = new LICE_MemBitmap(ScaledSize(fw, scale), ScaledSize(fh, scale));
    if (!alone.Pixels() || !scaled->Pixels()) {
      delete scaled;
      return Source();
    }
    ResampleBitmap(scaled, &alone);
    frame = scaled;
  }
  return Source{frame, at.x, at.y};
}

void ScaledFilmstrips::DropScaledFrames() { mStrips.DeleteAll(); }

size_t ScaledFilmstrips::ScaledBytes() const {
  size_t bytes = 0;
  for (int i = 0; i < mStrips.Count(); ++i) {
    const Strip* s = mStrips.Get(i);
    for (int k = 0; k < s->frames.Count(); ++k)
      if (const LICE_MemBitmap* frame = *s->frames.At(k)) bytes += frame->AllocatedBytes();
  }
  return bytes;
}
