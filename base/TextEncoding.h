#pragma once
// Conversions between the Unicode encodings the code meets: UTF-8 (everything of ours, file names
// included), UTF-16 (VST3 text fields, the Windows API) and UTF-32 (a decoded text run). The
// code-unit type is a parameter because the same 16-bit text comes as char16_t, as wchar_t on
// Windows, or as the VST3 SDK's char16 (which is one of the two). Windows' own conversions of
// file names and system messages are in platform/win32/WideText.h.
#include <cstddef>
#include <string>

namespace velmora_base {

// Appends one code point as UTF-8.
void AppendUtf8(std::string& out, char32_t c);

// The UTF-8 form of at most `capacity` UTF-16 code units, stopping at the first zero. A surrogate
// without its partner becomes U+FFFD rather than invalid UTF-8.
template <typename Unit>
std::string Utf8FromUtf16(const Unit* text, std::size_t capacity) {
  static_assert(sizeof(Unit) == 2, "UTF-16 code units have 16 bits");
  std::string out;
  for (std::size_t i = 0; i < capacity && text[i] != 0; ++i) {
    char32_t c = static_cast<char16_t>(text[i]);
    const bool high = c >= 0xD800 && c < 0xDC00;
    const char32_t next = i + 1 < capacity ? static_cast<char16_t>(text[i + 1]) : 0;
    if (high && next >= 0xDC00 && next < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (next - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

// `count` code points as UTF-16: those above U+FFFF as surrogate pairs, the rest as one unit each.
template <typename Unit>
std::basic_string<Unit> Utf16FromUtf32(const char32_t* chars, std::size_t count) {
  static_assert(sizeof(Unit) == 2, "UTF-16 code units have 16 bits");
  std::basic_string<Unit> out;
  out.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const char32_t c = chars[i];
    if (c >= 0x10000) {
      out.push_back(static_cast<Unit>(0xD800 + ((c - 0x10000) >> 10)));
      out.push_back(static_cast<Unit>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<Unit>(c));
    }
  }
  return out;
}

}  // namespace velmora_base
