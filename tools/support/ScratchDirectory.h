#pragma once
// A private folder for work in progress, made inside a given folder (so its files can be renamed
// into place there) and removed with everything in it when it goes out of scope, on success and
// failure alike. What a helper program leaves behind when it fails ends up nowhere else.
#include <memory>
#include <string>
#include <utility>

namespace velmora_host {

class ScratchDirectory {
public:
  // The new folder; null when it cannot be made, with the reason in `error`.
  static std::unique_ptr<ScratchDirectory> Create(const std::string& parent, std::string* error);
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::string& Path() const { return mPath; }

private:
  explicit ScratchDirectory(std::string path) : mPath(std::move(path)) {}
  std::string mPath;
};

}  // namespace velmora_host
