#pragma once
// A private folder for work in progress, made inside a given folder (so its files can be renamed
// into place there) and removed with everything in it when it goes out of scope, on success and
// failure alike. What a helper program leaves behind when it fails ends up nowhere else.
#include <string>

namespace velmora_host {

class ScratchDirectory {
public:
  // Throws HostError when the folder cannot be made.
  explicit ScratchDirectory(const std::string& parent);
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::string& Path() const { return mPath; }

private:
  std::string mPath;
};

}  // namespace velmora_host
