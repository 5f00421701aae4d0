#pragma once
// The filter and default extension of a file dialog, from a space-separated extension list
// ("wav aif" gives "*.wav;*.aif" as both description and pattern, default extension "wav"), built
// into the dialog's fixed buffers.

#include <cstddef>

// filter receives description, NUL, pattern, NUL, NUL; defaultExt the first extension. False,
// with both left empty, when either would not fit its buffer (or the list has no extension).
bool BuildFileDialogFilter(const char* extensions, char* filter, size_t filterSize, char* defaultExt,
                           size_t defaultExtSize);
