#include "tools/support/OutputFile.h"

#include "base/FileSystem.h"

#include <cerrno>
#include <cstring>
#include <utility>

namespace velmora_host {

OutputFile::OutputFile(std::string finalPath) : mFinalPath(std::move(finalPath)) {
  // The process id keeps two hosts writing the same output from sharing a temporary file.
  const std::string::size_type slash = mFinalPath.find_last_of("/\\");
  const std::string dir = slash == std::string::npos ? std::string() : mFinalPath.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? mFinalPath : mFinalPath.substr(slash + 1);
  mTempPath = dir + "." + base + ".partial-" + std::to_string(velmora_base::ProcessId());
}

OutputFile::~OutputFile() {
  if (!mCommitted) velmora_base::RemoveFile(mTempPath.c_str());
}

bool OutputFile::Commit(std::string* error) {
  if (!velmora_base::RenameOver(mTempPath.c_str(), mFinalPath.c_str())) {
    const std::string reason = std::strerror(errno);
    *error = "cannot write " + mFinalPath + ": " + reason;
    return false;
  }
  mCommitted = true;
  return true;
}

}  // namespace velmora_host
