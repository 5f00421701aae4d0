// `presets`: the effect's preset files where hosts look for them, each with its description.
#include "tools/velmora-host/Commands.h"

#include "tools/session/PluginModule.h"
#include "tools/session/PresetLibrary.h"
#include "tools/support/HostError.h"
#include "tools/support/JsonText.h"

#include <algorithm>
#include <cstdio>

namespace velmora_host {

int RunPresets(const HostSetup& setup) {
  std::string error;
  const std::unique_ptr<PluginModule> opened = OrThrow(PluginModule::Open(setup.module, &error), error);
  const PluginModule& module = *opened;
  const ClassDescription& effect = *OrThrow(module.EffectClass(&error), error);
  const std::vector<PresetEntry> presets = FindPresets(module, effect, setup.presetRoots);
  std::vector<std::string> folders;
  for (const std::string& root : setup.presetRoots) folders.push_back(PresetFolder(root, module, effect));

  if (setup.json) {
    Json list = Json::array();
    for (const PresetEntry& preset : presets)
      list.push_back({{"name", preset.name}, {"description", preset.description}, {"path", preset.path}});
    std::fputs(JsonText({{"effect", effect.name}, {"folders", folders}, {"presets", list}}).c_str(), stdout);
    return 0;
  }
  if (presets.empty()) {
    std::printf("no presets of \"%s\" in\n", effect.name.c_str());
    for (const std::string& folder : folders) std::printf("  %s\n", folder.c_str());
    return 0;
  }
  std::size_t width = 0;
  for (const PresetEntry& preset : presets) width = std::max(width, preset.name.size());
  std::printf("presets of \"%s\" (velmora-host render --load-preset NAME):\n", effect.name.c_str());
  for (const PresetEntry& preset : presets)
    std::printf("  %-*s  %s\n", static_cast<int>(width), preset.name.c_str(), preset.description.c_str());
  std::printf("searched, first folder first:\n");
  for (const std::string& folder : folders) std::printf("  %s\n", folder.c_str());
  return 0;
}

}  // namespace velmora_host
