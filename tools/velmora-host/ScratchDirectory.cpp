#include "tools/velmora-host/ScratchDirectory.h"

#include "tools/velmora-host/HostError.h"

#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace velmora_host {

ScratchDirectory::ScratchDirectory(const std::string& parent) {
  std::string pattern = (parent.empty() ? std::string(".") : parent) + "/.velmora-scratch-XXXXXX";
  if (!::mkdtemp(pattern.data())) throw HostError("cannot make a work folder in " + parent + ": " + std::strerror(errno));
  mPath = pattern;
}

ScratchDirectory::~ScratchDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(mPath, ignored);
}

}  // namespace velmora_host
