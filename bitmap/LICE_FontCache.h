#pragma once
// The module-wide font cache: one LICE_CachedFont per size, orientation, style and face name,
// made on first use and kept until the module is unloaded. The quality is not part of the key:
// the first font made for a key serves every later quality.

#include <mutex>
#include <string>
#include <vector>

class LICE_CachedFont;

class LICE_FontCache {
public:
  LICE_FontCache() = default;
  ~LICE_FontCache();  // destroys every cached font
  LICE_FontCache(const LICE_FontCache&) = delete;
  LICE_FontCache& operator=(const LICE_FontCache&) = delete;

  // The cache shared by the whole module.
  static LICE_FontCache& Module();

  // The cached font for the key, or null.
  LICE_CachedFont* Find(int size, int orientation, int style, const char* face) const;
  // The cached font for the key, made when missing: height size, escapement orientation x 10,
  // bold for style 1, italic for style 2, the quality (0 default, 1 non-antialiased,
  // 2 antialiased, 3 ClearType). Null when no platform font can be made.
  LICE_CachedFont* FontFor(int size, int orientation, int style, int quality, const char* face);

  int Count() const;
  // Destroys every cached font (module unload); pointers handed out before are then dangling.
  void Clear();

private:
  struct Entry {
    int size;
    int orientation;
    int style;
    std::string face;
    LICE_CachedFont* font;
  };

  mutable std::mutex mMutex;
  std::vector<Entry> mEntries;
};
