#pragma once
// VST3 texts are zero-terminated UTF-16 in fixed-size fields; the terminal wants UTF-8.
#include "pluginterfaces/base/ftypes.h"

#include <string>

namespace velmora_host {

// Reads at most `capacity` code units, stopping at the first zero.
std::string utf16ToUtf8(const Steinberg::char16* text, std::size_t capacity);

// A fixed-width ASCII field (factory and class info) without its zero padding.
std::string fieldText(const char* field, std::size_t capacity);

}  // namespace velmora_host
