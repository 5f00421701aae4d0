#include "tools/velmora-snapshot/SnapshotOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

bool Fail(std::string* error, const std::string& message) {
  *error = message;
  return false;
}

// "--name=value" or "--name value": the value, consuming the next argument in the second form.
bool OptionValue(int argc, const char* const* argv, int* i, const char* name, std::string* value, bool* matched,
                 std::string* error) {
  const char* arg = argv[*i];
  const size_t n = std::strlen(name);
  *matched = false;
  if (std::strncmp(arg, name, n) != 0) return true;
  if (arg[n] == '=') {
    *matched = true;
    *value = arg + n + 1;
  } else if (arg[n] == '\0') {
    *matched = true;
    if (*i + 1 >= argc) return Fail(error, std::string(name) + " needs a value");
    *value = argv[++*i];
  } else {
    return true;  // a longer option that merely starts the same way
  }
  if (value->empty()) return Fail(error, std::string(name) + " needs a value");
  return true;
}

// A display scale: digits with at most one decimal point between digits, from 1 to 3, or 4.
bool ParseScale(const std::string& text, double* scale) {
  const size_t point = text.find('.');
  const std::string whole = text.substr(0, point);
  const std::string fraction = point == std::string::npos ? "0" : text.substr(point + 1);
  auto digits = [](const std::string& t) {
    return !t.empty() && t.size() <= 8 && t.find_first_not_of("0123456789") == std::string::npos;
  };
  if (!digits(whole) || !digits(fraction)) return false;
  const double v = std::strtod(text.c_str(), nullptr);
  if (!(v >= 1.0 && v <= kMaxDrawnSnapshotScale) && v != kEnlargedSnapshotScale) return false;
  *scale = v;
  return true;
}

bool ParseSeconds(const std::string& text, double* seconds) {
  errno = 0;
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (errno != 0 || end == text.c_str() || *end != '\0' || !std::isfinite(v) || v < 0.0) return false;
  *seconds = v;
  return true;
}

}  // namespace

bool ParseSnapshotArguments(int argc, const char* const* argv, SnapshotOptions* options, std::string* error) {
  *options = SnapshotOptions();
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      options->action = SnapshotOptions::ShowHelp;
      return true;
    }
    if (arg == "--list") {
      options->action = SnapshotOptions::ListParameters;
      continue;
    }

    std::string value;
    bool matched = false;
    if (!OptionValue(argc, argv, &i, "--set", &value, &matched, error)) return false;
    if (matched) {
      const size_t eq = value.rfind('=');
      if (eq == std::string::npos || eq == 0 || eq + 1 == value.size())
        return Fail(error, "--set needs NAME_OR_ID=STEP, got \"" + value + "\"");
      options->steps.push_back(StepAssignment{value.substr(0, eq), value.substr(eq + 1)});
      continue;
    }
    if (!OptionValue(argc, argv, &i, "--input", &value, &matched, error)) return false;
    if (matched) {
      options->input = value;
      continue;
    }
    if (!OptionValue(argc, argv, &i, "--sidechain", &value, &matched, error)) return false;
    if (matched) {
      options->sidechain = value;
      continue;
    }
    if (!OptionValue(argc, argv, &i, "--scale", &value, &matched, error)) return false;
    if (matched) {
      if (!ParseScale(value, &options->scale))
        return Fail(error, "--scale needs a scale from 1 to 3 (such as 1.5) or 4, got \"" + value + "\"");
      continue;
    }
    if (!OptionValue(argc, argv, &i, "--bundle", &value, &matched, error)) return false;
    if (matched) {
      options->bundle = value;
      continue;
    }
    if (!OptionValue(argc, argv, &i, "--at", &value, &matched, error)) return false;
    if (matched) {
      if (!ParseSeconds(value, &options->stopSeconds))
        return Fail(error, "--at needs a time in seconds (0 or more), got \"" + value + "\"");
      options->hasStopTime = true;
      continue;
    }

    if (arg.size() > 1 && arg[0] == '-') return Fail(error, "unknown option " + arg);
    if (!options->output.empty()) return Fail(error, "more than one output file: " + options->output + ", " + arg);
    options->output = arg;
  }

  if (options->action == SnapshotOptions::ListParameters) return true;
  if (!options->bundle.empty()) {
    // The browser pictures show the plug-in as it opens; nothing else goes with them.
    if (!options->output.empty() || !options->steps.empty() || !options->input.empty() || options->hasStopTime ||
        options->scale != 1.0)
      return Fail(error, "--bundle takes no output file and no other option");
    return true;
  }
  if (options->output.empty()) return Fail(error, "no output file given (velmora-snapshot OUT.png ...)");
  if (!options->sidechain.empty() && options->input.empty()) return Fail(error, "--sidechain needs --input");
  if (options->hasStopTime && options->input.empty()) return Fail(error, "--at needs --input");
  return true;
}

const char* SnapshotUsage() {
  return "usage: velmora-snapshot OUT.png [--set NAME_OR_ID=STEP ...] [--input FILE [--sidechain FILE]]\n"
         "                        [--at SECONDS] [--scale S]\n"
         "       velmora-snapshot --bundle BUNDLE.vst3\n"
         "       velmora-snapshot --list\n"
         "\n"
         "Paints the Velmora editor, without a window, into OUT.png (404 x 634 at scale 1).\n"
         "  --set NAME_OR_ID=STEP  parameter by title (any case) or id 0..12, at a step 0..max (see --list)\n"
         "  --input FILE           process the audio file (mono or stereo, at its own rate) first, so the\n"
         "                         meter shows the gain reduction of that material\n"
         "  --sidechain FILE       feed this file to the sidechain input (used with \"External Sidechain=1\")\n"
         "  --at SECONDS           stop processing at this time; by default the picture is taken at the\n"
         "                         editor refresh with the largest meter reading, once the meter's start-up\n"
         "                         sweep has settled (after 0.4 s), else at the end of the file\n"
         "  --scale S              draw the editor at display scale S, from 1 to 3 in any step (1.25, 1.5, 2,\n"
         "                         ...), as a host on a scaled screen shows it: from the artwork drawn at\n"
         "                         2x, so 2 is that artwork itself; the picture is S times 404 x 634,\n"
         "                         rounded. 4 is the editor drawn at 2, enlarged twice with a cubic filter\n"
         "  --bundle BUNDLE.vst3   write the pictures hosts show in their plug-in browsers into the bundle:\n"
         "                         Contents/Resources/Snapshots/<class id>_snapshot.png and\n"
         "                         <class id>_snapshot_2.0x.png, the editor as it opens\n"
         "  --list                 list the parameters with their ids and step ranges\n";
}
