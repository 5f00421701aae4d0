// The command line as velmora-host reads it, before anything is loaded or opened.
#include "tools/support/HostError.h"
#include "tools/velmora-host/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using velmora_host::CommandLine;
using velmora_host::ParseCommandLine;
using velmora_host::ParseTolerance;
using velmora_host::UsageError;

namespace {

CommandLine parse(std::vector<std::string> words) {
  words.insert(words.begin(), "velmora-host");
  std::vector<const char*> argv;
  for (const std::string& word : words) argv.push_back(word.c_str());
  return ParseCommandLine(static_cast<int>(argv.size()), argv.data());
}

// The command a refused line is charged to (compare answers its usage errors with status 2), and
// the message; empty when the line is accepted.
std::pair<std::string, std::string> refusal(const std::vector<std::string>& words) {
  try {
    parse(words);
  } catch (const UsageError& error) {
    return {error.Command(), error.what()};
  }
  return {};
}

TEST(CommandLine, OptionsAreRefusedByCommandsTheyDoNotBelongTo) {
  struct Case {
    std::vector<std::string> words;
    const char* command;  // the command the refusal is charged to
  };
  const std::vector<Case> refused{
      {{"compare", "a.wav", "b.wav", "--set", "Ratio=3"}, "compare"},
      {{"--module", "x.vst3", "compare", "a.wav", "b.wav"}, "compare"},
      {{"compare", "a.wav", "b.wav", "--out", "dir"}, "compare"},
      {{"compare", "a.wav", "b.wav", "--louder"}, "compare"},
      {{"compare", "a.wav", "--tol", "loud"}, "compare"},
      {{"compare", "a.wav"}, "compare"},
      {{"render", "in.wav", "out.wav", "--tol", "1e-6"}, "render"},
      {{"render", "in.wav", "out.wav", "--out", "dir"}, "render"},
      {{"list", "--set", "Ratio=3"}, "list"},
      {{"list", "--no-loudness"}, "list"},
      {{"demo", "--json"}, "demo"},
      {{"edit", "--json"}, "edit"},
      {{"presets", "--block-size", "64"}, "presets"},
      {{"--json"}, ""},
  };
  for (const Case& c : refused) {
    SCOPED_TRACE(::testing::PrintToString(c.words));
    EXPECT_EQ(refusal(c.words).first, c.command) << refusal(c.words).second;
    EXPECT_FALSE(refusal(c.words).second.empty());
  }
  for (const std::vector<std::string>& accepted :
       std::vector<std::vector<std::string>>{{"compare", "a.wav", "b.wav", "--tol", "-120dB", "--json"},
                                             {"--json", "list", "--module", "x.vst3", "--trace"},
                                             {"demo", "--out", "dir", "--trace"},
                                             {"render", "in.wav", "out.wav", "--set", "Ratio=3", "--json"}}) {
    SCOPED_TRACE(::testing::PrintToString(accepted));
    EXPECT_EQ(refusal(accepted).second, "");
  }
}

// edit --scale takes a display scale from 1 to 3 in any step, and nothing else; only edit takes it.
TEST(CommandLine, EditScaleIsADisplayScaleFromOneToThree) {
  EXPECT_EQ(parse({"edit"}).editScale, 1.0);
  const struct {
    const char* text;
    double scale;
  } accepted[] = {{"1", 1.0}, {"1.25", 1.25}, {"1.5", 1.5}, {"2", 2.0}, {"2.5", 2.5}, {"3", 3.0}, {"3.0", 3.0}};
  for (const auto& c : accepted) {
    EXPECT_EQ(parse({"edit", "--scale", c.text}).editScale, c.scale) << c.text;
    EXPECT_EQ(parse({"edit", std::string("--scale=") + c.text}).editScale, c.scale) << c.text;
  }
  for (const char* text : {"0", "0.99", "3.01", "4", "-2", "nan", "inf", "2x", "", "200%"}) {
    const auto [command, message] = refusal({"edit", "--scale", text});
    EXPECT_EQ(command, "edit") << text;
    EXPECT_NE(message.find("--scale needs a display scale from 1 to 3"), std::string::npos) << text << ": " << message;
  }
  EXPECT_FALSE(refusal({"edit", "--scale"}).second.empty()) << "a value is needed";
  EXPECT_EQ(refusal({"render", "in.wav", "out.wav", "--scale", "2"}).first, "render");
  EXPECT_EQ(refusal({"demo", "--scale", "2"}).first, "demo");
}

TEST(CommandLine, NoArgumentsAskForTheUsageNotTheDemo) {
  EXPECT_EQ(parse({}).command, "usage");
  EXPECT_EQ(parse({"demo"}).command, "demo");
}

// A linear difference, or a level in dB at or below full scale. "1e-6dB" is a linear figure with
// a unit by mistake: read as a level it would allow differences up to full scale.
TEST(CommandLine, ToleranceIsLinearOrALevelAtMostFullScale) {
  EXPECT_EQ(ParseTolerance("1e-6"), 1e-6);
  EXPECT_EQ(ParseTolerance("0"), 0.0);
  EXPECT_NEAR(ParseTolerance("-120dB"), 1e-6, 1e-18);
  EXPECT_NEAR(ParseTolerance("-6db"), 0.501187, 1e-6);
  EXPECT_EQ(ParseTolerance("0dB"), 1.0);
  for (const char* bad : {"1e-6dB", "3dB", "-1", "loud", "dB", "-inf", "nan"}) {
    SCOPED_TRACE(bad);
    EXPECT_THROW(ParseTolerance(bad), velmora_host::HostError);
  }
}

}  // namespace
