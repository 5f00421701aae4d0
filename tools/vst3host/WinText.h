#pragma once
// Text at the Windows API: file names travel in UTF-16 (the wide-character calls) while the rest
// of the host is UTF-8, and failures come as error codes with a system message. Windows only.

#include <string>

namespace vst3host {

// Empty when text is not valid UTF-8 (no file has an empty name).
std::wstring WidePath(const std::string& text);
// Unpaired surrogates become U+FFFD.
std::string NarrowPath(const std::wstring& text);
// The system's message for an error code (GetLastError), on one line, with the code.
std::string SystemErrorText(unsigned long code);

}  // namespace vst3host
