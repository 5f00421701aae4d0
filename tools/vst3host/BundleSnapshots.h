#pragma once
// Where a VST3 bundle keeps the pictures hosts show for its classes in their plug-in browsers:
// Contents/Resources/Snapshots/<class id>_snapshot.png, and _snapshot_<scale>x.png for each
// further scale factor (e.g. _snapshot_2.0x.png), the class id written as the platform's hosts
// write it (ClassIdText.h). The module info lists the same files.
#include "tools/vst3host/ClassIdText.h"

#include <string>

namespace vst3host {

// The bundle-relative folder of the snapshots (the module info's paths start with it).
constexpr const char* kSnapshotFolder = "Contents/Resources/Snapshots";

// "<id>_snapshot.png" for scale 1, "<id>_snapshot_2.0x.png" for 2, and so on.
std::string SnapshotFileName(const std::string& classIdText, int scale);

}  // namespace vst3host
