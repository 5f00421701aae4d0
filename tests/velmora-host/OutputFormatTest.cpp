// What render writes: fixed point rounded and dithered, clipping reported.
#include "tests/velmora-host/HostTest.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>

using host_test::fileBytes;
using host_test::HostRun;
using host_test::HostTest;
using host_test::sine;
using host_test::writeWav;
using velmora_host::AudioData;
using velmora_host::readAudioFile;
using Json = nlohmann::json;

namespace {

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
    const AudioData out =
        render("in.wav", format + ".wav", with(kPassThrough, {"--format", format, "--no-dither"}));
    ASSERT_EQ(out.frameCount(), in.frameCount());
    std::size_t wrong = 0;
    for (std::size_t c = 0; c < 2; ++c)
      for (std::size_t i = 0; i < in.frameCount(); ++i)
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
  for (std::size_t i = 0; i < in.frameCount(); ++i) {
    const double x = static_cast<float>(in.channels[0][i]) * 32768.0;
    const double error = out.channels[0][i] * 32768.0 - x;
    bias += error;
    power += error * error;
    rounded += out.channels[0][i] * 32768.0 == std::nearbyint(x);
  }
  const auto n = static_cast<double>(in.frameCount());
  EXPECT_NEAR(bias / n, 0.0, 0.02);
  EXPECT_NEAR(power / n, 0.25, 0.02);  // rounding's twelfth of a step squared and the dither's sixth
  EXPECT_LT(rounded, in.frameCount() * 3 / 4);
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

}  // namespace
