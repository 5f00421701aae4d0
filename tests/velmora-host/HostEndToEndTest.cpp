// The built velmora-host driving the built Velmora module, as a user would run it.
#include "tests/velmora-host/HostTest.h"

#include "bitmap/LICE_Png.h"
#include "tools/levelplot/LevelPlot.h"
#include "tools/support/AudioFile.h"
#include "tools/support/LevelStats.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <set>

namespace fs = std::filesystem;
using host_test::fileBytes;
using host_test::HostRun;
using host_test::HostTest;
using host_test::readAudio;
using host_test::rmsDb;
using host_test::runHost;
using host_test::sine;
using host_test::writeWav;

namespace {

TEST_F(HostTest, RenderAtDefaultsKeepsFormatAndPrintsSummary) {
  writeWav(dir / "in.wav", sine(-20.0, 440.0, 0.5));
  const HostRun run = host({"render", path("in.wav"), path("out.wav")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("peak in"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("channel 2"), std::string::npos) << run.out;

  const auto out = readAudio(path("out.wav"));
  ASSERT_EQ(out.ChannelCount(), 2u);
  EXPECT_EQ(out.FrameCount(), 22050u);
  EXPECT_EQ(out.sampleRate, 44100.0);
  // -20 dBFS lies under both thresholds at the defaults: the level passes nearly unchanged
  // (the fixed presence peak and colour add a fraction of a dB).
  EXPECT_NEAR(rmsDb(out, 0.1), -23.01, 0.5);
}

// A mono input feeds both channels of the effect and comes out mono: the two channels the effect
// makes of it, which are alike but for its first milliseconds (its smoothers step once per
// channel), averaged into one.
TEST_F(HostTest, MonoInputFeedsBothChannelsAndComesOutMono) {
  const velmora_host::AudioData tone = sine(-20.0, 440.0, 0.25, 1);
  writeWav(dir / "mono.wav", tone);
  velmora_host::AudioData doubled = tone;
  doubled.channels.push_back(tone.channels[0]);
  writeWav(dir / "stereo.wav", doubled);
  const auto mono = render("mono.wav", "mono-out.wav", {"--format", "double"});
  const auto stereo = render("stereo.wav", "stereo-out.wav", {"--format", "double"});
  ASSERT_EQ(mono.ChannelCount(), 1u);
  ASSERT_EQ(mono.FrameCount(), stereo.FrameCount());
  std::size_t unlike = 0;
  for (std::size_t i = 0; i < mono.FrameCount(); ++i) {
    const double left = stereo.channels[0][i], right = stereo.channels[1][i];
    unlike += left != right;
    if (i >= 2000) {
      ASSERT_EQ(left, right) << i;
    }
    ASSERT_EQ(mono.channels[0][i], left == right ? left : (left + right) / 2) << i;
  }
  EXPECT_GT(unlike, 0u);
  EXPECT_NEAR(rmsDb(mono, 0.1), -23.01, 0.5);
}

TEST_F(HostTest, ParametersByTitleIdAndNormalisedValueAgree) {
  writeWav(dir / "in.wav", sine(-6.0, 220.0, 0.5));
  const auto defaults = render("in.wav", "defaults.wav");
  // Threshold step 0 (-30 dB) with ratio step 4 (6:1) compresses a -6 dBFS tone hard.
  render("in.wav", "title.wav", {"--set", "Compressor Threshold=0", "--set", "Ratio=4"});
  render("in.wav", "id.wav", {"--set", "0=0", "--set=4=4"});
  render("in.wav", "norm.wav", {"--set-norm", "Compressor Threshold=0", "--set-norm", "ratio=1.0"});
  EXPECT_EQ(fileBytes(dir / "title.wav"), fileBytes(dir / "id.wav"));
  EXPECT_EQ(fileBytes(dir / "title.wav"), fileBytes(dir / "norm.wav"));
  const auto compressed = readAudio(path("title.wav"));
  EXPECT_LT(rmsDb(compressed, 0.2), rmsDb(defaults, 0.2) - 6.0);
}

TEST_F(HostTest, ExternalSidechainLowersQuietMainOnlyWhenKeyIsLoud) {
  writeWav(dir / "quiet.wav", sine(-20.0, 440.0, 0.5));
  writeWav(dir / "loud.wav", sine(-1.0, 100.0, 0.5));
  writeWav(dir / "silent.wav", sine(-300.0, 100.0, 0.5));

  // Without a key file the aux input is silent (and render says so; see RenderSafetyTest).
  const HostRun unkeyed = host({"render", path("quiet.wav"), path("alone.wav"), "--set", "External Sidechain=1"});
  ASSERT_EQ(unkeyed.exitCode, 0) << unkeyed.err;
  const auto alone = readAudio(path("alone.wav"));
  const auto keyed =
      render("quiet.wav", "keyed.wav", {"--set", "External Sidechain=1", "--sidechain", path("loud.wav")});
  const double quietIn = rmsDb(readAudio(path("quiet.wav")), 0.2);
  EXPECT_NEAR(rmsDb(alone, 0.2), quietIn, 0.5);  // nothing in the key: unreduced
  EXPECT_LT(rmsDb(keyed, 0.2), quietIn - 4.0);   // the loud key pulls it down

  // A loud main with a silent key passes both stages, while its own level would be limited.
  const auto loudOwn = render("loud.wav", "own.wav");
  const auto loudKeyedSilent =
      render("loud.wav", "silentkey.wav", {"--set", "External Sidechain=1", "--sidechain", path("silent.wav")});
  const double loudIn = rmsDb(readAudio(path("loud.wav")), 0.2);
  EXPECT_NEAR(rmsDb(loudKeyedSilent, 0.2), loudIn, 0.5);
  EXPECT_LT(rmsDb(loudOwn, 0.2), loudIn - 4.0);
}

TEST_F(HostTest, SavedStateAndPresetReproduceTheRender) {
  writeWav(dir / "in.wav", sine(-6.0, 330.0, 0.4));
  const std::vector<std::string> settings{"--set", "Compressor Threshold=4", "--set", "Gain=3", "--set", "Mix=15",
                                          "--set", "High Pass Filter=3"};
  std::vector<std::string> saving = settings;
  saving.insert(saving.end(), {"--save-state", path("velmora.state"), "--save-preset", path("velmora.vstpreset")});
  render("in.wav", "set.wav", saving);

  render("in.wav", "state.wav", {"--load-state", path("velmora.state")});
  render("in.wav", "preset.wav", {"--load-preset", path("velmora.vstpreset")});
  render("in.wav", "plain.wav");
  EXPECT_EQ(fileBytes(dir / "set.wav"), fileBytes(dir / "state.wav"));
  EXPECT_EQ(fileBytes(dir / "set.wav"), fileBytes(dir / "preset.wav"));
  EXPECT_NE(fileBytes(dir / "set.wav"), fileBytes(dir / "plain.wav"));

  // Velmora's host state: thirteen doubles and the bypass word; the preset is a VST3 preset file.
  EXPECT_EQ(fileBytes(dir / "velmora.state").size(), 13u * 8u + 4u);
  const auto preset = fileBytes(dir / "velmora.vstpreset");
  ASSERT_GE(preset.size(), 4u);
  EXPECT_EQ(std::string(preset.data(), 4), "VST3");

  // Saving again after loading gives the same files back.
  render("in.wav", "again.wav",
         {"--load-preset", path("velmora.vstpreset"), "--save-state", path("again.state"), "--save-preset",
          path("again.vstpreset")});
  EXPECT_EQ(fileBytes(dir / "again.state"), fileBytes(dir / "velmora.state"));
  EXPECT_EQ(fileBytes(dir / "again.vstpreset"), fileBytes(dir / "velmora.vstpreset"));
}

// A preset file names its class by the class id's text, which Windows hosts write in COM byte order
// (the first eight bytes as a GUID's little-endian fields) and Linux hosts in byte order: a preset
// saved on the other platform names the same class and loads; another class's id does not.
TEST_F(HostTest, APresetNamingTheClassInEitherByteOrderLoads) {
  writeWav(dir / "in.wav", sine(-6.0, 330.0, 0.4));
  render("in.wav", "set.wav",
         {"--set", "Compressor Threshold=4", "--set", "Gain=3", "--save-preset", path("here.vstpreset")});
  std::vector<char> preset = fileBytes(dir / "here.vstpreset");
  ASSERT_GE(preset.size(), 40u);
  // The header: "VST3", a 32-bit version, then the class id's 32 hexadecimal digits.
  const std::string here(preset.begin() + 8, preset.begin() + 40);
  std::string other;
  for (int byte : {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15}) other += here.substr(2 * byte, 2);
  ASSERT_NE(other, here);
  std::copy(other.begin(), other.end(), preset.begin() + 8);
  std::ofstream(dir / "there.vstpreset", std::ios::binary)
      .write(preset.data(), static_cast<std::streamsize>(preset.size()));
  render("in.wav", "there.wav", {"--load-preset", path("there.vstpreset")});
  EXPECT_EQ(fileBytes(dir / "there.wav"), fileBytes(dir / "set.wav"));

  preset[39] = preset[39] == '0' ? '1' : '0';
  std::ofstream(dir / "foreign.vstpreset", std::ios::binary)
      .write(preset.data(), static_cast<std::streamsize>(preset.size()));
  EXPECT_NE(host({"render", path("in.wav"), path("x.wav"), "--load-preset", path("foreign.vstpreset")}).exitCode, 0);
}

TEST_F(HostTest, SixtyFourAndThirtyTwoBitProcessingAgree) {
  writeWav(dir / "in.wav", sine(-3.0, 1000.0, 0.3));
  const auto single = render("in.wav", "32.wav", {"--precision", "32", "--format", "double", "--set", "Gain=4"});
  const auto dbl = render("in.wav", "64.wav", {"--precision", "64", "--format", "double", "--set", "Gain=4"});
  ASSERT_EQ(single.FrameCount(), dbl.FrameCount());
  double largest = 0.0;
  for (std::size_t c = 0; c < 2; ++c)
    for (std::size_t i = 0; i < single.FrameCount(); ++i)
      largest = std::max(largest, std::fabs(single.channels[c][i] - dbl.channels[c][i]));
  EXPECT_LT(largest, 1e-6);
  EXPECT_NE(fileBytes(dir / "32.wav"), fileBytes(dir / "64.wav"));  // really two paths
}

TEST_F(HostTest, IdenticalCommandsGiveIdenticalBytesWhateverTheBlockSize) {
  writeWav(dir / "in.wav", sine(-2.0, 150.0, 0.4));
  writeWav(dir / "key.wav", sine(-6.0, 60.0, 0.2));  // shorter than the input: padded with silence
  const std::vector<std::string> common{"--sidechain",          path("key.wav"), "--set",
                                        "External Sidechain=1", "--format",      "pcm24"};
  auto with = [&](std::vector<std::string> extra) {
    extra.insert(extra.end(), common.begin(), common.end());
    return extra;
  };
  render("in.wav", "a.wav", with({}));
  render("in.wav", "b.wav", with({}));
  render("in.wav", "c.wav", with({"--block-size", "37"}));
  render("in.wav", "d.wav", with({"--block-size", "4096"}));
  render("in.wav", "e.wav", with({"--trace"}));  // a host that keeps the contract hears nothing
  const auto a = fileBytes(dir / "a.wav");
  EXPECT_EQ(a, fileBytes(dir / "b.wav"));
  EXPECT_EQ(a, fileBytes(dir / "c.wav"));
  EXPECT_EQ(a, fileBytes(dir / "d.wav"));
  EXPECT_EQ(a, fileBytes(dir / "e.wav"));
}

TEST_F(HostTest, ListShowsBusesAndParametersWithTheirMeaning) {
  const HostRun run = host({"list"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  for (const char* expected :
       {"\"Corvanta\"", "Fx|Dynamics", "\"Main Input\"", "\"Aux Input\"", "\"Output\"", "Preset", "'bpas'"})
    EXPECT_NE(run.out.find(expected), std::string::npos) << expected << "\n" << run.out;
  // Parameter rows: title, steps, default step, the effect's own text in its unit, and for Velmora
  // what that text leaves unsaid.
  // Compared with every run of blanks squeezed to one, whatever widths the columns take.
  std::string squeezed;
  for (char c : run.out)
    if (c != ' ' || squeezed.empty() || squeezed.back() != ' ') squeezed += c;
  for (const char* row :
       {"Compressor Threshold 15 15 0 dB\n", "Limit Level 22 22 -8 dB\n", "Ratio 4 2 3:1 knee 1 x threshold\n",
        "Compressor Recovery Time 5 1 400 ms\n", "Bypass 1 1 Processed\n", "GR Select 1 0 Compressor\n"})
    EXPECT_NE(squeezed.find(row), std::string::npos) << row << "\n" << run.out;
}

// Audio, level plots and editor pictures, all of them the same bytes on every run, and nothing
// else left in the folder.
TEST_F(HostTest, DemoWritesItsFilesAndTable) {
  const HostRun run = host({"demo", "--out", path("demo")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(run.err.empty()) << run.err;
  std::set<std::string> expected;
  for (const char* file : {"input-mix.wav", "input-drums.wav", "input-pad-bass.wav"}) expected.insert(file);
  for (const char* stem : {"1-defaults", "2-heavy-compression", "3-limiter-only", "4-ducking"}) {
    const std::string s = stem;
    SCOPED_TRACE(s);
    const auto audio = readAudio(path("demo/" + s + ".wav"));
    EXPECT_EQ(audio.ChannelCount(), 2u);
    EXPECT_GT(audio.FrameCount(), 44100u * 7u);
    const std::unique_ptr<LICE_IBitmap> plot(DecodePngFile(path("demo/" + s + "-levels.png").c_str(), true));
    ASSERT_NE(plot, nullptr);
    EXPECT_EQ(plot->Width(), kLevelPlotWidth);
    EXPECT_EQ(plot->Height(), kLevelPlotHeight);
    const std::unique_ptr<LICE_IBitmap> editor(DecodePngFile(path("demo/" + s + "-editor.png").c_str(), true));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->Width(), 404);
    EXPECT_EQ(editor->Height(), 634);
    for (const char* suffix : {".wav", "-levels.png", "-editor.png"}) {
      expected.insert(s + suffix);
      EXPECT_NE(run.out.find(s + suffix), std::string::npos) << run.out;
    }
  }
  std::set<std::string> written;
  for (const auto& entry : fs::directory_iterator(dir / "demo")) written.insert(entry.path().filename().string());
  EXPECT_EQ(written, expected);
  for (const char* row : {"defaults", "heavy compression", "limiter only", "ducking"})
    EXPECT_NE(run.out.find(row), std::string::npos) << run.out;

  ASSERT_EQ(host({"demo", "--out", path("again")}).exitCode, 0);
  for (const std::string& file : expected)
    EXPECT_EQ(fileBytes(dir / "demo" / file), fileBytes(dir / "again" / file)) << file;
}

// Nothing in the host is particular to Velmora: an effect with a separate controller, its state
// in the component, a continuous parameter and latency goes through the same commands.
TEST_F(HostTest, OtherEffectsWorkTheSameWay) {
  const std::string gain = HOST_TEST_GAIN_MODULE;
  writeWav(dir / "in.wav", sine(-12.0, 440.0, 0.2));
  writeWav(dir / "key.wav", sine(-20.0, 90.0, 0.1));
  // The module computes (main + key) x 2 x level, three samples late; "Level=1.5" is a plain value.
  const auto out = render(
      "in.wav", "out.wav",
      {"--module", gain, "--set", "Level=1.5", "--sidechain", path("key.wav"), "--save-state", path("gain.state")});
  const auto in = readAudio(path("in.wav"));
  const auto key = readAudio(path("key.wav"));
  ASSERT_EQ(out.FrameCount(), in.FrameCount());
  double largest = 0.0;
  for (std::size_t c = 0; c < 2; ++c)
    for (std::size_t i = 0; i < in.FrameCount(); ++i) {
      const double keyed = i < key.FrameCount() ? key.channels[c][i] : 0.0;
      largest = std::max(largest, std::fabs(out.channels[c][i] - 1.5 * (in.channels[c][i] + keyed)));
    }
  EXPECT_LT(largest, 1e-6);

  EXPECT_EQ(fileBytes(dir / "gain.state").size(), sizeof(double));
  render("in.wav", "restored.wav",
         {"--module", gain, "--load-state", path("gain.state"), "--sidechain", path("key.wav")});
  EXPECT_EQ(fileBytes(dir / "restored.wav"), fileBytes(dir / "out.wav"));

  const HostRun list = host({"list", "--module", gain});
  ASSERT_EQ(list.exitCode, 0) << list.err;
  EXPECT_NE(list.out.find("separate edit controller"), std::string::npos) << list.out;
  EXPECT_NE(list.out.find("latency 3 samples"), std::string::npos) << list.out;
}

// Every refusal: non-zero status, one line on stderr, and no output file (nor a temporary one).
TEST_F(HostTest, FailuresExplainThemselvesInOneLineAndLeaveNoOutput) {
  writeWav(dir / "in.wav", sine(-6.0, 440.0, 0.1));
  writeWav(dir / "three.wav", sine(-6.0, 440.0, 0.1, 3));
  writeWav(dir / "rate.wav", sine(-6.0, 440.0, 0.1, 2, 48000.0));
  std::ofstream(dir / "text.wav") << "not audio at all\n";
  std::ofstream(dir / "short.state") << "abc";
  std::ofstream(dir / "fake.so") << "not a shared object\n";
  std::ofstream(dir / "bad.vstpreset") << "VST3 but nothing after it";
  std::ofstream(dir / "empty.vstpreset").close();
  std::ofstream(dir / "empty.state").close();
  ASSERT_EQ(host({"render", path("in.wav"), path("x.wav"), "--save-preset", path("velmora.vstpreset")}).exitCode, 0);
  fs::remove(dir / "x.wav");
  const std::string in = path("in.wav");
  const std::string out = path("out.wav");

  struct Case {
    const char* what;
    std::vector<std::string> args;
  };
  const std::vector<Case> cases{
      {"missing module", {"render", in, out, "--module", path("nowhere.vst3")}},
      {"file that is no library", {"render", in, out, "--module", path("fake.so")}},
      {"library that is no VST3 module", {"render", in, out, "--module", "/lib/x86_64-linux-gnu/libm.so.6"}},
      {"missing input", {"render", path("missing.wav"), out}},
      {"input that is no audio", {"render", path("text.wav"), out}},
      {"unknown parameter", {"render", in, out, "--set", "Warmth=3"}},
      {"title shared by two parameters", {"render", in, out, "--set", "Bypass=0"}},
      {"step beyond the range", {"render", in, out, "--set", "Ratio=5"}},
      {"fractional step", {"render", in, out, "--set", "Ratio=1.5"}},
      {"normalised value beyond 1", {"render", in, out, "--set-norm", "Mix=1.5"}},
      {"sidechain with three channels", {"render", in, out, "--sidechain", path("three.wav")}},
      {"sidechain at another rate", {"render", in, out, "--sidechain", path("rate.wav")}},
      {"missing sidechain", {"render", in, out, "--sidechain", path("missing.wav")}},
      {"truncated state", {"render", in, out, "--load-state", path("short.state")}},
      {"broken preset", {"render", in, out, "--load-preset", path("bad.vstpreset")}},
      {"preset that is a state file", {"render", in, out, "--load-preset", path("short.state")}},
      {"empty preset", {"render", in, out, "--load-preset", path("empty.vstpreset")}},
      {"empty state", {"render", in, out, "--load-state", path("empty.state")}},
      {"audio file as state", {"render", in, out, "--load-state", path("rate.wav")}},
      {"preset as state", {"render", in, out, "--load-state", path("velmora.vstpreset")}},
      {"output folder missing", {"render", in, path("no/such/folder/out.wav")}},
      {"unknown option", {"render", in, out, "--louder"}},
      {"value for --trace", {"render", in, out, "--trace=yes"}},
      {"bad precision", {"render", in, out, "--precision", "48"}},
      {"precision the effect lacks", {"render", in, out, "--precision", "64", "--module", HOST_TEST_GAIN_MODULE}},
      {"Velmora preset into another effect",
       {"render", in, out, "--module", HOST_TEST_GAIN_MODULE, "--load-preset", path("velmora.vstpreset")}},
      {"bad block size", {"render", in, out, "--block-size", "0"}},
      {"bad format", {"render", in, out, "--format", "mp3"}},
      {"one file only", {"render", in}},
      {"unknown command", {"mangle"}},
      {"two inputs without --out-dir", {"render", in, path("in.wav"), out, "--set", "Ratio=1"}},
      {"--out-dir without inputs", {"render", "--out-dir", path("batch")}},
      {"two inputs writing one output", {"render", in, path("sub/in.wav"), "--out-dir", path("batch")}},
      {"output over its input", {"render", in, "--out-dir", dir.string()}},
      {"saving state from a batch",
       {"render", in, path("text.wav"), "--out-dir", path("batch"), "--save-state", path("s")}},
      {"no workers", {"render", in, "--out-dir", path("batch"), "--jobs", "0"}},
      {"batch with an unknown parameter",
       {"render", in, path("three.wav"), "--out-dir", path("batch"), "--set", "Warmth=1"}},
      {"automation of an unknown parameter", {"render", in, out, "--automate", "Warmth=0:1"}},
      {"automated step beyond the range", {"render", in, out, "--automate", "Ratio=0:1,1:7"}},
      {"automation out of time order", {"render", in, out, "--automate", "Ratio=1:1,0:2"}},
      {"automated and set", {"render", in, out, "--automate", "Ratio=0:1", "--set", "4=2"}},
      {"automated twice", {"render", in, out, "--automate", "Ratio=0:1", "--automate-norm", "4=0:0.5"}},
      {"missing automation file", {"render", in, out, "--automation", path("missing.csv")}},
      {"automation file that is no CSV", {"render", in, out, "--automation", path("short.state")}},
      {"unknown preset name", {"render", in, out, "--load-preset", "Warm Tape"}},
      {"compare with one file", {"compare", in}},
      {"bad tolerance", {"compare", in, in, "--tol", "loud"}},
      {"flag with a value", {"list", "--json=yes"}},
      {"demo through another effect", {"demo", "--out", path("demo"), "--module", HOST_TEST_GAIN_MODULE}},
      {"edit without a display", {"edit"}},
      {"edit of an effect without an editor", {"edit", "--module", HOST_TEST_GAIN_MODULE}},
      {"edit with a file", {"edit", in}},
  };
  // The editor needs a display, and this test is about not having one.
  unsetenv("DISPLAY");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto before = std::distance(fs::directory_iterator(dir), fs::directory_iterator());
    const HostRun run = host(c.args);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_LT(run.exitCode, 128) << "crashed";
    ASSERT_FALSE(run.err.empty());
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    EXPECT_EQ(run.err.rfind("velmora-host: ", 0), 0u) << run.err;
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), before) << run.err;
  }
}

}  // namespace
