// Helper programs as the demo runs them: arguments passed through untouched, and every way a
// helper can fail turned into one line that says what happened.
#include "tests/support/TempFolder.h"
#include "tools/support/ChildProcess.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using velmora_host::RunChildProcess;

namespace {

class ChildProcessTest : public ::testing::Test {
protected:
  // An executable script standing in for a helper program.
  std::string script(const std::string& name, const std::string& body) const {
    const fs::path path = dir / name;
    std::ofstream(path) << "#!/bin/sh\n" << body;
    fs::permissions(path, fs::perms::owner_all);
    return path.string();
  }

  // The failure message, or "" when the run succeeded (and said so).
  static std::string failure(const std::vector<std::string>& argv) {
    std::string error;
    const bool ran = RunChildProcess(argv, &error);
    EXPECT_EQ(ran, error.empty()) << error;
    return error;
  }

  TempFolder temp;
  const fs::path dir = temp.Dir();
};

TEST_F(ChildProcessTest, ArgumentsArriveExactlyAsGiven) {
  const std::string echo = script("echo-args", "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$1\"\n");
  const std::string out = (dir / "args with space.txt").string();
  const std::vector<std::string> args{out, "--set", "Compressor Threshold=3", "it's \"quoted\"", "$HOME", "*", ""};
  std::vector<std::string> argv{echo};
  argv.insert(argv.end(), args.begin(), args.end());
  EXPECT_EQ(failure(argv), "");
  std::ifstream in(out);
  std::stringstream got;
  got << in.rdbuf();
  std::string expected;
  for (const std::string& arg : args) expected += arg + "\n";
  EXPECT_EQ(got.str(), expected);
}

TEST_F(ChildProcessTest, FailuresBecomeOneLine) {
  struct Case {
    const char* what;
    std::vector<std::string> argv;
    std::string message;  // expected start of the message
  };
  const std::vector<Case> cases{
      {"its own first line",
       {script("says", "echo '' >&2; echo 'velmora-snapshot: cannot read in.wav' >&2; echo more >&2; exit 1\n")},
       "velmora-snapshot: cannot read in.wav"},
      {"silent with a status", {script("quiet", "exit 3\n")}, "quiet failed with exit status 3"},
      {"killed", {script("killed", "echo 'half way' >&2; kill -9 $$\n")}, "killed was ended by signal 9"},
      {"missing program", {(dir / "nowhere").string()}, "cannot start " + (dir / "nowhere").string() + ": "},
      {"not executable", {(dir / "plain.txt").string()}, "cannot start "},
  };
  std::ofstream(dir / "plain.txt") << "no program\n";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string message = failure(c.argv);
    EXPECT_EQ(message.rfind(c.message, 0), 0u) << message;
    EXPECT_EQ(message.find('\n'), std::string::npos) << message;
  }
  EXPECT_NE(failure({script("killed2", "echo 'half way' >&2; kill -9 $$\n")}).find(": half way"), std::string::npos);
}

}  // namespace
