// velmora-moduleinfo: writes a VST3 bundle's Contents/Resources/moduleinfo.json from what the
// module's factory reports through its exports, listing the snapshots the bundle holds.
//   velmora-moduleinfo BUNDLE.vst3 [--out FILE]
#include "tools/moduleinfo/ModuleInfo.h"
#include "tools/session/PluginModule.h"
#include "tools/session/StateFiles.h"
#include "tools/support/HostError.h"
#include "tools/support/HostPlatform.h"
#include "tools/support/OutputFile.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage: velmora-moduleinfo BUNDLE.vst3 [--out FILE]\n"
    "\n"
    "Writes the bundle's module info (by default BUNDLE.vst3/Contents/Resources/moduleinfo.json) from\n"
    "what the module's factory reports, listing the snapshots in Contents/Resources/Snapshots.\n";

int Run(const std::vector<std::string>& argv) {
  const int argc = static_cast<int>(argv.size());
  std::string bundle, out;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (arg == "--out" && i + 1 < argc) {
      out = argv[++i];
    } else if (arg.rfind("--out=", 0) == 0) {
      out = arg.substr(6);
    } else if (!arg.empty() && arg[0] != '-' && bundle.empty()) {
      bundle = arg;
    } else {
      throw velmora_host::HostError("unexpected argument '" + arg + "' (velmora-moduleinfo --help)");
    }
  }
  if (bundle.empty()) throw velmora_host::HostError("no bundle given (velmora-moduleinfo BUNDLE.vst3)");
  if (out.empty()) out = (std::filesystem::u8path(bundle) / moduleinfo::kModuleInfoPath).u8string();

  velmora_host::ModuleOptions options;
  options.path = bundle;
  const std::string text = [&] {
    std::string error;
    const auto module = velmora_host::OrThrow(velmora_host::PluginModule::Open(options, &error), error);
    return moduleinfo::DescribeModule(*module, bundle).dump(2) + "\n";
  }();
  std::error_code ec;
  const std::filesystem::path folder = std::filesystem::u8path(out).parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder, ec);
  if (ec) throw velmora_host::HostError("cannot make " + folder.u8string() + ": " + ec.message());
  velmora_host::OutputFile file(out);
  std::string error;
  if (!velmora_host::WriteBinaryFile(file, std::vector<char>(text.begin(), text.end()), &error) || !file.Commit(&error))
    throw velmora_host::HostError(error);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(velmora_host::CommandLineArguments(argc, argv));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "velmora-moduleinfo: %s\n", error.what());
  }
  return 1;
}
