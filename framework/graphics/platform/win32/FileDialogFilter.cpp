#include "framework/graphics/platform/win32/FileDialogFilter.h"

#include <cstring>
#include <string>

bool BuildFileDialogFilter(const char* extensions, char* filter, size_t filterSize, char* defaultExt,
                           size_t defaultExtSize) {
  if (filterSize) filter[0] = '\0';
  if (defaultExtSize) defaultExt[0] = '\0';
  std::string pattern, first;
  for (const char* p = extensions ? extensions : ""; *p;) {
    if (*p == ' ') {
      ++p;
      continue;
    }
    const char* end = std::strchr(p, ' ');
    if (!end) end = p + std::strlen(p);
    const std::string ext(p, end);
    if (first.empty()) first = ext;
    if (!pattern.empty()) pattern += ';';
    pattern += "*." + ext;
    p = end;
  }
  // Description and pattern, each with its terminator, then the list's closing terminator.
  const size_t needed = 2 * (pattern.size() + 1) + 1;
  if (pattern.empty() || needed > filterSize || first.size() + 1 > defaultExtSize) return false;
  std::memcpy(filter, pattern.c_str(), pattern.size() + 1);
  std::memcpy(filter + pattern.size() + 1, pattern.c_str(), pattern.size() + 1);
  filter[needed - 1] = '\0';
  std::memcpy(defaultExt, first.c_str(), first.size() + 1);
  return true;
}
