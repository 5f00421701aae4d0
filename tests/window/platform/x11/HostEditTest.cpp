// `velmora-host edit` on a display: the panel opens in the host's own window, turning a knob
// prints the change, and a terminate request closes the editor the way a host closes it.

#include "tests/support/TempFolder.h"
#include "tests/window/platform/x11/X11TestHost.h"

#include "plugin/VelmoraEditor.h"
#include "plugin/VelmoraSteps.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

using namespace x11test;

namespace {
std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Waits for text to appear in the file, up to five seconds.
bool Appears(const std::string& path, const std::string& text) {
  for (int i = 0; i < 500; ++i) {
    if (ReadText(path).find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}
}  // namespace

TEST(VelmoraHostEdit, OpensThePanelPrintsEachChangeAndClosesOnRequest) {
  TempFolder folder;
  const std::string out = folder.Path("stdout.txt"), err = folder.Path("stderr.txt");
  std::vector<std::string> argv = {VELMORA_HOST_EXE, "edit"};
  std::vector<char*> args;
  for (std::string& a : argv) args.push_back(a.data());
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);

  EXPECT_TRUE(Appears(out, "editor of \"Velmora\" open")) << ReadText(err);
  // The host's window is the first on the screen, at its top-left corner. A turn of the Ratio knob
  // by one step up:
  const VelmoraKnob& ratio = *std::find_if(std::begin(kEditorKnobs), std::end(kEditorKnobs),
                                           [](const VelmoraKnob& k) { return k.paramIdx == kParamRatio; });
  X11TestHost host;
  const int x = ratio.x + ratio.image.width / 2, y = ratio.y + 30;
  // "open" comes once the view is attached; the windows may reach the screen a moment later, and a
  // press before that would land on the bare root.
  bool shown = false;
  for (int i = 0; i < 500 && !shown; ++i) {
    shown = host.WindowDepthAt(x, y) >= 2;  // the host's window and the editor inside it
    if (!shown) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (!shown) {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    FAIL() << "the editor never appeared under the pointer: " << ReadText(err);
  }
  host.MoveTo(x, y);
  host.Press(1);
  host.MoveTo(x, y - 40);
  host.Release(1);
  EXPECT_TRUE(Appears(out, "Ratio = 4:1 (knee 0.8 x threshold)")) << ReadText(out);

  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadText(err);
  EXPECT_NE(ReadText(out).find("editor closed"), std::string::npos);
  EXPECT_EQ(ReadText(err), "");
}
