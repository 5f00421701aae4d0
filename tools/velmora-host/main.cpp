// velmora-host: a command-line VST3 host for Velmora and other VST3 effects.
#include "tools/session/PresetLibrary.h"
#include "tools/support/Cancellation.h"
#include "tools/support/HostError.h"
#include "tools/support/HostPlatform.h"
#include "tools/velmora-host/CommandLine.h"
#include "tools/velmora-host/Commands.h"

#include "VelmoraVersion.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

// The Velmora bundle built along with the host or, for an installed host whose build is gone, the
// installed one.
std::string OwnModulePath() {
  const std::string built = velmora_host::BesideProgram(VELMORA_DEFAULT_MODULE);
  std::error_code ec;
  return std::filesystem::exists(std::filesystem::u8path(built), ec) ? built : VELMORA_INSTALLED_MODULE;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace velmora_host;
  // compare answers 1 for "different", so its failures to compare (usage errors included) answer 2,
  // as cmp and diff do.
  int failure = 1;
  try {
    const std::vector<std::string> args = CommandLineArguments(argc, argv);
    std::vector<const char*> pointers;
    for (const std::string& arg : args) pointers.push_back(arg.c_str());
    const CommandLine line = ParseCommandLine(static_cast<int>(pointers.size()), pointers.data());
    if (line.command == "help") {
      std::fputs(UsageText(), stdout);
      return 0;
    }
    // Nothing asked for: the usage, and a status that tells a script nothing was done.
    if (line.command == "usage") {
      std::fputs(UsageText(), stdout);
      return 1;
    }
    if (line.command == "version") {
      std::printf("velmora-host %s\n", kVelmoraVersionText);
      return 0;
    }
    if (line.command == "compare") {
      failure = 2;
      return RunCompare(line.compare, line.json);
    }
    // Without --module, the Velmora bundle built along with the host, whose factory presets the
    // build keeps in a folder of its own, searched before the usual ones.
    HostSetup setup{line.module, {}, line.json};
    const bool ownModule = setup.module.path.empty();
    if (ownModule) setup.module.path = OwnModulePath();
    setup.presetRoots = PresetRoots(ownModule ? BesideProgram(VELMORA_FACTORY_PRESET_ROOT) : "");
    // The commands that write files stop cleanly when asked to, leaving no partial output.
    if (line.command == "render" || line.command == "demo") CatchCancelSignals();
    if (line.command == "list") return RunList(setup);
    if (line.command == "render") return RunRender(setup, line.render);
    if (line.command == "presets") return RunPresets(setup);
    if (line.command == "edit") return RunEdit(setup.module, line.editScale);
    return RunDemo(setup, line.demoDirectory);
  } catch (const Cancelled& stop) {
    // Everything unfinished is gone; end as the signal would have ended the program.
    EndBySignal(stop.signal);
  } catch (const UsageError& error) {
    std::fprintf(stderr, "velmora-host: %s\n", error.what());
    return error.Command() == "compare" ? 2 : 1;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "velmora-host: %s\n", error.what());
  } catch (...) {
    std::fprintf(stderr, "velmora-host: unexpected failure\n");
  }
  return failure;
}
