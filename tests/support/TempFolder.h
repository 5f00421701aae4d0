#pragma once
// A fresh folder of its own for a test that writes files, removed with everything in it when the
// test ends. A fixture holds one and names its files through it.

#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

class TempFolder {
public:
  TempFolder() {
    std::string pattern = ::testing::TempDir() + "velmora-test-XXXXXX";
    if (mkdtemp(&pattern[0]))
      mDir = pattern;
    else
      ADD_FAILURE() << "cannot make a folder from " << pattern;
  }
  ~TempFolder() {
    std::error_code ec;
    if (!mDir.empty()) std::filesystem::remove_all(mDir, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Dir() const { return mDir; }
  std::string Path(const std::string& name) const { return mDir + "/" + name; }
  // The names of the folder's entries, sorted.
  std::vector<std::string> FileNames() const {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(mDir, ec))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

private:
  std::string mDir;
};
