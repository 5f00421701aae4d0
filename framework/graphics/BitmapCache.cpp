#include "framework/graphics/BitmapCache.h"

#include "bitmap/LICE_IBitmap.h"

BitmapCache& BitmapCache::Instance() {
  // Constructed on first use and destroyed with the module's other statics.
  static BitmapCache cache;
  return cache;
}

BitmapCache::~BitmapCache() {
  for (int i = mEntries.Count() - 1; i >= 0; --i) delete mEntries.At(i)->bitmap;
  mEntries.Clear();
}

LICE_IBitmap* BitmapCache::Find(int resourceId) {
  std::lock_guard<std::mutex> lock(mMutex);
  for (int i = 0; i < mEntries.Count(); ++i) {
    const Entry* e = mEntries.At(i);
    if (e->resourceId == resourceId) return e->bitmap;
  }
  return nullptr;
}

LICE_IBitmap* BitmapCache::Add(int resourceId, LICE_IBitmap* bitmap) {
  if (!bitmap) return nullptr;
  std::lock_guard<std::mutex> lock(mMutex);
  if (!mEntries.Add(Entry{resourceId, bitmap})) {
    // Out of memory for the list: the bitmap cannot be kept for later, and must not leak.
    delete bitmap;
    return nullptr;
  }
  return bitmap;
}

int BitmapCache::Count() {
  std::lock_guard<std::mutex> lock(mMutex);
  return mEntries.Count();
}
