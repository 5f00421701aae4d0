#include "base/FileSystem.h"
#include "bitmap/LICE_Png.h"
#include "bitmap/LICE_PngDecoder.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

namespace {

// Files larger than this are not PNG images this layer can hold anyway.
constexpr long kMaxFileBytes = 256L * 1024 * 1024;

bool ReadWholeFile(const char* path, std::vector<unsigned char>* bytes) {
  std::FILE* f = velmora_base::OpenFile(path, "rb");
  if (!f) return false;
  bool ok = std::fseek(f, 0, SEEK_END) == 0;
  const long size = ok ? std::ftell(f) : -1;
  ok = ok && size >= 0 && size <= kMaxFileBytes && std::fseek(f, 0, SEEK_SET) == 0;
  if (ok) {
    try {
      bytes->resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
      ok = false;
    }
  }
  if (ok && size > 0) ok = std::fread(bytes->data(), 1, bytes->size(), f) == bytes->size();
  std::fclose(f);
  return ok;
}

}  // namespace

bool HasPngExtension(const char* path) {
  if (!path) return false;
  const char* name = path;
  for (const char* p = path; *p; ++p)
    if (*p == '/' || *p == '\\') name = p + 1;
  const size_t n = std::strlen(name);
  if (n < 4) return false;
  const char* ext = name + n - 4;
  return ext[0] == '.' && std::tolower(static_cast<unsigned char>(ext[1])) == 'p' &&
         std::tolower(static_cast<unsigned char>(ext[2])) == 'n' &&
         std::tolower(static_cast<unsigned char>(ext[3])) == 'g';
}

const char* PngFileTypeDescription() { return "PNG files (*.PNG)"; }

LICE_IBitmap* DecodePngFile(const char* path, bool checkExtension, LICE_IBitmap* bitmap) {
  if (!path || (checkExtension && !HasPngExtension(path))) return nullptr;
  std::vector<unsigned char> bytes;
  if (!ReadWholeFile(path, &bytes)) return nullptr;
  if (bitmap) return DecodePngInto(bytes.data(), bytes.size(), bitmap) ? bitmap : nullptr;
  return DecodePngBuffer(bytes.data(), bytes.size());
}
