#pragma once
// The module info a VST3 bundle carries in Contents/Resources/moduleinfo.json, so hosts can list
// its classes without loading it: the module's name and version, the factory's vendor, address,
// e-mail and flags, and every class with its id, category, names, versions, sub-categories,
// flags, cardinality and the browser pictures (snapshots) the bundle holds for it. Everything but
// the snapshots comes from the module's own factory, read through its exports.
#include "tools/session/PluginModule.h"

#include <nlohmann/json.hpp>

#include <string>

namespace moduleinfo {

// The bundle-relative place of the file.
constexpr const char* kModuleInfoPath = "Contents/Resources/moduleinfo.json";

// `bundleDir` is the .vst3 folder the module was loaded from; its name (without .vst3) names the
// module, and its snapshot folder is searched for each class's pictures.
nlohmann::ordered_json DescribeModule(const velmora_host::PluginModule& module, const std::string& bundleDir);

}  // namespace moduleinfo
