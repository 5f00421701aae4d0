// What render refuses so that nothing the user has is lost: outputs that would replace the files
// the render reads.
#include "tests/velmora-host/HostTest.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;
using host_test::fileBytes;
using host_test::HostRun;
using host_test::HostTest;
using host_test::sine;
using host_test::writeWav;

namespace {

// Every way an output can be a file the render reads: refused before anything is written, the
// file keeps its bytes, and nothing else appears.
TEST_F(HostTest, OutputsNeverReplaceWhatTheRenderReads) {
  writeWav(dir / "in.wav", sine(-6.0, 440.0, 0.2));
  writeWav(dir / "key.wav", sine(-6.0, 90.0, 0.2));
  std::ofstream(dir / "lanes.csv") << "0,Ratio,1\n";
  ASSERT_EQ(host({"render", path("in.wav"), path("x.wav"), "--save-state", path("saved.state")}).exitCode, 0);
  fs::remove(dir / "x.wav");
  fs::create_symlink(dir / "in.wav", dir / "symlink.wav");
  fs::create_hard_link(dir / "in.wav", dir / "hardlink.wav");
  const std::string in = path("in.wav");

  const std::vector<std::vector<std::string>> cases{
      {"render", in, in},
      {"render", in, in, "--overwrite"},
      {"render", in, path("symlink.wav"), "--overwrite"},
      {"render", in, path("hardlink.wav"), "--overwrite"},
      {"render", path("symlink.wav"), path("./in.wav"), "--overwrite"},
      {"render", in, path("key.wav"), "--sidechain", path("key.wav"), "--overwrite"},
      {"render", in, path("out.wav"), "--save-state", in},
      {"render", in, path("out.wav"), "--save-preset", path("lanes.csv"), "--automation", path("lanes.csv")},
      {"render", in, path("out.wav"), "--load-state", path("saved.state"), "--save-state", path("saved.state")},
      {"render", in, path("out.wav"), "--save-state", path("out.wav")},
      {"render", in, "--out-dir", dir.string()},
  };
  for (const std::vector<std::string>& args : cases) {
    SCOPED_TRACE(::testing::PrintToString(args));
    std::map<std::string, std::vector<char>> before;
    for (const auto& entry : fs::directory_iterator(dir)) before[entry.path().filename()] = fileBytes(entry.path());
    const HostRun run = host(args);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    std::map<std::string, std::vector<char>> after;
    for (const auto& entry : fs::directory_iterator(dir)) after[entry.path().filename()] = fileBytes(entry.path());
    EXPECT_TRUE(after == before) << run.err;
  }
}

// `render a.wav b.wav` from a pattern that matched two files would make b.wav the output: an
// output that already holds audio is refused unless --overwrite says to replace it. An output
// made in advance without audio (an empty file from mktemp) is simply written.
TEST_F(HostTest, ExistingAudioIsOnlyReplacedWhenAsked) {
  writeWav(dir / "a.wav", sine(-6.0, 440.0, 0.2));
  writeWav(dir / "b.wav", sine(-6.0, 220.0, 0.2));
  const std::vector<char> second = fileBytes(dir / "b.wav");
  const HostRun twoInputs = host({"render", path("a.wav"), path("b.wav")});
  EXPECT_EQ(twoInputs.exitCode, 1);
  EXPECT_NE(twoInputs.err.find("--out-dir"), std::string::npos) << twoInputs.err;
  EXPECT_EQ(fileBytes(dir / "b.wav"), second);

  render("a.wav", "fresh.wav");
  render("a.wav", "b.wav", {"--overwrite"});
  EXPECT_EQ(fileBytes(dir / "b.wav"), fileBytes(dir / "fresh.wav"));
  std::ofstream(dir / "empty.wav").close();
  render("a.wav", "empty.wav");
  EXPECT_EQ(fileBytes(dir / "empty.wav"), fileBytes(dir / "fresh.wav"));
}

}  // namespace
