#include "tools/session/AutomationText.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace velmora_host {

namespace {

bool ParseNumber(const std::string& text, double& value) {
  std::string::size_type begin = text.find_first_not_of(" \t");
  std::string::size_type end = text.find_last_not_of(" \t\r");
  if (begin == std::string::npos) return false;
  const std::string trimmed = text.substr(begin, end - begin + 1);
  char* stop = nullptr;
  errno = 0;
  value = std::strtod(trimmed.c_str(), &stop);
  return errno == 0 && stop == trimmed.c_str() + trimmed.size() && std::isfinite(value);
}

std::string Trim(const std::string& text) {
  const std::string::size_type begin = text.find_first_not_of(" \t");
  if (begin == std::string::npos) return {};
  return text.substr(begin, text.find_last_not_of(" \t\r") - begin + 1);
}

// Adds a point to a lane, keeping time order; `where` names it in messages.
bool AddPoint(AutomationLane& lane, double seconds, double value, const std::string& where, std::string* error) {
  if (seconds < 0.0)
    *error = where + ": a time of " + std::to_string(seconds) + " s lies before the start";
  else if (!lane.points.empty() && seconds < lane.points.back().seconds)
    *error = where + ": points of \"" + lane.target + "\" must come in time order";
  else if (lane.normalised && (value < 0.0 || value > 1.0))
    *error = where + ": a normalised value lies between 0 and 1";
  else {
    lane.points.push_back(AutomationPoint{seconds, value, where});
    return true;
  }
  return false;
}

// Splits one CSV line; quoted fields may hold commas and doubled quotes.
std::optional<std::vector<std::string>> SplitCsv(const std::string& line, const std::string& where,
                                                 std::string* error) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        fields.back() += c;
      }
    } else if (c == '"' && Trim(fields.back()).empty()) {
      fields.back().clear();
      quoted = true;
    } else if (c == ',') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  if (quoted) {
    *error = where + ": a quoted field is not closed";
    return std::nullopt;
  }
  return fields;
}

}  // namespace

std::optional<AutomationLane> ParseAutomateOption(const std::string& text, bool normalised, std::string* error) {
  const std::string where = std::string(normalised ? "--automate-norm " : "--automate ") + text;
  const std::string::size_type eq = text.rfind('=');
  if (eq == std::string::npos || eq == 0 || eq + 1 == text.size()) {
    *error = where + ": expected NAME=TIME:VALUE,TIME:VALUE,...";
    return std::nullopt;
  }
  AutomationLane lane;
  lane.target = text.substr(0, eq);
  lane.normalised = normalised;
  const std::string points = text.substr(eq + 1);
  std::string::size_type start = 0;
  while (start <= points.size()) {
    const std::string::size_type comma = points.find(',', start);
    const std::string pair = points.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    const std::string::size_type colon = pair.find(':');
    double seconds = 0.0, value = 0.0;
    if (colon == std::string::npos || !ParseNumber(pair.substr(0, colon), seconds) ||
        !ParseNumber(pair.substr(colon + 1), value)) {
      *error = where + ": '" + pair + "' is not TIME:VALUE (seconds and a number)";
      return std::nullopt;
    }
    if (!AddPoint(lane, seconds, value, where, error)) return std::nullopt;
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return lane;
}

std::optional<std::vector<AutomationLane>> ReadAutomationFile(const std::string& path, bool normalised,
                                                              std::string* error) {
  std::ifstream in(std::filesystem::u8path(path));
  if (!in) {
    *error = "cannot read automation file " + path;
    return std::nullopt;
  }
  std::vector<AutomationLane> lanes;
  std::string line;
  bool first = true;
  for (int number = 1; std::getline(in, line); ++number) {
    const std::string where = path + ":" + std::to_string(number);
    const std::string content = Trim(line);
    if (content.empty() || content[0] == '#') continue;
    const std::optional<std::vector<std::string>> split = SplitCsv(line, where, error);
    if (!split) return std::nullopt;
    const std::vector<std::string>& fields = *split;
    double seconds = 0.0, value = 0.0;
    const bool timed = fields.size() == 3 && ParseNumber(fields[0], seconds);
    if (!timed && first && fields.size() == 3) {  // a header line
      first = false;
      continue;
    }
    first = false;
    const std::string target = fields.size() == 3 ? Trim(fields[1]) : std::string();
    std::string fault;
    if (fields.size() != 3)
      fault = "expected time,parameter,value";
    else if (!timed)
      fault = "'" + Trim(fields[0]) + "' is not a time in seconds";
    else if (!ParseNumber(fields[2], value))
      fault = "'" + Trim(fields[2]) + "' is not a number";
    else if (target.empty())
      fault = "no parameter named";
    if (!fault.empty()) {
      *error = where + ": " + fault;
      return std::nullopt;
    }
    AutomationLane* lane = nullptr;
    for (AutomationLane& existing : lanes)
      if (existing.target == target) lane = &existing;
    if (!lane) {
      lanes.push_back(AutomationLane{target, normalised, {}});
      lane = &lanes.back();
    }
    if (!AddPoint(*lane, seconds, value, where, error)) return std::nullopt;
  }
  if (in.bad())
    *error = "cannot read automation file " + path;
  else if (lanes.empty())
    *error = "automation file " + path + " holds no points";
  else
    return lanes;
  return std::nullopt;
}

}  // namespace velmora_host
