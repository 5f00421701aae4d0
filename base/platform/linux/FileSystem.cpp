#include "base/FileSystem.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace velmora_base {

std::FILE* OpenFile(const char* path, const char* mode) { return std::fopen(path, mode); }

std::FILE* CreateNewFile(const char* path) {
  const int fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  std::FILE* file = ::fdopen(fd, "wb");
  if (!file) ::close(fd);
  return file;
}

bool RenameOver(const char* from, const char* to) { return std::rename(from, to) == 0; }

bool RemoveFile(const char* path) { return ::unlink(path) == 0; }

long ProcessId() { return static_cast<long>(::getpid()); }

}  // namespace velmora_base
