// What velmora-host says when a request cannot be carried out: one line naming the file, option or
// parameter at fault, and the exit status scripts test. Files are named relative to the working
// folder, so each message is known word for word.
#include "tests/velmora-host/HostTest.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

using host_test::HostRun;
using host_test::HostTest;
using host_test::sine;
using host_test::writeWav;

namespace {

TEST_F(HostTest, FailuresSayWhatIsWrongInOneLine) {
  writeWav(dir / "in.wav", sine(-12.0, 440.0, 0.1));
  writeWav(dir / "three.wav", sine(-12.0, 440.0, 0.1, 3));
  std::ofstream(dir / "empty.state").flush();
  std::ofstream(dir / "garbage.vstpreset") << "garbage\n";
  std::ofstream(dir / "two-fields.csv") << "0,Ratio\n";
  std::ofstream(dir / "no-points.csv") << "time,parameter,value\n";
  std::ofstream(dir / "backwards.csv") << "time,parameter,value\n1,Ratio,2\n0.5,Ratio,1\n";
  const std::string types = "wav, aiff, flac, caf, w64, rf64, au, ogg, opus or mp3";

  struct Case {
    std::vector<std::string> args;
    int status;
    std::string message;
  };
  const std::vector<Case> cases = {
      // Output files and formats.
      {{"render", "in.wav", "out.wav", "--format", "pcm8"},
       1,
       "unknown output format 'pcm8' (use pcm16, pcm24, float or double)"},
      {{"render", "in.wav", "out.wav", "--type", "bogus"}, 1, "unknown --type 'bogus' (use " + types + ")"},
      {{"render", "in.wav", "out.xyz"},
       1,
       "cannot tell what kind of audio file out.xyz is to be from '.xyz' (name it with --type: " + types + ")"},
      {{"render", "in.wav", "-"}, 1, "standard output needs --type (" + types + ")"},
      {{"render", "in.wav", "out.ogg", "--format", "pcm16"},
       1,
       "Ogg Vorbis output has no sample type to choose: leave --format out"},
      {{"render", "in.wav", "out.flac", "--format", "float"},
       1,
       "FLAC holds 16- or 24-bit samples: use --format pcm16 or pcm24"},
      {{"render", "in.wav", "nodir/out.wav"}, 1, "cannot write nodir/out.wav: No such file or directory"},
      {{"render", "in.wav", "out.wav", "--save-state", "nodir/x.state"},
       1,
       "cannot write nodir/x.state: No such file or directory"},
      // Input files.
      {{"render", "empty.state", "out.wav"}, 1, "cannot read audio file empty.state: Format not recognised."},
      {{"compare", "in.wav", "empty.state"}, 2, "cannot read audio file empty.state: Format not recognised."},
      {{"render", "three.wav", "out.wav"}, 1, "input three.wav has 3 channels, but the \"Main Input\" bus takes 2"},
      // Parameters and automation.
      {{"render", "in.wav", "out.wav", "--set", "Ratio=99"},
       1,
       "--set Ratio=99: '99' is no step of \"Ratio\" (a step from 0 to 4, or a value velmora-host list shows)"},
      {{"render", "in.wav", "out.wav", "--automate", "Ratio=x"},
       1,
       "--automate Ratio=x: 'x' is not TIME:VALUE (seconds and a number)"},
      {{"render", "in.wav", "out.wav", "--automate", "Ratio=-1:2"},
       1,
       "--automate Ratio=-1:2: a time of -1.000000 s lies before the start"},
      {{"render", "in.wav", "out.wav", "--automate", "Ratio=0:1", "--set", "Ratio=2"},
       1,
       "--automate Ratio=0:1: parameter \"Ratio\" is both set and automated; use one"},
      {{"render", "in.wav", "out.wav", "--automation", "missing.csv"}, 1, "cannot read automation file missing.csv"},
      {{"render", "in.wav", "out.wav", "--automation", "two-fields.csv"},
       1,
       "two-fields.csv:1: expected time,parameter,value"},
      {{"render", "in.wav", "out.wav", "--automation", "no-points.csv"},
       1,
       "automation file no-points.csv holds no points"},
      {{"render", "in.wav", "out.wav", "--automation", "backwards.csv"},
       1,
       "backwards.csv:3: points of \"Ratio\" must come in time order"},
      // States and presets.
      {{"render", "in.wav", "out.wav", "--load-state", "missing.state"},
       1,
       "cannot read missing.state: No such file or directory"},
      {{"render", "in.wav", "out.wav", "--load-state", "in.wav"}, 1, "in.wav is an audio file, not a raw state"},
      {{"render", "in.wav", "out.wav", "--load-state", "garbage.vstpreset"},
       1,
       "the effect \"Velmora\" refused the state in garbage.vstpreset"},
      {{"render", "in.wav", "out.wav", "--load-preset", "garbage.vstpreset"},
       1,
       "garbage.vstpreset is not a VST3 preset file"},
      {{"render", "in.wav", "out.wav", "--load-preset", "No Such Preset"},
       1,
       "no preset file or preset named 'No Such Preset' for \"Velmora\" (velmora-host presets lists them)"},
  };
  for (const Case& c : cases) {
    std::string line;
    for (const std::string& arg : c.args) line += " " + arg;
    const HostRun run = host(c.args);
    EXPECT_EQ(run.exitCode, c.status) << line << "\n" << run.err;
    EXPECT_EQ(run.err, "velmora-host: " + c.message + "\n") << line;
    EXPECT_FALSE(std::filesystem::exists(dir / "out.wav")) << line;
  }
}

}  // namespace
