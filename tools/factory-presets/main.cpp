// velmora-presetgen: Velmora's factory presets (plugin/VelmoraFactoryPresets.h) as standard
// .vstpreset files, written by the module itself: for each preset a fresh instance is given the
// preset's steps as a host sets parameters, and its own state is saved as a preset file with the
// preset's name and description in the meta info.
//   velmora-presetgen ROOT --module BUNDLE.vst3
// writes ROOT/<vendor>/<plug-in name>/<preset name>.vstpreset, all files or none, and removes
// preset files there that the table no longer has.
#include "plugin/VelmoraFactoryPresets.h"
#include "tools/session/PluginModule.h"
#include "tools/session/PresetLibrary.h"
#include "tools/session/StateFiles.h"
#include "tools/session/VelmoraMeanings.h"
#include "tools/support/HostError.h"
#include "tools/support/HostPlatform.h"
#include "tools/support/OutputFile.h"

#include <cstdio>
#include <cstring>
#include <deque>
#include <exception>
#include <filesystem>
#include <set>
#include <string>
#include <system_error>
#include <vector>

namespace {

using velmora_host::HostError;
namespace fs = std::filesystem;

constexpr const char* kUsage =
    "usage: velmora-presetgen ROOT --module BUNDLE.vst3\n"
    "\n"
    "Writes Velmora's factory presets as ROOT/<vendor>/<plug-in name>/<preset name>.vstpreset, each saved\n"
    "by the module at the preset's steps.\n";

int Run(const std::vector<std::string>& argv) {
  const int argc = static_cast<int>(argv.size());
  std::string root;
  velmora_host::ModuleOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (arg == "--module" && i + 1 < argc)
      options.path = argv[++i];
    else if (!arg.empty() && arg[0] != '-' && root.empty())
      root = arg;
    else
      throw HostError("unexpected argument '" + arg + "' (velmora-presetgen --help)");
  }
  if (root.empty() || options.path.empty()) throw HostError("usage: velmora-presetgen ROOT --module BUNDLE.vst3");

  std::string moduleError;
  const auto opened = velmora_host::OrThrow(velmora_host::PluginModule::Open(options, &moduleError), moduleError);
  const velmora_host::PluginModule& module = *opened;
  const velmora_host::ClassDescription& effect = *velmora_host::OrThrow(module.EffectClass(&moduleError), moduleError);
  if (std::memcmp(effect.cid, velmora_host::kVelmoraClassId.data(), velmora_host::kVelmoraClassId.size()) != 0)
    throw HostError(module.LibraryPath() + " is not the Velmora module");
  const fs::path folder = fs::u8path(velmora_host::PresetFolder(root, module, effect));
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) throw HostError("cannot make " + folder.u8string() + ": " + ec.message());

  std::deque<velmora_host::OutputFile> files;
  std::set<std::string> written;
  for (const FactoryPreset& preset : kFactoryPresets) {
    const std::string name = std::string(preset.name) + velmora_host::kPresetExtension;
    if (!written.insert(name).second)
      throw HostError("two factory presets are named \"" + std::string(preset.name) + "\"");
    const auto instance = velmora_host::OrThrow(module.CreateEffect(nullptr, &moduleError), moduleError);
    for (int i = 0; i < kNumParams; ++i) {
      const double normalized = static_cast<double>(preset.steps[i]) / kParamDefinitions[i].maxStep;
      if (instance->Controller()->setParamNormalized(static_cast<Steinberg::Vst::ParamID>(i), normalized) !=
          Steinberg::kResultOk)
        throw HostError("the effect refused parameter " + std::to_string(i) + " of \"" + preset.name + "\"");
    }
    std::string error;
    const std::optional<std::vector<char>> bytes = velmora_host::CapturePreset(
        *instance, effect, velmora_host::PresetMetaInfo(preset.name, preset.description, effect), &error);
    if (!bytes ||
        !velmora_host::WriteBinaryFile(files.emplace_back((folder / fs::u8path(name)).u8string()), *bytes, &error))
      throw HostError(error);
  }
  std::string error;
  for (velmora_host::OutputFile& file : files)
    if (!file.Commit(&error)) throw HostError(error);
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec))
    if (entry.path().extension() == velmora_host::kPresetExtension &&
        !written.count(entry.path().filename().u8string()))
      fs::remove(entry.path(), ec);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(velmora_host::CommandLineArguments(argc, argv));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "velmora-presetgen: %s\n", error.what());
  }
  return 1;
}
