#pragma once
// Text crossing the host boundary: the framework's 8-bit texts widen character by character into
// the host's UTF-16 fields, and host texts narrow back by keeping the low byte.

#include "pluginterfaces/base/ftypes.h"

// The characters a host's text field (String128) holds besides its terminator.
constexpr int kMaxHostChars = 127;

// Widens at most maxChars characters of src into dst and terminates it (dst holds maxChars + 1).
void WidenText(Steinberg::char16* dst, const char* src, int maxChars);
// Narrows at most maxChars characters of src into dst and terminates it (dst holds maxChars + 1).
void NarrowText(char* dst, const Steinberg::char16* src, int maxChars);
