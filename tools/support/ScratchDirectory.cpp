#include "tools/support/ScratchDirectory.h"

#include "tools/support/HostError.h"

#include "base/FileSystem.h"

#include <filesystem>
#include <system_error>

namespace velmora_host {

ScratchDirectory::ScratchDirectory(const std::string& parent) {
  // A name no other folder has: creating it fails when it exists, and then the next one is tried.
  const std::string stem = (parent.empty() ? std::string(".") : parent) + "/.velmora-scratch-" +
                           std::to_string(velmora_base::ProcessId()) + "-";
  std::error_code error;
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const std::string candidate = stem + std::to_string(attempt);
    if (std::filesystem::create_directory(std::filesystem::u8path(candidate), error)) {
      mPath = candidate;
      return;
    }
    if (error) break;
  }
  throw HostError("cannot make a work folder in " + parent + ": " +
                  (error ? error.message() : std::string("every name is taken")));
}

ScratchDirectory::~ScratchDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::u8path(mPath), ignored);
}

}  // namespace velmora_host
