// What render refuses or warns of so that nothing the user has is lost and nothing wrong passes in
// silence: outputs that would replace the files the render reads, inputs cut short.
#include "tests/velmora-host/HostTest.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;
using host_test::fileBytes;
using host_test::HostRun;
using host_test::HostTest;
using host_test::sine;
using host_test::writeWav;
using Json = nlohmann::json;

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

// Audio that ends before its header says (a copy or download broken off) renders what is there,
// with a warning on stderr and in the JSON summary; --strict refuses it and writes nothing. A
// header whose length is a streaming writer's placeholder is no truncation.
TEST_F(HostTest, TruncatedInputIsWarnedOfOrRefused) {
  const velmora_host::AudioData tone = sine(-12.0, 330.0, 0.5);
  writeWav(dir / "whole.wav", tone);
  fs::copy_file(dir / "whole.wav", dir / "cut.wav");
  fs::resize_file(dir / "cut.wav", fs::file_size(dir / "cut.wav") - 8 * 10000);  // 10000 stereo float frames
  {
    SF_INFO info{0, 44100, 2, SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 0, 0};
    SNDFILE* aiff = sf_open(path("whole.aiff").c_str(), SFM_WRITE, &info);
    ASSERT_NE(aiff, nullptr);
    std::vector<double> frames(2 * tone.FrameCount(), 0.1);
    sf_writef_double(aiff, frames.data(), static_cast<sf_count_t>(tone.FrameCount()));
    sf_close(aiff);
  }
  fs::copy_file(dir / "whole.aiff", dir / "cut.aiff");
  fs::resize_file(dir / "cut.aiff", fs::file_size(dir / "cut.aiff") - 4 * 5000);
  // The sizes a writer on a pipe leaves: unknown, not short.
  std::vector<char> streamed = fileBytes(dir / "whole.wav");
  for (const std::size_t at : {std::size_t{4}, streamed.size() - 8 * tone.FrameCount() - 4})
    std::fill(streamed.begin() + static_cast<std::ptrdiff_t>(at),
              streamed.begin() + static_cast<std::ptrdiff_t>(at + 4), '\xff');
  std::ofstream(dir / "streamed.wav", std::ios::binary)
      .write(streamed.data(), static_cast<std::streamsize>(streamed.size()));

  struct Case {
    const char* file;
    std::size_t frames;  // rendered
    bool truncated;
  };
  for (const Case& c : {Case{"cut.wav", 12050, true}, Case{"cut.aiff", 17050, true}, Case{"whole.wav", 22050, false},
                        Case{"whole.aiff", 22050, false}, Case{"streamed.wav", 22050, false}}) {
    SCOPED_TRACE(c.file);
    const HostRun run = host({"render", path(c.file), path("out.wav"), "--json", "--overwrite"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Json report = Json::parse(run.out)["renders"][0];
    EXPECT_EQ(report["frames"], c.frames);
    EXPECT_EQ(report["warnings"].size(), c.truncated ? 1u : 0u) << report["warnings"];
    EXPECT_EQ(run.err.find("velmora-host: warning: " + path(c.file) + " ends after "),
              c.truncated ? 0 : std::string::npos)
        << run.err;

    fs::remove(dir / "out.wav");
    const HostRun strict = host({"render", path(c.file), path("out.wav"), "--strict"});
    EXPECT_EQ(strict.exitCode, c.truncated ? 1 : 0) << strict.err;
    EXPECT_EQ(fs::exists(dir / "out.wav"), !c.truncated);
  }
  // A sidechain cut short is an input like the other.
  const HostRun keyed =
      host({"render", path("whole.wav"), path("keyed.wav"), "--sidechain", path("cut.wav"), "--strict"});
  EXPECT_EQ(keyed.exitCode, 1);
  EXPECT_NE(keyed.err.find("cut.wav ends after 12050 of the 22050 frames"), std::string::npos) << keyed.err;
}

// Velmora's "External Sidechain" hears the aux input: switched on (by a setting, a preset or the
// automation) without a sidechain file, the compressor and limiter hear silence. That is said once
// on stderr and in every file's JSON summary.
TEST_F(HostTest, SidechainSwitchedOnWithoutAFileIsWarnedOf) {
  writeWav(dir / "in.wav", sine(-6.0, 220.0, 0.2));
  struct Case {
    std::vector<std::string> args;
    bool warned;
  };
  const std::vector<Case> cases{
      {{"--set", "External Sidechain=1"}, true},
      {{"--load-preset", "Sidechain Ducking"}, true},
      {{"--automate", "External Sidechain=0:0,0.1:1"}, true},
      {{"--set", "External Sidechain=1", "--sidechain", path("in.wav")}, false},
      {{"--load-preset", "Sidechain Ducking", "--set", "External Sidechain=0"}, false},
      {{}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    std::vector<std::string> args{"render", path("in.wav"), path("out.wav"), "--json", "--overwrite"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const HostRun run = host(args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err.find("velmora-host: warning: \"External Sidechain\" is on"), c.warned ? 0 : std::string::npos)
        << run.err;
    EXPECT_EQ(Json::parse(run.out)["renders"][0]["warnings"].size(), c.warned ? 1u : 0u);
  }
}

// Ctrl+C, SIGTERM or SIGHUP (a scheduler's cancel) while files are being written: every partial
// output is removed, one render or a batch on two workers alike, and the host ends by the signal.
// The inputs are pipes the test holds open, so the renders are surely under way when it signals.
TEST_F(HostTest, CancelledRendersLeaveNoPartialOutputs) {
  writeWav(dir / "tone.wav", sine(-6.0, 220.0, 1.0));
  const std::vector<char> wav = fileBytes(dir / "tone.wav");
  fs::remove(dir / "tone.wav");
  const std::size_t firstPart = 48000;  // within a pipe's buffer: the header and some audio

  struct Case {
    int signal;
    std::vector<std::string> inputs;
    std::vector<std::string> extra;  // where the outputs go
    fs::path outputs;                // the folder they go into
    std::vector<std::string> never;  // outputs that must not appear
  };
  const std::vector<Case> cases{
      {SIGTERM, {"a.wav"}, {path("out.wav")}, dir, {"out.wav"}},
      {SIGHUP, {"a.wav"}, {path("out.flac")}, dir, {"out.flac"}},
      {SIGINT, {"a.wav", "b.wav"}, {"--out-dir", path("batch"), "--jobs", "2"}, dir / "batch", {"a.wav", "b.wav"}},
  };
  auto partials = [](const fs::path& folder) {
    std::size_t count = 0;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
      count += entry.path().filename().string().find(".partial-") != std::string::npos;
    return count;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(strsignal(c.signal));
    std::vector<int> pipes;
    std::vector<std::string> args{"render"};
    for (const std::string& input : c.inputs) {
      ASSERT_EQ(mkfifo(path(input).c_str(), 0600), 0);
      // Read and write: the open does not wait for the host, and the host sees the end only when
      // the test closes it.
      pipes.push_back(open(path(input).c_str(), O_RDWR | O_CLOEXEC));
      ASSERT_EQ(write(pipes.back(), wav.data(), firstPart), static_cast<ssize_t>(firstPart));
      args.push_back(path(input));
    }
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const host_test::StartedHost started = host_test::startHost(args, dir);
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (partials(c.outputs) < c.inputs.size() && std::chrono::steady_clock::now() < giveUp)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(partials(c.outputs), c.inputs.size());
    kill(started.pid, c.signal);
    for (const int pipe : pipes) close(pipe);
    const HostRun run = host_test::finishHost(started);
    EXPECT_EQ(run.signal, c.signal) << run.err;
    EXPECT_EQ(run.exitCode, 128 + c.signal);
    EXPECT_EQ(partials(c.outputs), 0u);
    for (const std::string& output : c.never) EXPECT_FALSE(fs::exists(c.outputs / output)) << output;
    for (const std::string& input : c.inputs) fs::remove(dir / input);
  }

  // The demo writes all its files under temporary names until the end: none of them stays.
  const host_test::StartedHost demo = host_test::startHost({"demo", "--out", path("demo")}, dir);
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (partials(dir / "demo") == 0 && std::chrono::steady_clock::now() < giveUp)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  kill(demo.pid, SIGINT);
  const HostRun run = host_test::finishHost(demo);
  EXPECT_EQ(run.signal, SIGINT) << run.err;
  EXPECT_TRUE(fs::is_empty(dir / "demo"));
}

}  // namespace
