#include "tools/vst3host/HostText.h"

#include "base/TextEncoding.h"

namespace vst3host {

std::string Utf16ToUtf8(const Steinberg::char16* text, std::size_t capacity) {
  return velmora_base::Utf8FromUtf16(text, capacity);
}

std::string FieldText(const char* field, std::size_t capacity) {
  std::size_t length = 0;
  while (length < capacity && field[length] != '\0') ++length;
  return std::string(field, length);
}

}  // namespace vst3host
