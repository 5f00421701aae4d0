#pragma once
// Where an image's copy drawn natively at twice the size lives among a module's resources: the
// 1x resource id plus kNative2xResourceOffset, named like the 1x image with "2x/" before its file
// name ("resources/img/2x/BG.png"). cmake/ImageManifest.cmake reads the offset from this file when
// it embeds the set, so the number is written here only.

#include <string>

constexpr int kNativeArtworkScale = 2;
constexpr int kNative2xResourceOffset = 1000;

// The 2x copy's resource name for a 1x name; empty for none.
inline std::string Native2xResourceName(const char* name) {
  if (!name || !*name) return std::string();
  const std::string text(name);
  const size_t slash = text.find_last_of("/\\");
  const size_t file = slash == std::string::npos ? 0 : slash + 1;
  return text.substr(0, file) + "2x/" + text.substr(file);
}
