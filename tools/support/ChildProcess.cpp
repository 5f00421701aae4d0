#include "tools/support/ChildProcess.h"

#include "tools/support/HostPlatform.h"

namespace velmora_host {

namespace {

std::string ProgramName(const std::string& path) {
  const std::string::size_type slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FirstLine(const std::string& text) {
  std::string::size_type begin = 0;
  while (begin < text.size()) {
    std::string::size_type end = text.find('\n', begin);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(begin, end - begin);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
    if (!line.empty()) return line;
    begin = end + 1;
  }
  return std::string();
}

}  // namespace

bool RunChildProcess(const std::vector<std::string>& argv, std::string* error) {
  if (argv.empty() || argv.front().empty()) {
    *error = "no program to run";
    return false;
  }
  const std::string& program = argv.front();
  const std::string name = ProgramName(program);

  const ChildOutcome outcome = RunToCompletion(argv);
  if (!outcome.startError.empty()) {
    *error = "cannot start " + program + ": " + outcome.startError;
    return false;
  }
  if (!outcome.signalled && outcome.status == 0) return true;

  const std::string said = FirstLine(outcome.errorOutput);
  if (outcome.signalled)
    *error = name + " was ended by signal " + std::to_string(outcome.status) + " (" + outcome.signalName + ")" +
             (said.empty() ? std::string() : ": " + said);
  else if (!said.empty())
    *error = said;
  else
    *error = name + " failed with exit status " + std::to_string(outcome.status);
  return false;
}

}  // namespace velmora_host
