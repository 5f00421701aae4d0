// velmora-host: a command-line VST3 host for Velmora and other VST3 effects.
#include "tools/velmora-host/CommandLine.h"
#include "tools/velmora-host/Commands.h"
#include "tools/velmora-host/HostError.h"
#include "tools/velmora-host/HostPlatform.h"

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  using namespace velmora_host;
  try {
    const std::vector<std::string> args = commandLineArguments(argc, argv);
    std::vector<const char*> pointers;
    for (const std::string& arg : args) pointers.push_back(arg.c_str());
    const CommandLine line = parseCommandLine(static_cast<int>(pointers.size()), pointers.data());
    if (line.command == "help") {
      std::fputs(usageText(), stdout);
      return 0;
    }
    // Without --module, the Velmora bundle built along with the host.
    ModuleOptions module = line.module;
    if (module.path.empty()) module.path = besideProgram(VELMORA_DEFAULT_MODULE);
    if (line.command == "list") return runList(module);
    if (line.command == "render") return runRender(module, line.render);
    if (line.command == "edit") return runEdit(module);
    return runDemo(module, line.demoDirectory);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "velmora-host: %s\n", error.what());
  } catch (...) {
    std::fprintf(stderr, "velmora-host: unexpected failure\n");
  }
  return 1;
}
