#pragma once
// A fresh folder of its own for a test that writes files, removed with everything in it when the
// test ends. A fixture holds one and names its files through it.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>
#include <vector>

class TempFolder {
public:
  // Creating a folder fails when the name exists, so a name another test (or test program) has
  // taken is passed over; the same on every platform.
  TempFolder() {
    std::random_device seed;
    std::mt19937_64 names(seed());
    std::error_code ec;
    for (int attempt = 0; attempt < 100 && mDir.empty(); ++attempt) {
      const std::string candidate = ::testing::TempDir() + "velmora-test-" + std::to_string(names());
      if (std::filesystem::create_directory(candidate, ec)) mDir = candidate;
    }
    if (mDir.empty()) ADD_FAILURE() << "cannot make a folder in " << ::testing::TempDir() << ": " << ec.message();
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
