#pragma once
// Copying text into the framework's fixed-width, zero-terminated fields.

#include <cstddef>
#include <cstring>

// Copies at most size - 1 characters, zero-fills the rest of the field and always terminates;
// a null source gives "".
inline void CopyBoundedText(char* dst, const char* src, size_t size) {
  if (!src) src = "";
  size_t n = 0;
  while (n + 1 < size && src[n]) {
    dst[n] = src[n];
    ++n;
  }
  std::memset(dst + n, 0, size - n);
}
