#include "tools/velmora-host/CommandLine.h"

#include "tools/support/HostError.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace velmora_host {
namespace {

bool ParseNumber(const std::string& text, double& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtod(text.c_str(), &end);
  return errno == 0 && end == text.c_str() + text.size() && std::isfinite(value);
}

int ParseInteger(const std::string& option, const std::string& text, int low, int high) {
  double value = 0.0;
  if (!ParseNumber(text, value) || value != std::floor(value) || value < low || value > high)
    throw HostError(option + " needs a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
                    ", not '" + text + "'");
  return static_cast<int>(value);
}

// A display scale such as 1.5 or 2: a decimal number from 1 to 3, as the editor draws them.
double ParseDisplayScale(const std::string& option, const std::string& text) {
  double value = 0.0;
  if (!ParseNumber(text, value) || value < 1.0 || value > 3.0)
    throw HostError(option + " needs a display scale from 1 to 3 (such as 1.5 or 2), not '" + text + "'");
  return value;
}

// Walks argv; options take their value either as the next word or after '='.
class ArgumentCursor {
public:
  ArgumentCursor(int argc, const char* const* argv) : mArgs(argv + 1, argv + argc) {}
  bool Done() const { return mNext >= mArgs.size(); }
  std::string Take() { return mArgs[mNext++]; }
  std::string ValueFor(const std::string& option, const std::string& inlineValue, bool hasInline) {
    if (hasInline) return inlineValue;
    if (Done()) throw HostError(option + " needs a value");
    return Take();
  }

private:
  std::vector<std::string> mArgs;
  std::size_t mNext = 0;
};

}  // namespace

ParamAssignment ParseAssignment(const std::string& text, bool normalised) {
  const char* option = normalised ? "--set-norm" : "--set";
  const std::string::size_type eq = text.rfind('=');
  if (eq == std::string::npos || eq == 0 || eq + 1 == text.size())
    throw HostError(std::string(option) + " expects NAME=VALUE, not '" + text + "'");
  ParamAssignment assignment;
  assignment.target = text.substr(0, eq);
  assignment.normalised = normalised;
  assignment.where = std::string(option) + " " + text;
  assignment.text = text.substr(eq + 1);
  // --set also takes what a step means ("-24dB"), read once the effect is known.
  assignment.numeric = ParseNumber(assignment.text, assignment.value);
  if (!assignment.numeric && normalised)
    throw HostError(std::string(option) + " " + text + ": '" + assignment.text + "' is not a number");
  if (normalised && (assignment.value < 0.0 || assignment.value > 1.0))
    throw HostError("--set-norm " + text + ": a normalised value lies between 0 and 1");
  return assignment;
}

double ParseTolerance(const std::string& text) {
  std::string number = text;
  const bool decibels = number.size() > 2 && (number.compare(number.size() - 2, 2, "dB") == 0 ||
                                              number.compare(number.size() - 2, 2, "db") == 0);
  if (decibels) number.resize(number.size() - 2);
  double value = 0.0;
  // A level above 0 dBFS would be a tolerance larger than full scale: almost certainly a linear
  // figure written with a unit by mistake ("1e-6dB"), so it is refused rather than obeyed.
  const bool parsed = ParseNumber(number, value);
  if (!parsed || (decibels ? value > 0.0 : value < 0.0))
    throw HostError("--tol needs a difference of 0 or more (1e-6) or a level of 0 dB or less (-120dB), not '" + text +
                    "'");
  return decibels ? std::pow(10.0, value / 20.0) : value;
}

