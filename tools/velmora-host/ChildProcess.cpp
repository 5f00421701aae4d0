#include "tools/velmora-host/ChildProcess.h"

#include "tools/velmora-host/HostError.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

extern char** environ;

namespace velmora_host {

namespace {

// A program that floods its error output must not make us hold it all.
constexpr std::size_t kMaxErrorText = 64 * 1024;

std::string programName(const std::string& path) {
  const std::string::size_type slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string firstLine(const std::string& text) {
  std::string::size_type begin = 0;
  while (begin < text.size()) {
    std::string::size_type end = text.find('\n', begin);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(begin, end - begin);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
    if (!line.empty()) return line;
    begin = end + 1;
  }
  return std::string();
}

// Reads the child's error output to its end (the child closing it, normally by exiting).
std::string readAll(int fd) {
  std::string text;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof(buffer));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    if (text.size() < kMaxErrorText) text.append(buffer, static_cast<std::size_t>(n));
  }
  return text;
}

}  // namespace

void runChildProcess(const std::vector<std::string>& argv) {
  if (argv.empty() || argv.front().empty()) throw HostError("no program to run");
  const std::string& program = argv.front();
  const std::string name = programName(program);

  std::vector<std::string> args = argv;
  std::vector<char*> pointers;
  for (std::string& arg : args) pointers.push_back(arg.data());
  pointers.push_back(nullptr);

  // Close-on-exec, so only the duplicate on the child's descriptor 2 stays open in the child
  // and the read end sees the end of the output when the child is gone.
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) throw HostError("cannot start " + program + ": " + std::strerror(errno));
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, pointers.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  if (spawned != 0) {
    ::close(pipeFds[0]);
    throw HostError("cannot start " + program + ": " + std::strerror(spawned));
  }

  const std::string errors = readAll(pipeFds[0]);
  ::close(pipeFds[0]);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) throw HostError("lost track of " + name + ": " + std::strerror(errno));
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return;

  const std::string said = firstLine(errors);
  if (WIFSIGNALED(status)) {
    const int signal = WTERMSIG(status);
    throw HostError(name + " was ended by signal " + std::to_string(signal) + " (" + strsignal(signal) + ")" +
                    (said.empty() ? std::string() : ": " + said));
  }
  if (!said.empty()) throw HostError(said);
  throw HostError(name + " failed with exit status " + std::to_string(WEXITSTATUS(status)));
}

}  // namespace velmora_host
