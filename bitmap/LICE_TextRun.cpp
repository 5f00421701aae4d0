#include "bitmap/LICE_TextRun.h"

#include <cstring>

namespace {

// Length of the well-formed UTF-8 sequence at s (at most n bytes) and its character; 0 when the
// bytes there are not one (stray continuation, overlong form, surrogate, beyond U+10FFFF).
int DecodeOne(const unsigned char* s, int n, char32_t* out) {
  const unsigned char b = s[0];
  int len;
  char32_t c;
  if (b < 0x80) {
    *out = b;
    return 1;
  } else if (b >= 0xC2 && b <= 0xDF) {
    len = 2;
    c = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    len = 3;
    c = b & 0x0F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    len = 4;
    c = b & 0x07;
  } else {
    return 0;
  }
  if (n < len) return 0;
  for (int i = 1; i < len; ++i) {
    if ((s[i] & 0xC0) != 0x80) return 0;
    c = (c << 6) | (s[i] & 0x3F);
  }
  if ((len == 3 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) || (len == 4 && (c < 0x10000 || c > 0x10FFFF)))
    return 0;
  *out = c;
  return len;
}

}  // namespace

LICE_TextRun::LICE_TextRun(const char* text, int length) {
  if (text) {
    mBytes = text;
    mByteCount = length < 0 ? static_cast<int>(std::strlen(text)) : length;
  }
  const auto* s = reinterpret_cast<const unsigned char*>(mBytes);
  const int n = mByteCount;

  // One character per byte is the most there can be.
  char32_t* chars = mFixed;
  if (n >= kFixedChars) {
    mHeap.resize(static_cast<size_t>(n));
    chars = mHeap.data();
  }

  bool multiByte = false;
  bool strict = true;
  int count = 0;
  for (int i = 0; i < n;) {
    char32_t c;
    const int len = DecodeOne(s + i, n - i, &c);
    if (len == 0) {
      strict = false;
      break;
    }
    multiByte = multiByte || len > 1;
    chars[count++] = c;
    i += len;
  }

  mWide = multiByte && strict;
  if (!mWide) {
    count = n;
    for (int i = 0; i < n; ++i) chars[i] = s[i];
  }
  mChars = chars;
  mCharCount = count;
}
