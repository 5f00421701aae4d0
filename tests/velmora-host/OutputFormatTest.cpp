// What render writes: the kind of file its name asks for, mono for mono, the input's metadata,
// streams on standard input and output; fixed point rounded and dithered, clipping reported.
#include "tests/velmora-host/HostTest.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <utility>

using host_test::fileBytes;
using host_test::HostRun;
using host_test::HostTest;
using host_test::readAudio;
using host_test::runHost;
using host_test::sine;
using host_test::writeWav;
using velmora_host::AudioData;
using Json = nlohmann::json;

namespace {

namespace fs = std::filesystem;

// libsndfile's format word of a file, 0 when it cannot be read.
int fileFormat(const std::string& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) return 0;
  sf_close(file);
  return info.format;
}

// The host's own bypass passes the input through untouched, so the file shows the conversion alone.
const std::vector<std::string> kPassThrough{"--set-norm", "1651532147=1"};

std::vector<std::string> with(std::vector<std::string> args, const std::vector<std::string>& more) {
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

// Fixed point holds the nearest step to each sample, not the step below it.
TEST_F(HostTest, FixedPointIsRoundedToTheNearestStep) {
  const AudioData in = sine(-3.0, 441.7, 0.3);
  writeWav(dir / "in.wav", in);
  for (const auto& [format, scale] : {std::pair<std::string, double>{"pcm16", 32768.0}, {"pcm24", 8388608.0}}) {
    SCOPED_TRACE(format);
    const AudioData out = render("in.wav", format + ".wav", with(kPassThrough, {"--format", format, "--no-dither"}));
    ASSERT_EQ(out.FrameCount(), in.FrameCount());
    std::size_t wrong = 0;
    for (std::size_t c = 0; c < 2; ++c)
      for (std::size_t i = 0; i < in.FrameCount(); ++i)
        wrong += out.channels[c][i] != std::nearbyint(static_cast<float>(in.channels[c][i]) * scale) / scale;
    EXPECT_EQ(wrong, 0u);
  }
}

// 16-bit output is dithered by default: the error is noise around the signal, not a bias under it,
// and the same render gives the same bytes whatever the block size.
TEST_F(HostTest, SixteenBitOutputIsDitheredReproducibly) {
  const AudioData in = sine(-20.0, 997.0, 0.5);
  writeWav(dir / "in.wav", in);
  const AudioData out = render("in.wav", "a.wav", with(kPassThrough, {"--format", "pcm16"}));
  render("in.wav", "b.wav", with(kPassThrough, {"--format", "pcm16", "--block-size", "37"}));
  EXPECT_EQ(fileBytes(dir / "a.wav"), fileBytes(dir / "b.wav"));
  double bias = 0.0, power = 0.0;
  std::size_t rounded = 0;
  for (std::size_t i = 0; i < in.FrameCount(); ++i) {
    const double x = static_cast<float>(in.channels[0][i]) * 32768.0;
    const double error = out.channels[0][i] * 32768.0 - x;
    bias += error;
    power += error * error;
    rounded += out.channels[0][i] * 32768.0 == std::nearbyint(x);
  }
  const auto n = static_cast<double>(in.FrameCount());
  EXPECT_NEAR(bias / n, 0.0, 0.02);
  EXPECT_NEAR(power / n, 0.25, 0.02);  // rounding's twelfth of a step squared and the dither's sixth
  EXPECT_LT(rounded, in.FrameCount() * 3 / 4);
}

// A render pushed beyond full scale into 16 bits: the summary gives the levels of what the file
// holds, counts the clipped samples per channel and warns; the same render in float has nothing
// to clip.
TEST_F(HostTest, ClippingIsCountedAndWarnedOf) {
  writeWav(dir / "in.wav", sine(-1.0, 220.0, 0.5));
  const std::vector<std::string> loud{"--set", "Gain=10", "--json"};
  const HostRun clipped = host(with({"render", path("in.wav"), path("clipped.wav"), "--format", "pcm16"}, loud));
  ASSERT_EQ(clipped.exitCode, 0) << clipped.err;
  EXPECT_EQ(clipped.err.rfind("velmora-host: warning: " + path("clipped.wav") + ": ", 0), 0u) << clipped.err;
  EXPECT_EQ(std::count(clipped.err.begin(), clipped.err.end(), '\n'), 1) << clipped.err;
  const Json report = Json::parse(clipped.out)["renders"][0];
  EXPECT_EQ(report["warnings"].size(), 1u);
  EXPECT_TRUE(report["dither"].get<bool>());
  const Json& out = report["out"];
  EXPECT_GT(out["clipped_samples"].get<std::uint64_t>(), 10000u);
  EXPECT_EQ(out["clipped_samples"], out["channels"][0]["clipped_samples"].get<std::uint64_t>() +
                                        out["channels"][1]["clipped_samples"].get<std::uint64_t>());
  EXPECT_LE(out["channels"][0]["peak_dbfs"].get<double>(), 0.0);
  EXPECT_LE(out["true_peak_dbtp"].get<double>(), 1.0);

  const HostRun open = host(with({"render", path("in.wav"), path("float.wav")}, loud));
  ASSERT_EQ(open.exitCode, 0) << open.err;
  EXPECT_EQ(open.err, "");
  const Json floatReport = Json::parse(open.out)["renders"][0];
  EXPECT_EQ(floatReport["out"]["clipped_samples"], 0);
  EXPECT_GT(floatReport["out"]["channels"][0]["peak_dbfs"].get<double>(), 6.0);

  const HostRun text = host({"render", path("in.wav"), path("text.wav"), "--format", "pcm16", "--set", "Gain=10"});
  EXPECT_NE(text.out.find("clipped"), std::string::npos) << text.out;
  EXPECT_NE(text.err.find("clipped"), std::string::npos) << text.err;
}

// The output's extension chooses the kind of file (--type overrides it), --format the sample type
// where the kind has a choice; lossless kinds hold what WAV holds at the same sample type.
TEST_F(HostTest, OutputTypeFollowsTheExtension) {
  writeWav(dir / "in.wav", sine(-6.0, 330.0, 0.3));
  struct Case {
    const char* output;
    std::vector<std::string> options;
    int format;  // 0: refused
  };
  const std::vector<Case> cases{
      {"a.wav", {}, SF_FORMAT_WAV | SF_FORMAT_FLOAT},
      {"a.flac", {}, SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
      {"b.flac", {"--format", "pcm16"}, SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
      {"a.aiff", {"--format", "pcm24"}, SF_FORMAT_AIFF | SF_FORMAT_PCM_24},
      {"A.AIF", {}, SF_FORMAT_AIFF | SF_FORMAT_FLOAT},
      {"a.caf", {"--format", "double"}, SF_FORMAT_CAF | SF_FORMAT_DOUBLE},
      {"a.ogg", {}, SF_FORMAT_OGG | SF_FORMAT_VORBIS},
      {"a.mp3", {}, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III},
      {"a.take", {"--type", "flac"}, SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
      {"noextension", {}, SF_FORMAT_WAV | SF_FORMAT_FLOAT},
      {"a.m4a", {}, 0},
      {"c.flac", {"--format", "float"}, 0},
      {"b.ogg", {"--format", "pcm16"}, 0},
      {"a.opus", {}, 0},  // Opus runs at 48 kHz and below, not at the input's 44.1 kHz
      {"b.wav", {"--type", "m4a"}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.output);
    std::vector<std::string> args{"render", path("in.wav"), path(c.output), "--no-loudness"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const HostRun run = host(args);
    EXPECT_EQ(run.exitCode, c.format ? 0 : 1) << run.err;
    EXPECT_EQ(fileFormat(path(c.output)), c.format);
    if (!c.format) {
      EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
  }
  render("in.wav", "b.wav", {"--format", "pcm16"});
  EXPECT_EQ(readAudio(path("b.flac")).channels, readAudio(path("b.wav")).channels);
  EXPECT_EQ(readAudio(path("A.AIF")).channels, readAudio(path("a.wav")).channels);
}

// Title, artist, date and comment (and the other texts libsndfile knows) go from the input into an
// output that can hold them.
TEST_F(HostTest, MetadataIsCarriedOver) {
  const AudioData tone = sine(-12.0, 220.0, 0.2);
  {
    SF_INFO info{0, 44100, 2, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0};
    SNDFILE* file = sf_open(path("tagged.wav").c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr);
    sf_set_string(file, SF_STR_TITLE, "Night Drive");
    sf_set_string(file, SF_STR_ARTIST, "The Velmoras");
    sf_set_string(file, SF_STR_DATE, "2024-05-01");
    sf_set_string(file, SF_STR_COMMENT, "take 3");
    std::vector<double> frames(2 * tone.FrameCount(), 0.1);
    sf_writef_double(file, frames.data(), static_cast<sf_count_t>(tone.FrameCount()));
    sf_close(file);
  }
  for (const char* output : {"out.wav", "out.flac"}) {
    SCOPED_TRACE(output);
    render("tagged.wav", output);
    SF_INFO info{};
    SNDFILE* file = sf_open(path(output).c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr);
    auto text = [&](int kind) {
      const char* value = sf_get_string(file, kind);
      return std::string(value ? value : "");
    };
    EXPECT_EQ(text(SF_STR_TITLE), "Night Drive");
    EXPECT_EQ(text(SF_STR_ARTIST), "The Velmoras");
    EXPECT_EQ(text(SF_STR_DATE), "2024-05-01");
    EXPECT_EQ(text(SF_STR_COMMENT), "take 3");
    sf_close(file);
  }
}

// "-" reads standard input and writes standard output, for what can be read or written as a stream;
// with audio on standard output the summary goes to standard error. Other kinds are refused clearly.
TEST_F(HostTest, StandardInputAndOutputCarryStreams) {
  writeWav(dir / "in.wav", sine(-6.0, 330.0, 0.3));
  render("in.wav", "reference.wav");

  const HostRun fromStdin = runHost({"render", "-", path("from-stdin.wav")}, dir, dir / "in.wav", {});
  ASSERT_EQ(fromStdin.exitCode, 0) << fromStdin.err;
  EXPECT_EQ(fileBytes(dir / "from-stdin.wav"), fileBytes(dir / "reference.wav"));

  const HostRun toStdout = runHost({"render", path("in.wav"), "-", "--type", "au"}, dir, {}, dir / "stdout.au");
  ASSERT_EQ(toStdout.exitCode, 0) << toStdout.err;
  EXPECT_NE(toStdout.err.find("peak out"), std::string::npos) << toStdout.err;
  EXPECT_EQ(readAudio(path("stdout.au")).channels, readAudio(path("reference.wav")).channels);

  // Through real pipes: a WAV stream in, FLAC out; WAV cannot be written to a pipe, FLAC not read.
  const std::string host = "'" + std::string(VELMORA_HOST_EXE) + "'";
  // The host's exit status and what it said on standard error, wherever it stands in the pipe.
  auto piped = [&](const std::string& before, const std::string& args, const std::string& after) {
    const std::string command = "cd '" + dir.string() + "' && " + before + "(" + host + " " + args +
                                " 2>host-errors.txt; echo $? >host-status.txt)" + after;
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream status(dir / "host-status.txt"), errors(dir / "host-errors.txt");
    int code = -1;
    status >> code;
    return HostRun{code, "", std::string(std::istreambuf_iterator<char>(errors), std::istreambuf_iterator<char>())};
  };
  const HostRun flacOut = piped("cat in.wav | ", "render - - --type flac --no-loudness", " | cat > piped.flac");
  EXPECT_EQ(flacOut.exitCode, 0) << flacOut.err;
  EXPECT_EQ(readAudio(path("piped.flac")).channels.size(), 2u);
  EXPECT_EQ(readAudio(path("piped.flac")).FrameCount(), readAudio(path("reference.wav")).FrameCount());
  const HostRun wavOut = piped("", "render in.wav - --type wav", " | cat > /dev/null");
  EXPECT_EQ(wavOut.exitCode, 1);
  EXPECT_EQ(wavOut.err.rfind("velmora-host: cannot write WAV to standard output: ", 0), 0u) << wavOut.err;
  const HostRun flacIn = piped("cat piped.flac | ", "render - never.wav", "");
  EXPECT_EQ(flacIn.exitCode, 1);
  EXPECT_EQ(flacIn.err.rfind("velmora-host: cannot read audio from standard input: ", 0), 0u) << flacIn.err;
  EXPECT_FALSE(fs::exists(dir / "never.wav"));
}

}  // namespace
