#include "bitmap/LICE_PngResource.h"

#include "bitmap/LICE_Png.h"
#include "bitmap/LICE_PngResourceBitmap.h"

#include <cctype>
#include <cstring>

bool IsPngResourceName(const char* name) {
  if (!name) return false;
  const char* dot = std::strrchr(name, '.');
  if (!dot) return false;
  const char* ext = dot + 1;
  return std::strlen(ext) == 3 && std::tolower(static_cast<unsigned char>(ext[0])) == 'p' &&
         std::tolower(static_cast<unsigned char>(ext[1])) == 'n' &&
         std::tolower(static_cast<unsigned char>(ext[2])) == 'g';
}

LICE_IBitmap* LoadPngResource(const LICE_ResourceSource& source, int resourceId, const char* name) {
  if (!IsPngResourceName(name)) return nullptr;
  const void* data = nullptr;
  size_t length = 0;
  if (!source.Lookup(resourceId & 0xFFFF, &data, &length) || !data || length < 8) return nullptr;
  if (LICE_IBitmap* deferred = LICE_PngResourceBitmap::FromHeader(data, length)) return deferred;
  return DecodePngBuffer(data, length);
}
