#pragma once
// The one failure type of the command-line host's programs. The libraries answer a failure with a
// status and a one-line reason and never throw one of these; a program turns it into one of these
// at its edge (a command), and main() prints it and exits non-zero, so no code path needs its own
// error reporting.
#include <stdexcept>
#include <string>
#include <utility>

namespace velmora_host {

class HostError : public std::runtime_error {
public:
  explicit HostError(const std::string& message) : std::runtime_error(message) {}
};

// A command line that cannot be obeyed, found before anything is done; `command` is the command
// it names (empty when none), whose usage errors may answer a status of their own.
class UsageError : public HostError {
public:
  UsageError(const std::string& message, std::string command) : HostError(message), mCommand(std::move(command)) {}
  const std::string& Command() const { return mCommand; }

private:
  std::string mCommand;
};

// A library's null or empty answer as a HostError with the reason it gave: `auto reader =
// OrThrow(AudioFileReader::Open(path, &error), error);`.
template <typename Result>
Result OrThrow(Result result, const std::string& error) {
  if (!result) throw HostError(error);
  return result;
}

}  // namespace velmora_host
