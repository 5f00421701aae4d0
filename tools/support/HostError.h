#pragma once
// The one failure type of the command-line host. Every fault the user can cause (a missing module,
// an unreadable file, an unknown parameter) becomes one of these with a message that fits on one
// line; main() prints it and exits non-zero, so no code path needs its own error reporting.
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

}  // namespace velmora_host
