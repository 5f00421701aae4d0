#pragma once
// The one failure type of the command-line host. Every fault the user can cause (a missing module,
// an unreadable file, an unknown parameter) becomes one of these with a message that fits on one
// line; main() prints it and exits non-zero, so no code path needs its own error reporting.
#include <stdexcept>
#include <string>

namespace velmora_host {

class HostError : public std::runtime_error {
public:
  explicit HostError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace velmora_host
