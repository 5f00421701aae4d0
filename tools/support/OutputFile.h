#pragma once
// A file that appears under its final name only when it is complete. Writers fill a temporary
// file in the same directory (so the final rename cannot cross file systems) and call Commit();
// if anything fails before that, the destructor removes the temporary file and the final name is
// never touched, so a failed run leaves no partial output behind.
#include <string>

namespace velmora_host {

class OutputFile {
public:
  explicit OutputFile(std::string finalPath);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Where to write the contents.
  const std::string& TempPath() const { return mTempPath; }
  const std::string& FinalPath() const { return mFinalPath; }

  // Renames the temporary file to the final name; false, with the reason in `error`, if that fails.
  bool Commit(std::string* error);

private:
  std::string mFinalPath;
  std::string mTempPath;
  bool mCommitted = false;
};

}  // namespace velmora_host
