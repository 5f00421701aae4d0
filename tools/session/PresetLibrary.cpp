#include "tools/session/PresetLibrary.h"

#include "tools/session/StateFiles.h"
#include "tools/support/HostPlatform.h"

#include "public.sdk/source/common/memorystream.h"
#include "public.sdk/source/vst/vstpresetfile.h"

#include <strings.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <system_error>

namespace velmora_host {

namespace fs = std::filesystem;
using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// The attribute preset browsers show as the preset's comment.
constexpr const char* kDescriptionAttribute = "MediaComment";

std::string EscapeXml(const std::string& text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string UnescapeXml(const std::string& text) {
  static const std::pair<const char*, char> kEntities[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    bool replaced = false;
    for (const auto& [entity, c] : kEntities) {
      const std::string e = entity;
      if (text.compare(i, e.size(), e) == 0) {
        out += c;
        i += e.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) out += text[i++];
  }
  return out;
}

// The value of the attribute with `id` in a meta info document as PresetMetaInfo writes it.
std::string AttributeValue(const std::string& xml, const std::string& id) {
  const std::string key = "id=\"" + id + "\"";
  const std::string::size_type at = xml.find(key);
  if (at == std::string::npos) return {};
  const std::string::size_type end = xml.find('>', at);
  const std::string::size_type value = xml.find("value=\"", at);
  if (value == std::string::npos || value > end) return {};
  const std::string::size_type start = value + 7;
  const std::string::size_type close = xml.find('"', start);
  if (close == std::string::npos) return {};
  return UnescapeXml(xml.substr(start, close - start));
}

bool IsPresetFile(const fs::directory_entry& entry) {
  std::error_code ec;
  return entry.is_regular_file(ec) && entry.path().extension() == kPresetExtension;
}

}  // namespace

std::string PresetFolder(const std::string& root, const PluginModule& module, const ClassDescription& effect) {
  const std::string& vendor = effect.vendor.empty() ? module.FactoryInfo().vendor : effect.vendor;
  return (fs::u8path(root) / fs::u8path(vendor) / fs::u8path(effect.name)).u8string();
}

std::vector<std::string> PresetRoots(const std::string& buildRoot) {
  std::vector<std::string> roots;
  if (!buildRoot.empty()) roots.push_back(buildRoot);
  for (std::string& folder : PresetFolders()) roots.push_back(std::move(folder));
  return roots;
}

std::vector<PresetEntry> FindPresets(const PluginModule& module, const ClassDescription& effect,
                                     const std::vector<std::string>& roots) {
  std::map<std::string, PresetEntry> byName;
  for (const std::string& root : roots) {
    std::error_code ec;
    for (const fs::directory_entry& entry :
         fs::directory_iterator(fs::u8path(PresetFolder(root, module, effect)), ec)) {
      if (!IsPresetFile(entry)) continue;
      const std::string name = entry.path().stem().u8string();
      if (byName.count(name)) continue;
      byName[name] = PresetEntry{name, entry.path().u8string(), PresetDescription(entry.path().u8string())};
    }
  }
  std::vector<PresetEntry> list;
  for (auto& [name, entry] : byName) list.push_back(std::move(entry));
  return list;
}

std::optional<std::string> ResolvePresetFile(const std::string& nameOrPath, const PluginModule& module,
                                             const ClassDescription& effect, const std::vector<std::string>& roots,
                                             std::string* error) {
  std::error_code ec;
  if (fs::exists(fs::u8path(nameOrPath), ec) || nameOrPath.find_first_of("/\\") != std::string::npos) return nameOrPath;
  std::string name = nameOrPath;
  const std::string extension = kPresetExtension;
  if (name.size() > extension.size() && name.compare(name.size() - extension.size(), extension.size(), extension) == 0)
    name.resize(name.size() - extension.size());
  const std::vector<PresetEntry> presets = FindPresets(module, effect, roots);
  for (const bool exact : {true, false})
    for (const PresetEntry& preset : presets)
      if (exact ? preset.name == name : strcasecmp(preset.name.c_str(), name.c_str()) == 0) return preset.path;
  *error = "no preset file or preset named '" + nameOrPath + "' for \"" + effect.name +
           "\" (velmora-host presets lists them)";
  return std::nullopt;
}

std::string PresetMetaInfo(const std::string& presetName, const std::string& description,
                           const ClassDescription& effect) {
  auto attribute = [](const char* id, const std::string& value) {
    return "\t<Attr id=\"" + std::string(id) + "\" value=\"" + EscapeXml(value) +
           "\" type=\"string\" flags=\"writeProtected\"/>\n";
  };
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<MetaInfo>\n" + attribute("MediaType", "VstPreset") +
         attribute("PlugInName", effect.name) + attribute("PlugInCategory", effect.subCategories) +
         attribute("Name", presetName) + attribute(kDescriptionAttribute, description) + "</MetaInfo>\n";
}

std::string PresetDescription(const std::string& path) {
  std::string unreadable;
  std::optional<std::vector<char>> bytes = ReadBinaryFile(path, &unreadable);
  if (!bytes) return {};
  IPtr<MemoryStream> stream = owned(new MemoryStream(bytes->data(), static_cast<TSize>(bytes->size())));
  PresetFile preset(stream);
  int32 size = 0;
  if (!preset.readChunkList() || !preset.readMetaInfo(nullptr, size) || size <= 0) return {};
  std::string xml(static_cast<std::size_t>(size), '\0');
  if (!preset.readMetaInfo(xml.data(), size)) return {};
  xml.resize(static_cast<std::size_t>(std::max<int32>(size, 0)));
  return AttributeValue(xml, kDescriptionAttribute);
}

}  // namespace velmora_host
