#pragma once
// Texts a host reads from a plug-in: zero-terminated UTF-16 in fixed-size fields, and the
// factory's fixed-width ASCII fields; both come back as UTF-8 for printing.
#include "pluginterfaces/base/ftypes.h"

#include <string>

namespace vst3host {

// Reads at most `capacity` code units, stopping at the first zero (base/TextEncoding.h converts).
std::string Utf16ToUtf8(const Steinberg::char16* text, std::size_t capacity);

// A fixed-width ASCII field (factory and class info) without its zero padding.
std::string FieldText(const char* field, std::size_t capacity);

}  // namespace vst3host
