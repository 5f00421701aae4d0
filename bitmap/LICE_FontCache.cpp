#include "bitmap/LICE_FontCache.h"

#include "bitmap/LICE_CachedFont.h"
#include "bitmap/LICE_FontPlatform.h"

#include <new>

LICE_FontCache& LICE_FontCache::Module() {
  static LICE_FontCache cache;
  return cache;
}

LICE_FontCache::~LICE_FontCache() { Clear(); }

LICE_CachedFont* LICE_FontCache::Find(int size, int orientation, int style, const char* face) const {
  const std::string name = face ? face : "";
  std::lock_guard<std::mutex> lock(mMutex);
  for (const Entry& e : mEntries)
    if (e.size == size && e.orientation == orientation && e.style == style && e.face == name) return e.font;
  return nullptr;
}

LICE_CachedFont* LICE_FontCache::FontFor(int size, int orientation, int style, int quality, const char* face) {
  if (LICE_CachedFont* found = Find(size, orientation, style, face)) return found;

  // Made outside the lock; two threads asking at once may both make one, and the first stays in use.
  LICE_FontRequest request;
  request.height = size;
  request.escapement = (orientation % 360) * 10;
  request.weight = style == 1 ? 700 : 400;
  request.italic = style == 2;
  request.quality = quality;
  request.face = face ? face : "";
  LICE_PlatformFont platformFont = LICE_Platform::CreatePlatformFont(request);
  if (!platformFont) return nullptr;
  auto* font = new (std::nothrow) LICE_CachedFont;
  if (!font) {
    LICE_Platform::DeletePlatformFont(platformFont);
    return nullptr;
  }
  font->SetFromPlatformFont(platformFont, LICE_FONT_OWNS_PLATFORM_FONT | LICE_FONT_PLATFORM_MAY_DRAW);

  std::lock_guard<std::mutex> lock(mMutex);
  try {
    mEntries.push_back(Entry{size, orientation, style, request.face, font});
  } catch (const std::bad_alloc&) {
    delete font;
    return nullptr;
  }
  return font;
}

int LICE_FontCache::Count() const {
  std::lock_guard<std::mutex> lock(mMutex);
  return static_cast<int>(mEntries.size());
}

void LICE_FontCache::Clear() {
  std::vector<Entry> entries;
  {
    std::lock_guard<std::mutex> lock(mMutex);
    entries.swap(mEntries);
  }
  for (Entry& e : entries) delete e.font;
}