namespace {

// One option (with its value taken from `inlineValue` or the next word) into `line`.
void ParseOption(CommandLine& line, const std::string& option, const std::string& inlineValue, bool hasInline,
                 ArgumentCursor& args) {
  auto value = [&] { return args.ValueFor(option, inlineValue, hasInline); };
  // An option without a value sets `target` to `to`.
  auto flag = [&](bool& target, bool to) {
    if (hasInline) throw HostError(option + " takes no value");
    target = to;
  };
  RenderOptions& r = line.render;
  if (option == "--trace")
    flag(line.module.trace, true);
  else if (option == "--json")
    flag(line.json, true);
  else if (option == "--no-loudness")
    flag(r.loudness, false);
  else if (option == "--overwrite")
    flag(r.overwrite, true);
  else if (option == "--no-dither")
    flag(r.dither, false);
  else if (option == "--strict")
    flag(r.strict, true);
  else if (option == "--quiet")
    flag(r.quiet, true);
  else if (option == "--module")
    line.module.path = value();
  else if (option == "--out")
    line.demoDirectory = value();
  else if (option == "--out-dir")
    r.outDir = value();
  else if (option == "--jobs")
    r.jobs = ParseInteger(option, value(), 1, 256);
  else if (option == "--sidechain")
    r.sidechainPath = value();
  else if (option == "--set")
    r.assignments.push_back(ParseAssignment(value(), false));
  else if (option == "--set-norm")
    r.assignments.push_back(ParseAssignment(value(), true));
  else if (option == "--automate" || option == "--automate-norm") {
    std::string error;
    r.automation.push_back(OrThrow(ParseAutomateOption(value(), option == "--automate-norm", &error), error).value());
  } else if (option == "--automation")
    r.automationFiles.push_back(AutomationFile{value(), false});
  else if (option == "--automation-norm")
    r.automationFiles.push_back(AutomationFile{value(), true});
  else if (option == "--load-state")
    r.loadState = value();
  else if (option == "--save-state")
    r.saveState = value();
  else if (option == "--load-preset")
    r.loadPreset = value();
  else if (option == "--save-preset")
    r.savePreset = value();
  else if (option == "--block-size")
    r.blockSize = ParseInteger(option, value(), 1, 65536);
  else if (option == "--format") {
    std::string error;
    r.format = ParseSampleFormat(value(), &error);
    if (!r.format) throw HostError(error);
  } else if (option == "--type")
    r.type = value();
  else if (option == "--precision") {
    r.precision = ParseInteger(option, value(), 32, 64);
    if (r.precision != 32 && r.precision != 64) throw HostError("--precision is 32 or 64");
  } else if (option == "--tol")
    line.compare.tolerance = ParseTolerance(value());
  else if (option == "--scale")
    line.editScale = ParseDisplayScale(option, value());
  else
    throw HostError("unknown option " + option + " (see velmora-host --help)");
}

bool IsCommand(const std::string& word) {
  for (const char* command : {"list", "render", "presets", "compare", "demo", "edit"})
    if (word == command) return true;
  return false;
}

// The commands an option belongs to. An option given to another command is refused rather than
// ignored: a misplaced option would otherwise look as if it had done something.
bool OptionApplies(const std::string& option, const std::string& command) {
  if (option == "--module" || option == "--trace") return command != "compare";
  if (option == "--json")
    return command == "list" || command == "render" || command == "presets" || command == "compare";
  if (option == "--tol") return command == "compare";
  if (option == "--out") return command == "demo";
  if (option == "--scale") return command == "edit";
  return command == "render";  // every other option is one of render's
}

}  // namespace

CommandLine ParseCommandLine(int argc, const char* const* argv) {
  CommandLine line;
  if (argc <= 1) {
    line.command = "usage";
    return line;
  }
  std::vector<std::string> positional;
  std::vector<std::string> given;  // the options, in order
  // The first fault is reported once the whole line is read, so that it is reported as a usage
  // error of the command it belongs to (compare answers those with another status).
  std::string fault;
  ArgumentCursor args(argc, argv);
  while (!args.Done()) {
    const std::string word = args.Take();
    if (word.size() < 2 || word[0] != '-' || word == "-") {
      if (line.command.empty())
        line.command = word;
      else
        positional.push_back(word);
      continue;
    }
    if (word == "-h" || word == "--help") {
      line.command = "help";
      return line;
    }
    if (word == "--version") {
      line.command = "version";
      return line;
    }
    std::string option = word, inlineValue;
    const std::string::size_type eq = word.find('=');
    const bool hasInline = eq != std::string::npos;
    if (hasInline) {
      option = word.substr(0, eq);
      inlineValue = word.substr(eq + 1);
    }
    try {
      ParseOption(line, option, inlineValue, hasInline, args);
      given.push_back(option);
    } catch (const HostError& error) {
      if (fault.empty()) fault = error.what();
    }
  }

  const std::string& cmd = line.command;
  if (cmd.empty()) throw UsageError(fault.empty() ? "no command given (see velmora-host --help)" : fault, cmd);
  if (!IsCommand(cmd))
    throw UsageError("unknown command '" + cmd + "' (use list, render, presets, compare, demo or edit)", cmd);
  if (!fault.empty()) throw UsageError(fault, cmd);
  for (const std::string& option : given)
    if (!OptionApplies(option, cmd))
      throw UsageError(option + " does not apply to " + cmd + " (see velmora-host --help)", cmd);

  if (cmd == "render") {
    RenderOptions& r = line.render;
    if (r.outDir.empty()) {
      if (positional.size() != 2)
        throw UsageError("render needs an input and an output file (render IN OUT), or inputs and --out-dir DIR", cmd);
      r.inputs = {positional[0]};
      r.outputPath = positional[1];
    } else {
      if (positional.empty()) throw UsageError("render --out-dir needs at least one input file", cmd);
      r.inputs = positional;
      if ((!r.saveState.empty() || !r.savePreset.empty()) && positional.size() > 1)
        throw UsageError("--save-state and --save-preset take a single input", cmd);
    }
    if (!r.loadState.empty() && !r.loadPreset.empty())
      throw UsageError("use either --load-state or --load-preset, not both", cmd);
  } else if (cmd == "compare") {
    if (positional.size() != 2) throw UsageError("compare needs two audio files: compare A B", cmd);
    line.compare.first = positional[0];
    line.compare.second = positional[1];
  } else if (!positional.empty()) {
    throw UsageError(cmd + " takes no file arguments, got '" + positional.front() + "'", cmd);
  }
  return line;
}

