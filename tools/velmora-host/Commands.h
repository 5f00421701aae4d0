#pragma once
// The subcommands. Each returns the process exit status on success and throws HostError on
// failure; output goes to stdout, diagnostics to stderr.
#include "tools/velmora-host/CommandLine.h"

#include <string>
#include <vector>

namespace velmora_host {

// What every command that loads a module is given: which module and whether its trace reports
// are printed, where its presets are looked for (PresetLibrary), and whether to print JSON.
struct HostSetup {
  ModuleOptions module;
  std::vector<std::string> presetRoots;
  bool json = false;
};

int RunList(const HostSetup& setup);
int RunRender(const HostSetup& setup, const RenderOptions& options);
int RunPresets(const HostSetup& setup);
int RunDemo(const HostSetup& setup, const std::string& directory);
// Answers 0 when the files are identical within the tolerance, 1 when they are not.
int RunCompare(const CompareOptions& options, bool json);
// The effect's editor in a window on the user's display, until the window closes.
// scale: the display scale the host asks the editor for (1 to 3).
int RunEdit(const ModuleOptions& module, double scale);

}  // namespace velmora_host
