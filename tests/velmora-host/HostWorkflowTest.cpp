// velmora-host for real work: automation, batches on worker threads, loudness in the summary and
// JSON for scripts, the null test, and presets found by name.
#include "tests/velmora-host/HostTest.h"

#include "tools/support/AudioFile.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <set>
#include <tuple>

namespace fs = std::filesystem;
using host_test::fileBytes;
using host_test::HostRun;
using host_test::HostTest;
using host_test::readAudio;
using host_test::rmsDb;
using host_test::runHost;
using host_test::sine;
using host_test::writeWav;
using velmora_host::AudioData;
using Json = nlohmann::json;

namespace {

const std::string kGainModule = HOST_TEST_GAIN_MODULE;

std::vector<std::string> folderNames(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The test gain module follows its "Level" point by point, linear between points as VST3 reads
// them, so its output shows exactly which value arrived at which sample: held steps jump on their
// sample and ramps run straight, whatever the block size.
TEST_F(HostTest, AutomationArrivesSampleAccurately) {
  AudioData in = AudioData::Silent(2, 22050, 44100.0);
  for (auto& channel : in.channels) std::fill(channel.begin(), channel.end(), 0.25);
  writeWav(dir / "in.wav", in);
  // The module runs 3 samples late and the host lines its output up, so output frame n was made
  // with the level of the module's frame n + 3.
  auto expectLevels = [&](const AudioData& out, const std::function<double(std::size_t)>& level) {
    ASSERT_EQ(out.FrameCount(), in.FrameCount());
    for (std::size_t n = 0; n < out.FrameCount(); ++n)
      ASSERT_NEAR(out.channels[1][n], 0.25 * level(n + 3), 1e-6) << "frame " << n;
  };

  // Plain values of the continuous "Level", each held until the next point (4410 = 0.1 s).
  for (const char* block : {"512", "37"}) {
    SCOPED_TRACE(block);
    const AudioData held = render(
        "in.wav", "held.wav",
        {"--module", kGainModule, "--block-size", block, "--automate", "Level=0:0.5,0.1:1.5,0.2:1", "--overwrite"});
    expectLevels(held, [](std::size_t k) { return k < 4410 ? 0.5 : k < 8820 ? 1.5 : 1.0; });
  }
  // Normalised values ramping: from 0 to 1 over the first 0.3 s, the plain level twice that.
  std::ofstream(dir / "ramp.csv") << "time,parameter,value\n0,Level,0\n0.3,Level,1\n";
  const AudioData ramp = render(
      "in.wav", "ramp.wav", {"--module", kGainModule, "--block-size", "100", "--automation-norm", path("ramp.csv")});
  expectLevels(ramp, [](std::size_t k) { return 2.0 * std::min(1.0, static_cast<double>(k) / 13230.0); });
  // Two normalised points at one time are a jump, not a ramp from the start of the block.
  const AudioData jump =
      render("in.wav", "jump.wav", {"--module", kGainModule, "--automate-norm", "Level=0:0.25,0.1:0.25,0.1:0.75"});
  expectLevels(jump, [](std::size_t k) { return k < 4410 ? 0.5 : 1.5; });
}

// Velmora applies one value per process call; the host starts a call wherever a lane changes, so
// a change lands on its own sample whatever the block size: held steps, and a jump in a normalised
// lane, give the same bytes at every block size.
TEST_F(HostTest, AutomationChangesVelmoraOnItsSample) {
  writeWav(dir / "in.wav", sine(-6.0, 220.0, 1.5));
  const std::vector<std::string> lanes{"--automate",      "Compressor Threshold=0:15,1:0,1.2345:7",
                                       "--automate-norm", "Mix=0:1,0.61:1,0.61:0.5",
                                       "--set",           "Ratio=4"};
  std::vector<std::vector<char>> outputs;
  for (const char* block : {"1", "512", "4096", "333"}) {
    std::vector<std::string> args = lanes;
    args.insert(args.end(), {"--block-size", block});
    render("in.wav", std::string("block") + block + ".wav", args);
    outputs.push_back(fileBytes(dir / (std::string("block") + block + ".wav")));
  }
  for (std::size_t i = 1; i < outputs.size(); ++i) EXPECT_EQ(outputs[i], outputs[0]) << i;
}

// The threshold drops on the sample of the change: the audio before it is untouched, what follows
// is compressed, and a CSV lane does what the same option does.
TEST_F(HostTest, AutomatedThresholdCompressesFromItsTime) {
  writeWav(dir / "in.wav", sine(-6.0, 220.0, 2.0));
  const AudioData plain = render("in.wav", "plain.wav", {"--set", "Ratio=4"});
  const AudioData automated =
      render("in.wav", "auto.wav", {"--automate", "Compressor Threshold=0:15,1:0", "--set", "Ratio=4"});
  std::ofstream(dir / "lanes.csv") << "0,Compressor Threshold,15\n1,Compressor Threshold,0\n";
  render("in.wav", "csv.wav", {"--automation", path("lanes.csv"), "--set", "Ratio=4"});
  EXPECT_EQ(fileBytes(dir / "csv.wav"), fileBytes(dir / "auto.wav"));

  std::size_t firstChange = automated.FrameCount();
  for (std::size_t n = 0; n < automated.FrameCount() && firstChange == automated.FrameCount(); ++n)
    if (automated.channels[0][n] != plain.channels[0][n]) firstChange = n;
  // Nothing changes before the change's sample (44100, within the block of 512 starting at 44032);
  // from there the threshold glides down.
  EXPECT_GE(firstChange, 44100u);
  EXPECT_LT(firstChange, 44100u + 512);
  AudioData late = automated, latePlain = plain;
  for (AudioData* a : {&late, &latePlain})
    for (auto& channel : a->channels) channel.erase(channel.begin(), channel.begin() + 55125);  // from 1.25 s
  EXPECT_LT(rmsDb(late, 0.0), rmsDb(latePlain, 0.0) - 6.0);
}

// A batch gives every file the bytes a render of it alone gives, however many workers share the
// files; the summary covers each file in input order.
TEST_F(HostTest, BatchRendersEachFileAsAloneWhateverTheWorkers) {
  writeWav(dir / "a.wav", sine(-3.0, 110.0, 0.6));
  writeWav(dir / "b.wav", sine(-12.0, 880.0, 0.3, 1));
  writeWav(dir / "c.wav", sine(-1.0, 55.0, 0.9));
  const std::vector<std::string> settings{"--set", "Compressor Threshold=2", "--automate", "Gain=0:0,0.2:5"};
  for (const char* name : {"a", "b", "c"}) {
    std::vector<std::string> args = settings;
    render(std::string(name) + ".wav", std::string(name) + "-alone.wav", args);
  }
  for (const char* jobs : {"1", "3"}) {
    SCOPED_TRACE(jobs);
    const std::string out = std::string("out") + jobs;
    std::vector<std::string> args{"render",    path("a.wav"), path("b.wav"), path("c.wav"),
                                  "--out-dir", path(out),     "--jobs",      jobs};
    args.insert(args.end(), settings.begin(), settings.end());
    const HostRun run = host(args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(folderNames(dir / out), (std::vector<std::string>{"a.wav", "b.wav", "c.wav"}));
    for (const char* name : {"a", "b", "c"})
      EXPECT_EQ(fileBytes(dir / out / (std::string(name) + ".wav")),
                fileBytes(dir / (std::string(name) + "-alone.wav")))
          << name;
    EXPECT_LT(run.out.find("a.wav ->"), run.out.find("b.wav ->"));
    EXPECT_LT(run.out.find("b.wav ->"), run.out.find("c.wav ->"));
    EXPECT_NE(run.out.find("3 of 3 files rendered"), std::string::npos) << run.out;
  }
}

// One file that cannot be rendered is reported on a line of its own; the others are written whole
// and nothing is left of the failed one.
TEST_F(HostTest, BatchFailureSparesTheOtherFiles) {
  writeWav(dir / "a.wav", sine(-3.0, 110.0, 0.3));
  writeWav(dir / "c.wav", sine(-3.0, 220.0, 0.3));
  std::ofstream(dir / "b.wav") << "not audio\n";
  const HostRun run = host({"render", path("a.wav"), path("b.wav"), path("c.wav"), "--out-dir", path("out"), "--json"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  EXPECT_EQ(run.err.rfind("velmora-host: " + path("b.wav") + ": ", 0), 0u) << run.err;
  EXPECT_EQ(folderNames(dir / "out"), (std::vector<std::string>{"a.wav", "c.wav"}));
  render("c.wav", "c-alone.wav");
  EXPECT_EQ(fileBytes(dir / "out" / "c.wav"), fileBytes(dir / "c-alone.wav"));
  const Json report = Json::parse(run.out);
  EXPECT_EQ(report["rendered"], 2);
  EXPECT_EQ(report["failed"], 1);
  EXPECT_TRUE(report["renders"][1]["error"].is_string());
  EXPECT_TRUE(report["renders"][0]["error"].is_null());
  EXPECT_EQ(report["renders"][2]["output"], path("out/c.wav"));
  // A script reads every entry the same way: the failed one has every key, empty.
  std::vector<std::string> keys, failedKeys;
  for (const auto& [key, value] : report["renders"][0].items()) keys.push_back(key);
  for (const auto& [key, value] : report["renders"][1].items()) failedKeys.push_back(key);
  EXPECT_EQ(failedKeys, keys);
  EXPECT_TRUE(report["renders"][1]["out"].is_null());
}

// The summary's "settings" hold every parameter as the render started (after the preset, the
// settings and the automation's first points), keyed by id: set from them alone, the render comes
// out the same. Keys are there whatever was measured.
TEST_F(HostTest, JsonSettingsReproduceTheRender) {
  writeWav(dir / "in.wav", sine(-9.0, 180.0, 0.5));
  const HostRun first = host({"render", path("in.wav"), path("first.wav"), "--load-preset", "Vocal Leveller", "--set",
                              "Gain=5", "--automate", "Mix=0:11,0.2:22", "--json"});
  ASSERT_EQ(first.exitCode, 0) << first.err;
  const Json settings = Json::parse(first.out)["renders"][0]["settings"];
  EXPECT_EQ(settings["2"]["title"], "Gain");
  EXPECT_EQ(settings["2"]["step"], 5);
  EXPECT_EQ(settings["3"]["step"], 11);
  EXPECT_TRUE(settings["3"]["automated"].get<bool>());
  EXPECT_EQ(settings["4"]["step"], 2);                        // the preset's ratio, 3:1
  EXPECT_FALSE(settings.contains("1886548852")) << settings;  // the program change is no setting

  std::vector<std::string> again{"render", path("in.wav"), path("again.wav"), "--automate", "Mix=0:11,0.2:22"};
  for (const auto& [id, setting] : settings.items()) {
    if (setting["automated"].get<bool>()) continue;
    again.insert(again.end(), {"--set", id + "=" + std::to_string(setting["step"].get<int>())});
  }
  ASSERT_EQ(host(again).exitCode, 0);
  EXPECT_EQ(fileBytes(dir / "again.wav"), fileBytes(dir / "first.wav"));

  // list: the same keys for every class and parameter, whatever the effect.
  const HostRun list = host({"list", "--module", kGainModule, "--json"});
  ASSERT_EQ(list.exitCode, 0) << list.err;
  const Json listed = Json::parse(list.out);
  for (const Json& parameter : listed["effect"]["parameters"])
    EXPECT_TRUE(parameter.contains("meaning") && parameter["meaning"].is_null()) << parameter;
  for (const Json& c : listed["classes"]) EXPECT_TRUE(c.contains("sub_categories")) << c;
}

// The closing summary measures loudness per EBU R128: a 997 Hz tone at -20 dBFS on both channels
// is -20 LUFS with its peak as true peak; the JSON form carries the same figures.
TEST_F(HostTest, SummaryReportsLoudnessAsTextAndJson) {
  writeWav(dir / "tone.wav", sine(-20.0, 997.0, 4.0));
  const HostRun text =
      host({"render", path("tone.wav"), path("text.wav"), "--set", "10=0"});  // the effect's in/out off
  ASSERT_EQ(text.exitCode, 0) << text.err;
  for (const char* expected : {"LUFS, integrated", "LU, loudness range", "dBTP", "-20.0"})
    EXPECT_NE(text.out.find(expected), std::string::npos) << expected << "\n" << text.out;

  const HostRun json = host({"render", path("tone.wav"), path("json.wav"), "--set", "10=0", "--json"});
  ASSERT_EQ(json.exitCode, 0) << json.err;
  const Json report = Json::parse(json.out)["renders"][0];
  EXPECT_EQ(report["input"], path("tone.wav"));
  EXPECT_EQ(report["frames"], 4 * 44100);
  EXPECT_TRUE(report["sidechain"].is_null());
  for (const char* side : {"in", "out"}) {
    SCOPED_TRACE(side);
    EXPECT_NEAR(report[side]["integrated_lufs"].get<double>(), -20.0, 0.15);
    EXPECT_NEAR(report[side]["true_peak_dbtp"].get<double>(), -20.0, 0.1);
    EXPECT_NEAR(report[side]["channels"][1]["peak_dbfs"].get<double>(), -20.0, 0.01);
  }
  EXPECT_EQ(fileBytes(dir / "text.wav"), fileBytes(dir / "json.wav"));

  // Without the measurement: the same audio, the levels per channel, the loudness keys empty.
  const HostRun quick =
      host({"render", path("tone.wav"), path("quick.wav"), "--set", "10=0", "--no-loudness", "--json"});
  ASSERT_EQ(quick.exitCode, 0) << quick.err;
  const Json levels = Json::parse(quick.out)["renders"][0]["out"];
  EXPECT_TRUE(levels["integrated_lufs"].is_null()) << levels;
  EXPECT_FALSE(Json::parse(quick.out)["renders"][0]["loudness"].get<bool>());
  EXPECT_EQ(levels["channels"].size(), 2u);
  EXPECT_EQ(fileBytes(dir / "quick.wav"), fileBytes(dir / "json.wav"));
}

// `compare` is a null test: status 0 when identical within the tolerance, 1 when not, 2 when the
// files cannot be compared; the report names the largest and the first difference.
TEST_F(HostTest, CompareIsANullTest) {
  writeWav(dir / "a.wav", sine(-6.0, 440.0, 0.5));
  AudioData changed = sine(-6.0, 440.0, 0.5);
  changed.channels[1][1000] += 0.001;  // -60 dBFS
  writeWav(dir / "b.wav", changed);
  writeWav(dir / "mono.wav", sine(-6.0, 440.0, 0.5, 1));

  const HostRun same = host({"compare", path("a.wav"), path("a.wav")});
  EXPECT_EQ(same.exitCode, 0) << same.err;
  EXPECT_NE(same.out.find("identical"), std::string::npos) << same.out;

  const HostRun differ = host({"compare", path("a.wav"), path("b.wav")});
  EXPECT_EQ(differ.exitCode, 1) << differ.err;
  for (const char* expected : {"frame 1000", "channel 2", "-60.0", "different"})
    EXPECT_NE(differ.out.find(expected), std::string::npos) << expected << "\n" << differ.out;
  EXPECT_EQ(host({"compare", path("a.wav"), path("b.wav"), "--tol", "-50dB"}).exitCode, 0);
  EXPECT_EQ(host({"compare", path("a.wav"), path("b.wav"), "--tol", "1e-4"}).exitCode, 1);

  const HostRun json = host({"compare", path("a.wav"), path("b.wav"), "--json"});
  EXPECT_EQ(json.exitCode, 1);
  const Json report = Json::parse(json.out);
  EXPECT_EQ(report["first_difference"]["frame"], 1000);
  EXPECT_EQ(report["first_difference"]["channel"], 2);
  EXPECT_EQ(report["identical"], false);
  EXPECT_NEAR(report["largest_difference_dbfs"].get<double>(), -60.0, 0.01);

  // Files that cannot be compared, and command lines that cannot be obeyed, are never "different".
  const std::vector<std::vector<std::string>> troubles{
      {"compare", path("a.wav"), path("mono.wav")},
      {"compare", path("a.wav"), path("missing.wav")},
      {"compare", path("a.wav")},
      {"compare", path("a.wav"), path("b.wav"), "--tolerance", "1e-3"},
      {"compare", path("a.wav"), path("b.wav"), "--tol", "loud"},
      {"compare", path("a.wav"), path("b.wav"), "--tol", "1e-6dB"},
      {"compare", path("a.wav"), path("b.wav"), "--set", "Ratio=3"},
  };
  for (const std::vector<std::string>& args : troubles) {
    SCOPED_TRACE(args.back());
    const HostRun trouble = host(args);
    EXPECT_EQ(trouble.exitCode, 2);
    EXPECT_EQ(std::count(trouble.err.begin(), trouble.err.end(), '\n'), 1) << trouble.err;
    EXPECT_EQ(trouble.out, "");
  }
}

// With nothing asked for, velmora-host says how to use it, and does nothing else.
TEST_F(HostTest, NoArgumentsPrintTheUsage) {
  const HostRun run = runHost({}, dir);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out.rfind("Usage: velmora-host", 0), 0u) << run.out;
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(fs::is_empty(dir));
}

// The factory presets: listed with a description each, loaded by name (in any case) or by path
// with the same result, and each one sounding different from the defaults.
TEST_F(HostTest, FactoryPresetsLoadByNameOrPath) {
  const HostRun listing = host({"presets", "--json"});
  ASSERT_EQ(listing.exitCode, 0) << listing.err;
  const Json presets = Json::parse(listing.out)["presets"];
  ASSERT_GE(presets.size(), 8u);
  for (const Json& preset : presets) EXPECT_FALSE(preset["description"].get<std::string>().empty()) << preset;
  const HostRun text = host({"presets"});
  EXPECT_NE(text.out.find("Limiter Only"), std::string::npos) << text.out;

  writeWav(dir / "in.wav", sine(-3.0, 150.0, 0.5));
  render("in.wav", "defaults.wav");
  std::set<std::vector<char>> outputs{fileBytes(dir / "defaults.wav")};
  for (const Json& preset : presets) {
    const std::string name = preset["name"];
    SCOPED_TRACE(name);
    // Played without a key file, a preset keyed by the sidechain is warned of; any other is not.
    for (const auto& [output, source] :
         {std::pair<std::string, std::string>{"by-name.wav", name}, {"by-path.wav", preset["path"]}}) {
      const HostRun run = host({"render", path("in.wav"), path(output), "--load-preset", source, "--overwrite"});
      EXPECT_EQ(run.exitCode, 0) << run.err;
      EXPECT_EQ(run.err.empty(), name != "Sidechain Ducking") << run.err;
    }
    EXPECT_EQ(fileBytes(dir / "by-name.wav"), fileBytes(dir / "by-path.wav"));
    outputs.insert(fileBytes(dir / "by-name.wav"));
  }
  EXPECT_EQ(outputs.size(), presets.size() + 1);  // every preset changes the sound, each its own way
  render("in.wav", "lower.wav", {"--load-preset", "limiter only"});
  render("in.wav", "exact.wav", {"--load-preset", "Limiter Only"});
  EXPECT_EQ(fileBytes(dir / "lower.wav"), fileBytes(dir / "exact.wav"));
}

// What velmora-host writes on a terminal (both standard output and error on it), and its exit status.
std::pair<int, std::string> onTerminal(const std::vector<std::string>& args, const fs::path& dir) {
  std::vector<std::string> argv{VELMORA_HOST_EXE};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> pointers;
  for (std::string& arg : argv) pointers.push_back(arg.data());
  pointers.push_back(nullptr);
  int terminal = -1;
  const pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
  if (pid == 0) {
    if (chdir(dir.c_str()) == 0) execv(pointers[0], pointers.data());
    _exit(127);
  }
  std::string text;
  char buffer[4096];
  for (ssize_t n; (n = read(terminal, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
  close(terminal);
  int status = 0;
  waitpid(pid, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text};
}

// A long render on a terminal shows its progress with the time elapsed, the speed and the time
// left, then clears the line for the summary; --quiet shows neither (its JSON, when asked for, it
// still prints).
TEST_F(HostTest, ProgressShowsOnATerminalUnlessQuiet) {
  writeWav(dir / "long.wav", sine(-12.0, 110.0, 25.0));  // longer than the 20 s a bar is worth
  const auto [status, shown] = onTerminal({"render", path("long.wav"), path("a.wav"), "--no-loudness"}, dir);
  EXPECT_EQ(status, 0) << shown;
  for (const char* expected : {"\rrendering [", " elapsed", "x real time", " left", "peak out"})
    EXPECT_NE(shown.find(expected), std::string::npos) << expected << "\n" << shown;

  const auto [quietStatus, quiet] =
      onTerminal({"render", path("long.wav"), path("b.wav"), "--no-loudness", "--quiet"}, dir);
  EXPECT_EQ(quietStatus, 0) << quiet;
  EXPECT_EQ(quiet, "");
  const auto [jsonStatus, json] =
      onTerminal({"render", path("long.wav"), path("c.wav"), "--no-loudness", "--quiet", "--json"}, dir);
  EXPECT_EQ(jsonStatus, 0) << json;
  EXPECT_EQ(json.find("rendering"), std::string::npos) << json;
  EXPECT_EQ(json.rfind("{", 0), 0u) << json;
}

// Velmora's settings by what the steps mean, read with the plug-in's own table, beside step
// numbers: the same render, and the summary names each step's meaning. `list` prints every step of
// every parameter with its meaning, in the text that --set reads back.
TEST_F(HostTest, SettingsTakePhysicalUnitsAndListShowsEveryStep) {
  writeWav(dir / "in.wav", sine(-6.0, 220.0, 0.3));
  const HostRun byMeaning =
      host({"render", path("in.wav"), path("meaning.wav"), "--json", "--set", "Compressor Threshold=-24dB", "--set",
            "Ratio=4:1", "--set", "Compressor Recovery Time=Auto 1", "--set", "High=+1.5 dB", "--set", "mix=50 %",
            "--set", "10=Passed through"});
  ASSERT_EQ(byMeaning.exitCode, 0) << byMeaning.err;
  render("in.wav", "steps.wav",
         {"--set", "0=3", "--set", "Ratio=3", "--set", "Compressor Recovery Time=4", "--set", "High=3", "--set",
          "Mix=11", "--set", "10=0"});
  EXPECT_EQ(fileBytes(dir / "meaning.wav"), fileBytes(dir / "steps.wav"));
  const Json settings = Json::parse(byMeaning.out)["renders"][0]["settings"];
  for (const auto& [id, step, text] : {std::tuple<const char*, int, const char*>{"0", 3, "-24 dB"},
                                       {"4", 3, "4:1"},
                                       {"8", 4, "Auto 1"},
                                       {"5", 3, "+1.5 dB"},
                                       {"3", 11, "50 %"},
                                       {"10", 0, "Passed through"}}) {
    EXPECT_EQ(settings[id]["step"], step) << id;
    EXPECT_EQ(settings[id]["text"], text) << id;
  }
  EXPECT_TRUE(settings["1651532147"]["text"].is_null());  // the host's bypass has no table

  for (const char* refused : {"Ratio=5:1", "Compressor Threshold=-25dB", "Mix=half", "1651532147=on", "Ratio=4.5"}) {
    SCOPED_TRACE(refused);
    const HostRun run = host({"render", path("in.wav"), path("refused.wav"), "--set", refused});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find(refused), std::string::npos) << run.err;
  }

  const HostRun list = host({"list", "--json"});
  ASSERT_EQ(list.exitCode, 0) << list.err;
  std::size_t tables = 0;
  const Json listed = Json::parse(list.out);
  for (const Json& parameter : listed["effect"]["parameters"]) {
    const Json& table = parameter["step_table"];
    if (parameter["id"].get<int>() >= 13) {
      EXPECT_TRUE(table.is_null()) << parameter;
      continue;
    }
    ++tables;
    ASSERT_EQ(table.size(), parameter["steps"].get<std::size_t>() + 1) << parameter;
    for (std::size_t step = 0; step < table.size(); ++step) EXPECT_EQ(table[step]["step"], step);
  }
  EXPECT_EQ(tables, 13u);
  const HostRun text = host({"list"});
  for (const char* expected : {"3 4:1 (knee 0.8 x threshold)", "22 -8 dB", "4 Auto 1 (500 ms + 4500 ms x peak)",
                               "0 Passed through | 1 Processed", "4 360 Hz"})
    EXPECT_NE(text.out.find(expected), std::string::npos) << expected << "\n" << text.out;
}

}  // namespace
