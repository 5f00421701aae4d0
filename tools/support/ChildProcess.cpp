#include "tools/support/ChildProcess.h"

#include "tools/support/HostError.h"
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

void RunChildProcess(const std::vector<std::string>& argv) {
  if (argv.empty() || argv.front().empty()) throw HostError("no program to run");
  const std::string& program = argv.front();
  const std::string name = ProgramName(program);

  const ChildOutcome outcome = RunToCompletion(argv);
  if (!outcome.startError.empty()) throw HostError("cannot start " + program + ": " + outcome.startError);
  if (!outcome.signalled && outcome.status == 0) return;

  const std::string said = FirstLine(outcome.errorOutput);
  if (outcome.signalled)
    throw HostError(name + " was ended by signal " + std::to_string(outcome.status) + " (" + outcome.signalName + ")" +
                    (said.empty() ? std::string() : ": " + said));
  if (!said.empty()) throw HostError(said);
  throw HostError(name + " failed with exit status " + std::to_string(outcome.status));
}

}  // namespace velmora_host
