#include "bitmap/LICE_Png.h"
#include "bitmap/LICE_PngEncode.h"
#include "tests/bitmap/BottomUpBitmap.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

void Fill(LICE_IBitmap& bmp) {
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x) LICE_RowAddress(bmp, y)[x] = LICE_MakePixel(10 * x, 20 * y, 7, 40 * x + y);
}

void ExpectSamePixels(const LICE_IBitmap& a, const LICE_IBitmap& b) {
  ASSERT_EQ(a.Width(), b.Width());
  ASSERT_EQ(a.Height(), b.Height());
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) EXPECT_EQ(LICE_RowAddress(a, y)[x], LICE_RowAddress(b, y)[x]) << x << "," << y;
}

std::vector<char> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class PngEncodeTest : public ::testing::Test {
protected:
  std::vector<std::string> Names() const { return temp.FileNames(); }
  TempFolder temp;
  const std::string dir = temp.Dir();
};

// Colour and alpha come back exactly (no premultiplying), top row first however the rows are
// stored.
TEST(PngEncode, RoundTripKeepsStraightAlphaAndRowOrder) {
  LICE_MemBitmap topDown(5, 3);
  BottomUpBitmap bottomUp(5, 3);
  for (LICE_IBitmap* bmp : {static_cast<LICE_IBitmap*>(&topDown), static_cast<LICE_IBitmap*>(&bottomUp)}) {
    SCOPED_TRACE(bmp->IsBottomUp() ? "bottom up" : "top down");
    Fill(*bmp);
    std::vector<unsigned char> bytes;
    ASSERT_TRUE(EncodeBitmapPng(bmp, bytes));
    std::unique_ptr<LICE_MemBitmap> back(DecodePngBuffer(bytes.data(), bytes.size()));
    ASSERT_NE(back, nullptr);
    ExpectSamePixels(*back, *bmp);
  }
}

TEST(PngEncode, NothingToEncodeGivesNoBytes) {
  std::vector<unsigned char> bytes{1, 2, 3};
  EXPECT_FALSE(EncodeBitmapPng(nullptr, bytes));
  EXPECT_TRUE(bytes.empty());
  bytes = {1, 2, 3};
  LICE_MemBitmap empty;
  EXPECT_FALSE(EncodeBitmapPng(&empty, bytes));
  EXPECT_TRUE(bytes.empty());
}

TEST_F(PngEncodeTest, WriteReplacesAFileWholeAndLeavesNothingElse) {
  const std::string path = dir + "/picture.png";
  std::ofstream(path) << "an older picture";
  LICE_MemBitmap bmp(7, 4);
  Fill(bmp);
  std::string error;
  ASSERT_TRUE(WriteBitmapPng(&bmp, path.c_str(), &error)) << error;
  std::vector<unsigned char> expected;
  ASSERT_TRUE(EncodeBitmapPng(&bmp, expected));
  const std::vector<char> written = FileBytes(path);
  EXPECT_EQ(std::vector<unsigned char>(written.begin(), written.end()), expected);
  EXPECT_EQ(Names(), std::vector<std::string>{"picture.png"});
}

// Every failure says why in one line, leaves no temporary file and keeps what was there.
TEST_F(PngEncodeTest, FailuresSayWhyAndLeaveTheFolderAsItWas) {
  fs::create_directory(dir + "/taken.png");
  std::ofstream(dir + "/keep.png") << "keep me";
  LICE_MemBitmap bmp(3, 2), empty;
  Fill(bmp);
  struct Case {
    const char* what;
    const LICE_IBitmap* bitmap;
    std::string path;
    const char* reason;
  };
  const Case cases[] = {
      {"missing folder", &bmp, dir + "/missing/x.png", "cannot write"},
      {"a folder in the way", &bmp, dir + "/taken.png", "cannot write"},
      {"no path", &bmp, "", "no output file named"},
      {"no bitmap", nullptr, dir + "/keep.png", "nothing to write"},
      {"empty bitmap", &empty, dir + "/keep.png", "nothing to write"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string error;
    EXPECT_FALSE(WriteBitmapPng(c.bitmap, c.path.c_str(), &error));
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    std::vector<std::string> names = Names();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"keep.png", "taken.png"}));
  }
  EXPECT_FALSE(WriteBitmapPng(&bmp, nullptr));
  const std::vector<char> kept = FileBytes(dir + "/keep.png");
  EXPECT_EQ(std::string(kept.begin(), kept.end()), "keep me");
}

}  // namespace
