#pragma once
// The subcommands. Each returns the process exit status on success and throws HostError
// on failure; output goes to stdout, diagnostics to stderr.
#include "tools/velmora-host/CommandLine.h"

#include <string>

namespace velmora_host {

// `module` names the module and whether the effect's trace reports are printed.
int runList(const ModuleOptions& module);
int runRender(const ModuleOptions& module, const RenderOptions& options);
int runDemo(const ModuleOptions& module, const std::string& directory);
// The effect's editor in a window on the user's display, until the window closes.
int runEdit(const ModuleOptions& module);

}  // namespace velmora_host
