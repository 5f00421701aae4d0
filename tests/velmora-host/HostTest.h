#pragma once
// The fixture of the end-to-end tests: a scratch folder of its own, velmora-host run as a child
// process in it, and a render that insists on success and reads its output back.
#include "tests/support/TempFolder.h"
#include "tests/velmora-host/HostRunner.h"
#include "tools/support/AudioFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace host_test {

class HostTest : public ::testing::Test {
protected:
  std::string path(const std::string& name) const { return (dir / name).string(); }

  HostRun host(const std::vector<std::string>& args) const { return runHost(args, dir); }

  // Renders and insists on success; returns the output as read back.
  velmora_host::AudioData render(const std::string& in, const std::string& out, std::vector<std::string> extra = {}) {
    std::vector<std::string> args{"render", path(in), path(out)};
    args.insert(args.end(), extra.begin(), extra.end());
    const HostRun run = host(args);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(run.err.empty()) << run.err;
    return readAudio(path(out));
  }

  TempFolder temp;
  const std::filesystem::path dir = temp.Dir();
};

}  // namespace host_test
