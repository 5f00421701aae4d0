#include "tools/moduleinfo/ModuleInfo.h"

#include "tools/vst3host/BundleSnapshots.h"

#include "pluginterfaces/base/ipluginbase.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

namespace moduleinfo {

namespace {

using nlohmann::ordered_json;
namespace fs = std::filesystem;

std::string BundleName(const std::string& bundleDir) {
  const fs::path bundle = fs::u8path(bundleDir).lexically_normal();
  std::string name = bundle.filename().u8string();
  if (name.empty()) name = bundle.parent_path().filename().u8string();
  const std::string::size_type dot = name.rfind(".vst3");
  if (dot != std::string::npos && dot + 5 == name.size()) name.resize(dot);
  return name;
}

std::vector<std::string> SplitSubCategories(const std::string& text) {
  std::vector<std::string> parts;
  std::string::size_type start = 0;
  while (start <= text.size() && !text.empty()) {
    const std::string::size_type bar = text.find('|', start);
    const std::string part = text.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
    if (!part.empty()) parts.push_back(part);
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  return parts;
}

// The pictures of one class in the bundle's snapshot folder, by scale factor: the file for each
// scale this build writes, listed when it is there.
ordered_json Snapshots(const std::string& bundleDir, const std::string& classId) {
  ordered_json list = ordered_json::array();
  for (int scale = 1; scale <= 4; ++scale) {
    const std::string name = vst3host::SnapshotFileName(classId, scale);
    std::error_code ec;
    if (!fs::is_regular_file(fs::u8path(bundleDir) / vst3host::kSnapshotFolder / fs::u8path(name), ec)) continue;
    list.push_back(
        {{"Scale Factor", static_cast<double>(scale)}, {"Path", std::string(vst3host::kSnapshotFolder) + "/" + name}});
  }
  return list;
}

}  // namespace

ordered_json DescribeModule(const velmora_host::PluginModule& module, const std::string& bundleDir) {
  using Steinberg::PFactoryInfo;
  const velmora_host::FactoryDescription& factory = module.FactoryInfo();
  const auto& classes = module.Classes();

  ordered_json info;
  info["Name"] = BundleName(bundleDir);
  info["Version"] = classes.empty() ? std::string() : classes.front().version;
  info["Factory Info"] = {
      {"Vendor", factory.vendor},
      {"URL", factory.url},
      {"E-Mail", factory.email},
      {"Flags",
       {{"Unicode", (factory.flags & PFactoryInfo::kUnicode) != 0},
        {"Classes Discardable", (factory.flags & PFactoryInfo::kClassesDiscardable) != 0},
        {"Component Non Discardable", (factory.flags & PFactoryInfo::kComponentNonDiscardable) != 0}}},
  };
  // No earlier module's classes are replaced by these.
  info["Compatibility"] = ordered_json::array();
  ordered_json list = ordered_json::array();
  for (const velmora_host::ClassDescription& c : classes) {
    const std::string id = vst3host::ClassIdText(c.cid);
    list.push_back({
        {"CID", id},
        {"Category", c.category},
        {"Name", c.name},
        // A class without a vendor of its own is the factory's (hosts show it so too).
        {"Vendor", c.vendor.empty() ? factory.vendor : c.vendor},
        {"Version", c.version},
        {"SDKVersion", c.sdkVersion},
        {"Sub Categories", SplitSubCategories(c.subCategories)},
        {"Class Flags", c.classFlags},
        {"Cardinality", c.cardinality},
        {"Snapshots", Snapshots(bundleDir, id)},
    });
  }
  info["Classes"] = std::move(list);
  return info;
}

}  // namespace moduleinfo
