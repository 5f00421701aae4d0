// The manual page says what --help says: every command and option of the help, with its
// description, reads the same in the page as groff renders it.
#include "tests/velmora-host/HostTest.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

using host_test::HostRun;
using host_test::HostTest;

namespace {

// Runs of spaces, tabs and line breaks as one space.
std::string collapsed(const std::string& text) {
  std::string out;
  for (const char c : text) {
    const bool space = c == ' ' || c == '\t' || c == '\n';
    if (space && (out.empty() || out.back() == ' ')) continue;
    out += space ? ' ' : c;
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

// The page as plain text, on lines long enough that nothing is broken or hyphenated.
std::string renderedPage(const std::string& page) {
  const std::string command = "groff -man -Tascii -rLL=3000n -P-cbu '" + page + "' 2>&1";
  std::string text;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    while (std::size_t got = fread(buffer, 1, sizeof buffer, pipe)) text.append(buffer, got);
    pclose(pipe);
  }
  return text;
}

// The help's entries: a line indented by two spaces starts one (a command or option with its
// description), deeper indented lines continue it; other lines (the usage, the description,
// section titles) are entries of their own.
std::vector<std::string> helpEntries(const std::string& help) {
  std::vector<std::string> entries;
  std::istringstream lines(help);
  std::string line;
  bool open = false;
  while (std::getline(lines, line)) {
    if (line.empty()) {
      open = false;
      continue;
    }
    const bool continuation = open && line.compare(0, 3, "   ") == 0;
    if (continuation)
      entries.back() += " " + line;
    else
      entries.push_back(line);
    open = line.compare(0, 2, "  ") == 0;
  }
  return entries;
}

TEST_F(HostTest, ManualPageSaysWhatHelpSays) {
  const HostRun help = host({"--help"});
  ASSERT_EQ(help.exitCode, 0);
  const std::string page = collapsed(renderedPage(VELMORA_HOST_MAN_PAGE));
  ASSERT_NE(page.find("NAME velmora-host - command-line VST3 host"), std::string::npos) << page;
  const std::vector<std::string> entries = helpEntries(help.out);
  ASSERT_GT(entries.size(), 30u);
  for (std::string entry : entries) {
    // help2man turns the usage line into the synopsis.
    if (entry.rfind("Usage: ", 0) == 0) entry = entry.substr(7);
    EXPECT_NE(page.find(collapsed(entry)), std::string::npos) << "missing from the manual page: " << entry;
  }
  const HostRun version = host({"--version"});
  EXPECT_NE(page.find(collapsed(version.out)), std::string::npos) << version.out;
}

}  // namespace
