#include "tools/vst3host/HostText.h"

namespace vst3host {
namespace {

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string Utf16ToUtf8(const Steinberg::char16* text, std::size_t capacity) {
  std::string out;
  for (std::size_t i = 0; i < capacity && text[i] != 0; ++i) {
    char32_t c = static_cast<char16_t>(text[i]);
    const bool high = c >= 0xD800 && c < 0xDC00;
    if (high && i + 1 < capacity && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char16_t>(text[i + 1]) - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;  // a lone surrogate: show a replacement character rather than invalid UTF-8
    }
    AppendUtf8(out, c);
  }
  return out;
}

std::string FieldText(const char* field, std::size_t capacity) {
  std::size_t length = 0;
  while (length < capacity && field[length] != '\0') ++length;
  return std::string(field, length);
}

}  // namespace vst3host
