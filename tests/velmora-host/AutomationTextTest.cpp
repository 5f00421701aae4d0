// Automation as written on the command line and in CSV files, before any module is involved.
#include "tests/support/TempFolder.h"
#include "tools/session/AutomationText.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <string>
#include <vector>

using velmora_host::AutomationLane;
using velmora_host::ParseAutomateOption;
using velmora_host::ReadAutomationFile;

namespace {

AutomationLane parsed(const std::string& text, bool normalised) {
  std::string error;
  const std::optional<AutomationLane> lane = ParseAutomateOption(text, normalised, &error);
  EXPECT_TRUE(lane) << error;
  return lane.value_or(AutomationLane{});
}

// Why the lane is refused; empty (and a failure) when it is not.
std::string refusal(const std::string& text, bool normalised) {
  std::string error;
  EXPECT_FALSE(ParseAutomateOption(text, normalised, &error)) << "accepted";
  return error;
}

TEST(AutomateOption, ReadsNameAndTimeValuePairs) {
  const AutomationLane lane = parsed("Compressor Threshold=0:15, 2.5:3,4:3", false);
  EXPECT_EQ(lane.target, "Compressor Threshold");
  EXPECT_FALSE(lane.normalised);
  ASSERT_EQ(lane.points.size(), 3u);
  EXPECT_EQ(lane.points[1].seconds, 2.5);
  EXPECT_EQ(lane.points[1].value, 3.0);
  // Equal times are a jump; the name may hold '=' and ':' (the last '=' splits).
  const AutomationLane jump = parsed("A=B:C=1:0.25,1:0.75", true);
  EXPECT_EQ(jump.target, "A=B:C");
  EXPECT_TRUE(jump.normalised);
  EXPECT_EQ(jump.points.size(), 2u);
}

TEST(AutomateOption, RefusesMalformedLanes) {
  for (const char* text : {"Ratio", "=0:1", "Ratio=", "Ratio=1", "Ratio=0:1,", "Ratio=0:x", "Ratio=a:1",
                           "Ratio=2:1,1:2", "Ratio=-1:2", "Ratio=0:inf"}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(refusal(text, false).rfind("--automate " + std::string(text) + ": ", 0), 0u);
  }
  EXPECT_EQ(refusal("Mix=0:1.5", true), "--automate-norm Mix=0:1.5: a normalised value lies between 0 and 1");
  EXPECT_EQ(parsed("Mix=0:1.5", false).points.size(), 1u);  // a step: checked against the module later
}

class AutomationFileTest : public ::testing::Test {
protected:
  std::string write(const std::string& text) {
    const std::string path = temp.Path("lanes.csv");
    std::ofstream(path) << text;
    return path;
  }
  TempFolder temp;
};

// A header, comments, blank lines, CRLF endings, quoted names and interleaved parameters: one
// lane per parameter in order of appearance, each point remembering its line.
TEST_F(AutomationFileTest, ReadsLanesFromCsv) {
  std::string error;
  const std::vector<AutomationLane> lanes = ReadAutomationFile(write("time,parameter,value\r\n"
                                                                     "# threshold down, mix out\n"
                                                                     "0, Compressor Threshold, 15\n"
                                                                     "\n"
                                                                     "0,\"Mix\",1\n"
                                                                     "2.5,Compressor Threshold,3\r\n"
                                                                     "3,\"Odd, \"\"quoted\"\" name\",0.5\n"),
                                                               false, &error)
                                                .value_or(std::vector<AutomationLane>{});
  ASSERT_EQ(lanes.size(), 3u) << error;
  EXPECT_EQ(lanes[0].target, "Compressor Threshold");
  ASSERT_EQ(lanes[0].points.size(), 2u);
  EXPECT_EQ(lanes[0].points[1].seconds, 2.5);
  EXPECT_NE(lanes[0].points[1].where.find("lanes.csv:6"), std::string::npos) << lanes[0].points[1].where;
  EXPECT_EQ(lanes[1].target, "Mix");
  EXPECT_EQ(lanes[2].target, "Odd, \"quoted\" name");
  EXPECT_FALSE(lanes[2].normalised);
}

TEST_F(AutomationFileTest, RefusesBadLinesNamingThem) {
  struct Case {
    const char* text;
    const char* line;
  } cases[] = {
      {"0,Ratio,1\n1,Ratio\n", ":2"},   {"0,Ratio,1\nsoon,Ratio,2\n", ":2"},
      {"0,Ratio,1\n1,Ratio,x\n", ":2"}, {"2,Ratio,1\n1,Ratio,2\n", ":2"},
      {"0,\"Ratio,1\n", ":1"},          {"0,,1\n", ":1"},
      {"# nothing\n", "no points"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::string error;
    EXPECT_FALSE(ReadAutomationFile(write(c.text), false, &error)) << "accepted";
    EXPECT_NE(error.find(c.line), std::string::npos) << error;
  }
  std::string error;
  EXPECT_FALSE(ReadAutomationFile(temp.Path("missing.csv"), false, &error));
  EXPECT_EQ(error, "cannot read automation file " + temp.Path("missing.csv"));
}

}  // namespace
