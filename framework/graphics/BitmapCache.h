#pragma once
// The module-wide cache of decoded filmstrip bitmaps, shared by every editor in the module and
// destroyed only when the module unloads, so re-opening an editor or re-creating the plug-in
// reuses the decoded images. The lock is held only while the list is searched or extended,
// never while an image is decoded: two editors loading the same id at once may both decode it,
// both entries stay, and the first one is found afterwards.

#include "framework/GrowableArray.h"

#include <mutex>

class LICE_IBitmap;

class BitmapCache {
public:
  static BitmapCache& Instance();

  // The first bitmap cached under resourceId, or null.
  LICE_IBitmap* Find(int resourceId);
  // Appends {resourceId, bitmap}; the cache takes ownership. Returns bitmap.
  LICE_IBitmap* Add(int resourceId, LICE_IBitmap* bitmap);
  int Count();

  ~BitmapCache();
  BitmapCache(const BitmapCache&) = delete;
  BitmapCache& operator=(const BitmapCache&) = delete;

private:
  BitmapCache() = default;

  struct Entry {
    int resourceId;
    LICE_IBitmap* bitmap;
  };
  std::mutex mMutex;
  GrowableArray<Entry> mEntries;
};
