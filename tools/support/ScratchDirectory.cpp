#include "tools/support/ScratchDirectory.h"

#include "base/FileSystem.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace velmora_host {

std::unique_ptr<ScratchDirectory> ScratchDirectory::Create(const std::string& parent, std::string* error) {
  // A name no other folder has: creating it fails when it exists, and then the next one is tried.
  const std::string stem = (parent.empty() ? std::string(".") : parent) + "/.velmora-scratch-" +
                           std::to_string(velmora_base::ProcessId()) + "-";
  std::error_code failure;
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::string candidate = stem + std::to_string(attempt);
    if (std::filesystem::create_directory(std::filesystem::u8path(candidate), failure))
      return std::unique_ptr<ScratchDirectory>(new ScratchDirectory(std::move(candidate)));
    if (failure) break;
  }
  *error = "cannot make a work folder in " + parent + ": " +
           (failure ? failure.message() : std::string("every name is taken"));
  return nullptr;
}

ScratchDirectory::~ScratchDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::u8path(mPath), ignored);
}

}  // namespace velmora_host
