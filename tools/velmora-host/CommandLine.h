#pragma once
// What the user asked for, parsed from argv. Parsing only checks form (known options, numbers
// where numbers belong); whether a parameter name exists is decided once the module is loaded.
#include "tools/velmora-host/AudioFile.h"
#include "tools/velmora-host/AutomationText.h"
#include "tools/velmora-host/SampleFormat.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora_host {

// One --set / --set-norm: a parameter named by title or id, and the value as the user wrote it.
struct ParamAssignment {
  std::string target;  // a title, a decimal id, or a 0x hexadecimal id
  double value = 0.0;  // the value, when it is a number
  bool normalised = false;  // --set-norm: value in [0, 1]; --set: a step (or plain value)
  std::string where;        // the option as typed ("--set Ratio=3"), for error messages
  std::string text;         // the value as typed; for --set also a step's meaning ("-24dB", "4:1")
  bool numeric = true;      // whether the value is a number
};

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
  bool loudness = true;  // measure loudness and true peak for the summary
  bool overwrite = false;  // OUT may replace an existing audio file
  bool dither = true;      // TPDF dither on 16-bit output
  bool strict = false;     // a truncated input is an error, not a warning
  bool quiet = false;      // no progress line, no summary (warnings and errors still on stderr)
};

struct CompareOptions {
  std::string first, second;
  double tolerance = 0.0;  // linear full-scale units
};

// Which module to host, and whether its effect's trace reports are printed.
struct ModuleOptions {
  std::string path;    // empty: the module built next to the executable
  bool trace = false;  // print what the effect reports about this host to stderr
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
};

// Throws UsageError with a one-line explanation for anything malformed, an option the command does
// not take included.
CommandLine parseCommandLine(int argc, const char* const* argv);

// Splits "NAME=VALUE" (at the last '=') into an assignment; throws HostError when malformed (for
// --set-norm, a value that is no number in [0, 1]).
ParamAssignment parseAssignment(const std::string& text, bool normalised);

// "1e-6" (linear, 0 or more) or "-120dB" (dBFS, 0 or less) as a linear amplitude; throws HostError
// when malformed.
double parseTolerance(const std::string& text);

const char* usageText();

}  // namespace velmora_host
