#pragma once
// Parameter automation as the user writes it, before a module is loaded: lanes of (time, value)
// points for a parameter named by title or id. Two sources:
//   --automate "Compressor Threshold=0:15,2.5:3,4:3"  (seconds:value pairs, one lane)
//   --automation FILE                                  (CSV lines "time,parameter,value", any lanes)
// Values are steps, each held until the next point, or with the -norm forms normalised values that
// ramp linearly between points, as a DAW's automation lane does. Before its first point a lane
// holds the first point's value, after its last the last one.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace velmora_host {

struct AutomationPoint {
  double seconds = 0.0;
  double value = 0.0;
  std::string where;  // where the point was written, for error messages ("--automate ...", "a.csv:3")
};

struct AutomationLane {
  std::string target;                   // a title, a decimal id or a 0x hexadecimal id
  bool normalised = false;              // normalised values ramping between points; else steps held
  std::vector<AutomationPoint> points;  // in time order (equal times allowed: a jump)
};

// "NAME=T:V,T:V,..." (split at the last '='). Empty when it is not that, with the reason, naming the
// argument, in `error`.
std::optional<AutomationLane> ParseAutomateOption(const std::string& text, bool normalised, std::string* error);

// A CSV file of "time,parameter,value" lines; blank lines and lines starting with '#' are skipped,
// as is a first line whose time is not a number (a header). A field may be quoted ("a, b", with ""
// for a quote). One lane per parameter, in order of first appearance. Empty when the file cannot be
// read or holds no points or a line that is none, with the reason, naming the file and line, in
// `error`.
std::optional<std::vector<AutomationLane>> ReadAutomationFile(const std::string& path, bool normalised,
                                                              std::string* error);

}  // namespace velmora_host
