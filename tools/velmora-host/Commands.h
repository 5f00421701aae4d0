#pragma once
// The three subcommands. Each returns the process exit status on success and throws HostError
// on failure; output goes to stdout, diagnostics to stderr.
#include "tools/velmora-host/CommandLine.h"

#include <string>

namespace velmora_host {

int runList(const std::string& modulePath);
int runRender(const std::string& modulePath, const RenderOptions& options);
int runDemo(const std::string& modulePath, const std::string& directory);

}  // namespace velmora_host
