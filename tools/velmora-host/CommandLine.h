#pragma once
// What the user asked for, parsed from argv. Parsing only checks form (known options, numbers
// where numbers belong); whether a parameter name exists is decided once the module is loaded.
#include "tools/velmora-host/AudioFile.h"

#include <string>
#include <vector>

namespace velmora_host {

// One --set / --set-norm: a parameter named by title or id, and the value as the user wrote it.
struct ParamAssignment {
  std::string target;  // a title, a decimal id, or a 0x hexadecimal id
  double value = 0.0;
  bool normalised = false;  // --set-norm: value in [0, 1]; --set: a step (or plain value)
  std::string original;     // the argument as typed, for error messages
};

struct RenderOptions {
  std::string inputPath;
  std::string outputPath;
  std::string sidechainPath;
  std::vector<ParamAssignment> assignments;
  std::string loadState, saveState, loadPreset, savePreset;
  int blockSize = 512;
  int precision = 32;
  SampleFormat format = SampleFormat::Float32;
};

// Which module to host, and whether its effect's trace reports are printed.
struct ModuleOptions {
  std::string path;    // empty: the module built next to the executable
  bool trace = false;  // print what the effect reports about this host to stderr
};

struct CommandLine {
  std::string command;  // "list", "render", "demo", "edit" or "help"
  ModuleOptions module;
  RenderOptions render;
  std::string demoDirectory = "velmora-demo";
};

// Throws HostError with a one-line explanation for anything malformed.
CommandLine parseCommandLine(int argc, const char* const* argv);

// Splits "NAME=VALUE" (at the last '=') into an assignment; throws HostError when malformed.
ParamAssignment parseAssignment(const std::string& text, bool normalised);

const char* usageText();

}  // namespace velmora_host
