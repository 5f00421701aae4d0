#include "framework/vst3/HostText.h"

void WidenText(Steinberg::char16* dst, const char* src, int maxChars) {
  int n = 0;
  if (src) {
    for (; n < maxChars && src[n]; ++n) dst[n] = static_cast<Steinberg::char16>(static_cast<unsigned char>(src[n]));
  }
  dst[n] = 0;
}

void NarrowText(char* dst, const Steinberg::char16* src, int maxChars) {
  int n = 0;
  if (src) {
    for (; n < maxChars && src[n]; ++n) dst[n] = static_cast<char>(src[n] & 0xFF);
  }
  dst[n] = 0;
}
