#pragma once
// What the user asked for, parsed from argv. Parsing only checks form (known options, numbers
// where numbers belong); whether a parameter name exists is decided once the module is loaded.
#include "tools/session/AutomationText.h"
#include "tools/session/SessionOptions.h"
#include "tools/support/AudioFile.h"
#include "tools/support/SampleFormat.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora_host {

// One --automation / --automation-norm file, read once the command runs.
struct AutomationFile {
  std::string path;
  bool normalised = false;
};

struct RenderOptions {
  std::vector<std::string> inputs;  // one input with outputPath, or any number with outDir
  std::string outputPath;
  std::string outDir;
  int jobs = 0;  // worker threads for several inputs; 0: one per core
  std::string sidechainPath;
  std::vector<ParamAssignment> assignments;
  std::vector<AutomationLane> automation;  // --automate / --automate-norm, in command-line order
  std::vector<AutomationFile> automationFiles;
  std::string loadState, saveState, loadPreset, savePreset;  // loadPreset: a file or a preset's name
  int blockSize = 512;
  int precision = 32;
  std::optional<SampleFormat> format;  // --format; else the output type's own (float where it can)
  std::string type;                    // --type; else the output's extension decides
  bool loudness = true;                // measure loudness and true peak for the summary
  bool overwrite = false;              // OUT may replace an existing audio file
  bool dither = true;                  // TPDF dither on 16-bit output
  bool strict = false;                 // a truncated input is an error, not a warning
  bool quiet = false;                  // no progress line, no summary (warnings and errors still on stderr)
};

struct CompareOptions {
  std::string first, second;
  double tolerance = 0.0;  // linear full-scale units
};

struct CommandLine {
  // "list", "render", "presets", "compare", "demo", "edit", "help", "version", or "usage" for a
  // command line with no arguments at all
  std::string command;
  ModuleOptions module;
  bool json = false;  // list, render, presets and compare print JSON instead of text
  RenderOptions render;
  CompareOptions compare;
  std::string demoDirectory = "velmora-demo";
  double editScale = 1.0;  // edit --scale: the display scale the editor opens at
};

// Throws UsageError with a one-line explanation for anything malformed, an option the command does
// not take included.
CommandLine ParseCommandLine(int argc, const char* const* argv);

// Splits "NAME=VALUE" (at the last '=') into an assignment; throws HostError when malformed (for
// --set-norm, a value that is no number in [0, 1]).
ParamAssignment ParseAssignment(const std::string& text, bool normalised);

// "1e-6" (linear, 0 or more) or "-120dB" (dBFS, 0 or less) as a linear amplitude; throws HostError
// when malformed.
double ParseTolerance(const std::string& text);

const char* UsageText();

}  // namespace velmora_host
