#pragma once
// Where a VST3 bundle keeps the pictures hosts show for its classes in their plug-in browsers:
// Contents/Resources/Snapshots/<class id>_snapshot.png, and _snapshot_<scale>x.png for each
// further scale factor (e.g. _snapshot_2.0x.png). The module info lists the same files.
#include "pluginterfaces/base/funknown.h"

#include <string>

namespace vst3host {

// The bundle-relative folder of the snapshots, and the same relative to Contents/Resources.
constexpr const char* kSnapshotFolder = "Contents/Resources/Snapshots";
constexpr const char* kSnapshotResourceFolder = "Snapshots";

// The class id as hosts match it against the factory's: its 16 bytes in order, as 32 upper-case
// hexadecimal digits, the same on every platform (unlike FUID::toString, which reorders the first
// eight bytes where the SDK is COM compatible, as on Windows).
std::string ClassIdText(const Steinberg::TUID cid);

// "<id>_snapshot.png" for scale 1, "<id>_snapshot_2.0x.png" for 2, and so on.
std::string SnapshotFileName(const std::string& classIdText, int scale);

}  // namespace vst3host
