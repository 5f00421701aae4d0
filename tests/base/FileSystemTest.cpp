#include "base/FileSystem.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <string>

namespace {

std::string ReadAll(const std::string& path) {
  std::string text;
  if (std::FILE* f = velmora_base::OpenFile(path.c_str(), "rb")) {
    char buffer[64];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
    std::fclose(f);
  }
  return text;
}

bool WriteNew(const std::string& path, const std::string& text) {
  std::FILE* f = velmora_base::CreateNewFile(path.c_str());
  if (!f) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && written;
}

// Names beyond ASCII reach the file system as the same name on every platform (Windows takes
// them through its wide-character calls), and a new file never replaces an existing one.
TEST(FileSystem, Utf8NamesCreateReplaceAndRemove) {
  TempFolder folder;
  const std::string target = folder.Path("Kompressor \xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xB5.txt");
  const std::string partial = target + ".partial";

  ASSERT_TRUE(WriteNew(target, "first"));
  errno = 0;
  EXPECT_EQ(velmora_base::CreateNewFile(target.c_str()), nullptr) << "the name is taken";
  EXPECT_EQ(errno, EEXIST);
  EXPECT_EQ(ReadAll(target), "first");

  ASSERT_TRUE(WriteNew(partial, "second"));
  EXPECT_TRUE(velmora_base::RenameOver(partial.c_str(), target.c_str())) << "replaces in one step";
  EXPECT_EQ(ReadAll(target), "second");
  EXPECT_EQ(velmora_base::OpenFile(partial.c_str(), "rb"), nullptr);

  EXPECT_TRUE(velmora_base::RemoveFile(target.c_str()));
  EXPECT_FALSE(velmora_base::RemoveFile(target.c_str()));
  EXPECT_EQ(velmora_base::OpenFile(target.c_str(), "rb"), nullptr);
  EXPECT_GT(velmora_base::ProcessId(), 0);
}

}  // namespace
