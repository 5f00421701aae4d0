#pragma once
// A file that libsndfile writes through its virtual I/O with a large stdio buffer in between.
// libsndfile converts and hands over audio 8 KiB at a time, which through its own file access is
// one system call each; through this buffer it is one per megabyte, with the same bytes landing
// in the file.
#include <sndfile.h>

#include <cstdio>
#include <memory>
#include <string>

namespace velmora_host {

class BufferedSoundFile {
public:
  // Creates (or truncates) path for writing; Open() answers false when that failed, with errno
  // telling why.
  explicit BufferedSoundFile(const std::string& path);
  ~BufferedSoundFile();
  BufferedSoundFile(const BufferedSoundFile&) = delete;
  BufferedSoundFile& operator=(const BufferedSoundFile&) = delete;

  bool Open() const { return mStream != nullptr; }
  // A sound file on top of this one (null on failure, as sf_open); it must be closed before this
  // object goes away.
  SNDFILE* OpenForWriting(SF_INFO* info);
  // Everything written onto the disk, and the file closed (Windows renames no open file); false
  // (with errno) if any write failed.
  bool Close();

private:
  static SF_VIRTUAL_IO sIo;
  std::unique_ptr<char[]> mBuffer;  // given to stdio, which would otherwise take 4 KiB
  std::FILE* mStream = nullptr;
};

}  // namespace velmora_host