const char* UsageText() {
  return R"(Usage: velmora-host COMMAND [options]

Hosts a VST3 effect module (by default the Velmora module built next to this program). With no
arguments it prints this help and exits with status 1.

Commands:
  list                    factory, classes, buses and every parameter of the module
  render IN OUT           process audio file IN (any format libsndfile reads) into OUT, of the
                          kind its extension names (WAV without one); a mono IN gives a mono OUT,
                          with IN's title, artist, date and comment; "-" is standard input or
                          output, for what can be streamed (WAV, AIFF, AU, Ogg in; AU, FLAC, Ogg,
                          MP3 out); OUT may not be IN or another file the render reads
  render IN... --out-dir DIR
                          process several files on worker threads into DIR/<input name>.wav (or
                          the extension of --type)
  presets                 the effect's presets where hosts look for them, with their descriptions
  compare A B             null test: the largest difference, the RMS of the difference and the
                          first differing sample of two audio files; exit status 0 when they are
                          identical within --tol, 1 when not, 2 when they cannot be compared (or
                          the command line is wrong)
  demo                    synthesise a test programme and render it at several settings, with a
                          level plot and an editor picture per setting
  edit                    open the effect's editor in a window on the X display, playing nothing,
                          and print every parameter change made in it; close the window to quit

Options of several commands (a command refuses options that are not its own):
  --module PATH           the module: a .vst3 bundle directory or the shared object inside it
                          (every command but compare)
  --trace                 print what the effect reports about this host (contract breaches it
                          absorbed) to stderr (every command but compare)
  --json                  print the result of list, render, presets or compare as JSON
  -h, --help              show this help and exit
  --version               show the version and exit

Render options:
  --sidechain FILE        feed FILE to the auxiliary (sidechain) input bus
  --set NAME=STEP         set a parameter, by title or id, to a step (0 .. step count) or, for
                          Velmora, to what a step means: --set "Compressor Threshold=-24dB",
                          --set Ratio=4:1, --set "Compressor Recovery Time=Auto 1" (list shows
                          every step's meaning)
  --set-norm NAME=VALUE   set a parameter to a normalised value in [0, 1]
  --automate NAME=T:STEP,...
                          automate a parameter: a step at each time T in seconds, held until the
                          next one, delivered sample-accurately as a DAW delivers automation
  --automate-norm NAME=T:VALUE,...
                          automate a parameter with normalised values, ramping between points
  --automation FILE       automation lanes from a CSV file of time,parameter,step lines
  --automation-norm FILE  the same with normalised values, ramping between points
  --load-state FILE       restore a raw state stream before rendering
  --save-state FILE       store the raw state stream after rendering
  --load-preset PRESET    restore a .vstpreset file, or a preset by name (see presets)
  --save-preset FILE      store a .vstpreset file after rendering
  --block-size N          samples per process call (default 512)
  --precision 32|64       sample precision handed to the processor (default 32)
  --type T                the kind of output file, whatever its name (needed for standard
                          output): wav, aiff, flac, caf, w64, rf64, au, ogg (Vorbis), opus or mp3,
                          as far as this build's libsndfile writes them
  --format F              output samples: pcm16, pcm24, float (the default; pcm24 for FLAC, which
                          holds no float) or double; not for Ogg and MP3; fixed point is rounded
                          to the nearest step and clipped at full scale (the summary counts
                          clipped samples and warns of them), 16-bit with TPDF dither
  --strict                refuse a truncated input (audio that ends before its header says) instead
                          of rendering what is there with a warning
  --no-dither             16-bit output without dither (the dither is seeded: the same render
                          always gives the same bytes)
  --no-loudness           leave loudness and true peak out of the summary (measuring them takes
                          about as long as Velmora's own processing)
  --overwrite             let OUT replace an existing audio file (without it, an OUT that holds
                          audio is taken for a second input, and refused)
  --quiet                 no progress line and no summary (a --json summary is still printed;
                          warnings and errors still go to stderr); on a terminal, renders longer
                          than 20 s of audio otherwise show their progress on stderr: elapsed
                          time, speed in multiples of real time and the time left
  --out-dir DIR           write each input's output into DIR, named after the input
  --jobs N                worker threads for several inputs, one instance each (default: one per
                          core)

Compare options:
  --tol T                 the largest difference still counted as none: linear (1e-6) or in dBFS
                          (-120dB, at most 0dB); default 0

Demo options:
  --out DIR               where to write the demo's audio and pictures (default ./velmora-demo)

Edit options:
  --scale S               open the editor at display scale S, from 1 to 3 in any step (1.25, 1.5,
                          2, ...), as a host on a high-resolution screen asks for it (default 1)
)";
}

}  // namespace velmora_host
