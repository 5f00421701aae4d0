#include "tools/vst3host/BundleSnapshots.h"

#include <cstdio>

namespace vst3host {

std::string SnapshotFileName(const std::string& classIdText, int scale) {
  if (scale == 1) return classIdText + "_snapshot.png";
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, "_snapshot_%d.0x.png", scale);
  return classIdText + suffix;
}

}  // namespace vst3host
