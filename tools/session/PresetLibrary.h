#pragma once
// Preset files where VST3 hosts look for them, by name: <root>/<vendor>/<plug-in name>/<name>.vstpreset,
// the roots being the user's and the system's VST3 preset folders (and, for the module this build
// made, the build's own preset folder first). A preset's one-line description travels in the file's
// meta info, as preset browsers read it.
#include "tools/session/PluginModule.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora_host {

constexpr const char* kPresetExtension = ".vstpreset";

struct PresetEntry {
  std::string name;  // the file name without .vstpreset
  std::string path;
  std::string description;  // from the meta info; empty when the file has none
};

// The folder holding the presets of `effect` under `root`: root/vendor/name, the vendor being the
// class's own or, when it has none, the factory's.
std::string PresetFolder(const std::string& root, const PluginModule& module, const ClassDescription& effect);

// The preset roots searched, in order: `buildRoot` when not empty, then the platform's preset
// folders, the user's first (PresetFolders()).
std::vector<std::string> PresetRoots(const std::string& buildRoot);

// Every preset of `effect` in those folders, one per name (the first folder wins), sorted by name.
std::vector<PresetEntry> FindPresets(const PluginModule& module, const ClassDescription& effect,
                                     const std::vector<std::string>& roots);

// `nameOrPath` as a file when one is there (or when it holds a path separator), otherwise the preset of that
// name, exact or in any case, from FindPresets. Empty when neither exists, with the reason in
// `error`.
std::optional<std::string> ResolvePresetFile(const std::string& nameOrPath, const PluginModule& module,
                                             const ClassDescription& effect, const std::vector<std::string>& roots,
                                             std::string* error);

// The meta info a preset file carries: the preset's name and description, the plug-in's name and
// category. Texts are escaped for XML.
std::string PresetMetaInfo(const std::string& presetName, const std::string& description,
                           const ClassDescription& effect);
// The description from a preset file's meta info; empty when there is none or the file is unreadable.
std::string PresetDescription(const std::string& path);

}  // namespace velmora_host
