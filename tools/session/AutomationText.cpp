#include "tools/session/AutomationText.h"

#include "tools/support/HostError.h"

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
void AddPoint(AutomationLane& lane, double seconds, double value, const std::string& where) {
  if (seconds < 0.0) throw HostError(where + ": a time of " + std::to_string(seconds) + " s lies before the start");
  if (!lane.points.empty() && seconds < lane.points.back().seconds)
    throw HostError(where + ": points of \"" + lane.target + "\" must come in time order");
  if (lane.normalised && (value < 0.0 || value > 1.0))
    throw HostError(where + ": a normalised value lies between 0 and 1");
  lane.points.push_back(AutomationPoint{seconds, value, where});
}

// Splits one CSV line; quoted fields may hold commas and doubled quotes.
std::vector<std::string> SplitCsv(const std::string& line, const std::string& where) {
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
  if (quoted) throw HostError(where + ": a quoted field is not closed");
  return fields;
}

}  // namespace

AutomationLane ParseAutomateOption(const std::string& text, bool normalised) {
  const std::string where = std::string(normalised ? "--automate-norm " : "--automate ") + text;
  const std::string::size_type eq = text.rfind('=');
  if (eq == std::string::npos || eq == 0 || eq + 1 == text.size())
    throw HostError(where + ": expected NAME=TIME:VALUE,TIME:VALUE,...");
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
        !ParseNumber(pair.substr(colon + 1), value))
      throw HostError(where + ": '" + pair + "' is not TIME:VALUE (seconds and a number)");
    AddPoint(lane, seconds, value, where);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return lane;
}

std::vector<AutomationLane> ReadAutomationFile(const std::string& path, bool normalised) {
  std::ifstream in(std::filesystem::u8path(path));
  if (!in) throw HostError("cannot read automation file " + path);
  std::vector<AutomationLane> lanes;
  std::string line;
  bool first = true;
  for (int number = 1; std::getline(in, line); ++number) {
    const std::string where = path + ":" + std::to_string(number);
    const std::string content = Trim(line);
    if (content.empty() || content[0] == '#') continue;
    const std::vector<std::string> fields = SplitCsv(line, where);
    double seconds = 0.0, value = 0.0;
    const bool timed = fields.size() == 3 && ParseNumber(fields[0], seconds);
    if (!timed && first && fields.size() == 3) {  // a header line
      first = false;
      continue;
    }
    first = false;
    if (fields.size() != 3) throw HostError(where + ": expected time,parameter,value");
    if (!timed) throw HostError(where + ": '" + Trim(fields[0]) + "' is not a time in seconds");
    if (!ParseNumber(fields[2], value)) throw HostError(where + ": '" + Trim(fields[2]) + "' is not a number");
    const std::string target = Trim(fields[1]);
    if (target.empty()) throw HostError(where + ": no parameter named");
    AutomationLane* lane = nullptr;
    for (AutomationLane& existing : lanes)
      if (existing.target == target) lane = &existing;
    if (!lane) {
      lanes.push_back(AutomationLane{target, normalised, {}});
      lane = &lanes.back();
    }
    AddPoint(*lane, seconds, value, where);
  }
  if (in.bad()) throw HostError("cannot read automation file " + path);
  if (lanes.empty()) throw HostError("automation file " + path + " holds no points");
  return lanes;
}

}  // namespace velmora_host
