#include "bitmap/LICE_Png.h"
#include "tests/support/TempFolder.h"
#include "tools/levelplot/LevelPlot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <vector>

namespace fs = std::filesystem;

namespace {

LevelTrace SampleTrace() {
  const size_t frames = 44100 * 3;
  std::vector<float> in(frames), out(frames);
  for (size_t i = 0; i < frames; ++i) {
    const double t = double(i) / 44100.0;
    in[i] = static_cast<float>((t < 1.5 ? 0.8 : 0.1) * std::sin(2.0 * M_PI * 200.0 * t));
    out[i] = in[i] * (t < 1.5 ? 0.3f : 1.0f);
  }
  return ComputeLevelTrace(in.data(), out.data(), frames, 1, 44100.0);
}

class LevelPlotTest : public ::testing::Test {
protected:
  size_t FileCount() const { return temp.FileNames().size(); }
  TempFolder temp;
  const std::string dir = temp.Dir();
};

TEST_F(LevelPlotTest, WritesAPngOfThePlotSize) {
  const std::string path = dir + "/levels.png";
  std::string error;
  ASSERT_TRUE(WriteLevelPlot(SampleTrace(), "heavy compression", path.c_str(), &error)) << error;
  std::unique_ptr<LICE_IBitmap> png(DecodePngFile(path.c_str(), true));
  ASSERT_NE(png, nullptr);
  EXPECT_EQ(png->Width(), kLevelPlotWidth);
  EXPECT_EQ(png->Height(), kLevelPlotHeight);
  EXPECT_EQ(FileCount(), 1u);
}

TEST_F(LevelPlotTest, FailuresSayWhyAndLeaveNoFile) {
  std::string error;
  EXPECT_FALSE(WriteLevelPlot(LevelTrace(), "empty", (dir + "/empty.png").c_str(), &error));
  EXPECT_EQ(error, "no levels to plot");
  error.clear();
  EXPECT_FALSE(WriteLevelPlot(SampleTrace(), nullptr, (dir + "/missing/levels.png").c_str(), &error));
  EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
  EXPECT_EQ(FileCount(), 0u);
}

}  // namespace
