#pragma once
// The command line of velmora-snapshot:
//   velmora-snapshot OUT.png [--set NAME_OR_ID=STEP ...] [--input FILE [--sidechain FILE]]
//                    [--at SECONDS] [--scale S]
//   velmora-snapshot --bundle BUNDLE.vst3
//   velmora-snapshot --list | --help

#include <string>
#include <vector>

struct StepAssignment {
  std::string parameter;  // title (any case) or id, as given
  std::string step;       // as given; checked against the parameter later
};

struct SnapshotOptions {
  enum Action { TakeSnapshot, ListParameters, ShowHelp };
  Action action = TakeSnapshot;
  std::string output;
  std::vector<StepAssignment> steps;  // in command-line order; a later one for the same parameter wins
  std::string input;                  // empty: no audio, the editor as it opens
  std::string sidechain;
  bool hasStopTime = false;
  double stopSeconds = 0.0;
  double scale = 1.0;  // the editor drawn at this display scale (see kEnlargedSnapshotScale)
  std::string bundle;  // --bundle: the plug-in's browser pictures, 1x and 2x, into this bundle
};

// --scale takes any decimal scale the editor draws at (IGraphics' 1 to 3), and 4: beyond the
// editor's range, that picture is the editor drawn at 2 and enlarged twice with a cubic filter.
constexpr double kMaxDrawnSnapshotScale = 3.0;
constexpr int kEnlargedSnapshotScale = 4;

// False with a one-line reason in *error for a command line that cannot be run.
bool ParseSnapshotArguments(int argc, const char* const* argv, SnapshotOptions* options, std::string* error);

const char* SnapshotUsage();
