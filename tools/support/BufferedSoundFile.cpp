#include "tools/support/BufferedSoundFile.h"

#include "tools/support/HostPlatform.h"

#include "base/FileSystem.h"

#include <cerrno>

namespace velmora_host {

namespace {

constexpr std::size_t kBufferBytes = 1 << 20;

std::FILE* Stream(void* user) { return static_cast<std::FILE*>(user); }

sf_count_t Length(void* user) { return FileLength(Stream(user)); }

sf_count_t Seek(sf_count_t offset, int whence, void* user) {
  std::FILE* f = Stream(user);
  if (SeekFile(f, offset, whence) != 0) return -1;
  return TellFile(f);
}

sf_count_t Read(void* ptr, sf_count_t count, void* user) {
  return static_cast<sf_count_t>(std::fread(ptr, 1, static_cast<std::size_t>(count), Stream(user)));
}

sf_count_t Write(const void* ptr, sf_count_t count, void* user) {
  return static_cast<sf_count_t>(std::fwrite(ptr, 1, static_cast<std::size_t>(count), Stream(user)));
}

sf_count_t Tell(void* user) { return TellFile(Stream(user)); }

}  // namespace

SF_VIRTUAL_IO BufferedSoundFile::sIo = {Length, Seek, Read, Write, Tell};

BufferedSoundFile::BufferedSoundFile(const std::string& path)
    : mBuffer(new char[kBufferBytes]), mStream(velmora_base::OpenFile(path.c_str(), "w+b")) {
  if (mStream) std::setvbuf(mStream, mBuffer.get(), _IOFBF, kBufferBytes);
}

BufferedSoundFile::~BufferedSoundFile() {
  if (mStream) std::fclose(mStream);
}

SNDFILE* BufferedSoundFile::OpenForWriting(SF_INFO* info) {
  return mStream ? sf_open_virtual(&sIo, SFM_WRITE, info, mStream) : nullptr;
}

bool BufferedSoundFile::Close() {
  if (!mStream) return false;
  const bool written = !std::ferror(mStream) && SyncFile(mStream);
  const int savedErrno = errno;
  const bool closed = std::fclose(mStream) == 0;
  mStream = nullptr;
  if (!written) errno = savedErrno;
  return written && closed;
}

}  // namespace velmora_host
