#include "base/FileSystem.h"

#include "base/platform/win32/WideText.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <string>

namespace {

// UTF-8 to UTF-16; invalid UTF-8 gives an empty name, which no file has.
std::wstring Wide(const char* text) { return text ? velmora_base::WideFromUtf8(text) : std::wstring(); }

void SetErrnoFromLastError() {
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME: errno = ENOENT; break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: errno = EACCES; break;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS: errno = EEXIST; break;
    case ERROR_DISK_FULL: errno = ENOSPC; break;
    default: errno = EIO; break;
  }
}

}  // namespace

namespace velmora_base {

std::FILE* OpenFile(const char* path, const char* mode) {
  const std::wstring name = Wide(path);
  const std::wstring wideMode = Wide(mode);
  if (name.empty()) {
    errno = ENOENT;
    return nullptr;
  }
  return _wfopen(name.c_str(), wideMode.c_str());
}

std::FILE* CreateNewFile(const char* path) {
  const std::wstring name = Wide(path);
  if (name.empty()) {
    errno = ENOENT;
    return nullptr;
  }
  const int fd = _wopen(name.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
  if (fd < 0) return nullptr;
  std::FILE* file = _fdopen(fd, "wb");
  if (!file) _close(fd);
  return file;
}

bool RenameOver(const char* from, const char* to) {
  const std::wstring source = Wide(from);
  const std::wstring target = Wide(to);
  if (source.empty() || target.empty()) {
    errno = ENOENT;
    return false;
  }
  // rename() on Windows refuses an existing target.
  if (MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  SetErrnoFromLastError();
  return false;
}

bool RemoveFile(const char* path) {
  const std::wstring name = Wide(path);
  if (name.empty()) {
    errno = ENOENT;
    return false;
  }
  return _wremove(name.c_str()) == 0;
}

long ProcessId() { return static_cast<long>(GetCurrentProcessId()); }

}  // namespace velmora_base
