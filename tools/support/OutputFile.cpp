#include "tools/support/OutputFile.h"

#include "tools/support/HostError.h"

#include "bitmap/LICE_FileSystem.h"

#include <cerrno>
#include <cstring>
#include <utility>

namespace velmora_host {

OutputFile::OutputFile(std::string finalPath) : mFinalPath(std::move(finalPath)) {
  // The process id keeps two hosts writing the same output from sharing a temporary file.
  const std::string::size_type slash = mFinalPath.find_last_of("/\\");
  const std::string dir = slash == std::string::npos ? std::string() : mFinalPath.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? mFinalPath : mFinalPath.substr(slash + 1);
  mTempPath = dir + "." + base + ".partial-" + std::to_string(LICE_Platform::ProcessId());
}

OutputFile::~OutputFile() {
  if (!mCommitted) LICE_Platform::RemoveFile(mTempPath.c_str());
}

void OutputFile::commit() {
  if (!LICE_Platform::RenameOver(mTempPath.c_str(), mFinalPath.c_str())) {
    const std::string reason = std::strerror(errno);
    throw HostError("cannot write " + mFinalPath + ": " + reason);
  }
  mCommitted = true;
}

}  // namespace velmora_host
