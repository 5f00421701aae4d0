#pragma once
// The editor's filmstrips at a display scale other than 1, for one graphics object. An image
// loaded from the module's resources has a copy drawn natively at 2x (NativeArtwork.h), decoded
// through the module-wide bitmap cache the first time a scale above 1 draws it, never before. At
// scale 2 that copy is drawn as it is. At any other scale each frame is resampled from its 2x
// frame (ResampleBitmap) the first time it is drawn, and kept until the scale changes or the
// editor goes; an image without a 2x copy is resampled from its 1x frames instead.
//
// A frame at scale s is ceil(frame width x s) x ceil(frame height x s): at least as large as the
// device rectangle (IGraphics::DeviceRect) of any panel rectangle of the frame's size, wherever it
// sits, so a control shows its frame's top-left part and neighbouring controls tile the device
// exactly as their rectangles do. Only the UI thread draws; no lock.

#include "framework/GrowableArray.h"
#include "framework/graphics/IGraphicsTypes.h"

#include <cstddef>
#include <functional>

class LICE_IBitmap;

class ScaledFilmstrips {
public:
  ScaledFilmstrips();
  ~ScaledFilmstrips();
  ScaledFilmstrips(const ScaledFilmstrips&) = delete;
  ScaledFilmstrips& operator=(const ScaledFilmstrips&) = delete;

  // The 1x bitmap IGraphics::LoadFilmstrip found for resourceId (name as given there), so its 2x
  // copy can be found when a scale needs it. The constructor's thread (the editor being built).
  void Remember(const LICE_IBitmap* bitmap, int resourceId, const char* name);

  // Answers the 2x copy of a resource (owned by the module-wide cache), or null; called at most
  // once per remembered image, on its first draw at a scale above 1.
  using NativeLoader = std::function<const LICE_IBitmap*(int resourceId, const char* name)>;

  // Where a blit at scale reads: bitmap, and the point in it showing (srcX, srcY) of the 1x image.
  struct Source {
    const LICE_IBitmap* bitmap = nullptr;
    int x = 0;
    int y = 0;
  };
  // The source of filmstrip's frame holding (srcX, srcY), at scale (not 1). The point's offset
  // inside its frame maps as panel coordinates do (IGraphics::ScaleCoord). No bitmap when the
  // filmstrip has none, or its pixels cannot be had.
  Source Find(const IFilmstrip& filmstrip, int srcX, int srcY, double scale, const NativeLoader& loadNative);

  // Frees every resampled frame (the 2x copies stay in the module cache). A scale change.
  void DropScaledFrames();
  // Bytes held by resampled frames.
  size_t ScaledBytes() const;

private:
  struct Image;
  struct Strip;
  Image* ImageOf(const LICE_IBitmap* bitmap);
  Strip* StripOf(const IFilmstrip& filmstrip);

  OwnedList<Image> mImages;
  OwnedList<Strip> mStrips;  // resampled frames, all at mScale
  double mScale = 1.0;
};
