#pragma once
// Text at the Windows API: file names and system messages travel in UTF-16 (the wide-character
// calls) while the rest of the code is UTF-8. For the Windows platform files of every layer.
#include <string>

namespace velmora_base {

// Empty when text is not valid UTF-8 (no file has an empty name).
std::wstring WideFromUtf8(const std::string& text);
// Unpaired surrogates become U+FFFD.
std::string Utf8FromWide(const std::wstring& text);
// The system's message for an error code (GetLastError), on one line, with the code.
std::string SystemErrorText(unsigned long code);

}  // namespace velmora_base
