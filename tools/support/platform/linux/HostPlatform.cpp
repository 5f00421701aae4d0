#include "tools/support/HostPlatform.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace velmora_host {

namespace {

// A program that floods its error output must not make us hold it all.
constexpr std::size_t kMaxErrorText = 64 * 1024;

// Reads the child's error output to its end (the child closing it, normally by exiting).
std::string ReadAll(int fd) {
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

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

std::string BesideProgram(const std::string& path) {
  if (path.empty() || path.front() == '/') return path;
  char self[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", self, sizeof(self) - 1);
  if (n <= 0) return path;
  std::string dir(self, static_cast<std::size_t>(n));
  return dir.substr(0, dir.rfind('/') + 1) + path;
}

bool IsExecutableFile(const std::string& path) { return ::access(path.c_str(), X_OK) == 0; }

std::vector<std::string> PresetFolders() {
  std::vector<std::string> folders;
  if (const char* home = std::getenv("HOME"); home && *home) folders.push_back(std::string(home) + "/.vst3/presets");
  folders.push_back("/usr/local/share/vst3/presets");
  folders.push_back("/usr/share/vst3/presets");
  return folders;
}

bool IsTerminal(std::FILE* stream) { return ::isatty(::fileno(stream)) == 1; }

SNDFILE* OpenSoundFile(const std::string& path, int mode, SF_INFO* info) { return sf_open(path.c_str(), mode, info); }

SNDFILE* OpenStandardStream(int mode, SF_INFO* info) {
  return sf_open_fd(mode == SFM_READ ? STDIN_FILENO : STDOUT_FILENO, mode, info, SF_FALSE);
}

int SeekFile(std::FILE* stream, long long offset, int whence) {
  return ::fseeko(stream, static_cast<off_t>(offset), whence);
}

long long TellFile(std::FILE* stream) { return ::ftello(stream); }

long long FileLength(std::FILE* stream) {
  struct stat st {};
  if (std::fflush(stream) != 0 || ::fstat(::fileno(stream), &st) != 0) return -1;
  return st.st_size;
}

bool SyncFile(std::FILE* stream) { return std::fflush(stream) == 0 && ::fsync(::fileno(stream)) == 0; }

namespace {

constexpr int kCancelSignals[] = {SIGINT, SIGTERM, SIGHUP};
std::atomic<int> gCancelSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free flag");

void NoteCancel(int signal) {
  int none = 0;
  gCancelSignal.compare_exchange_strong(none, signal, std::memory_order_relaxed);
  // Asked again: no more waiting for the work to wind down.
  for (const int s : kCancelSignals) std::signal(s, SIG_DFL);
}

}  // namespace

void InstallCancelHandlers() {
  struct sigaction action {};
  action.sa_handler = NoteCancel;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;  // reads and writes carry on; the work checks between blocks
  for (const int s : kCancelSignals) sigaction(s, &action, nullptr);
}

int CancelSignal() { return gCancelSignal.load(std::memory_order_relaxed); }

void EndBySignal(int signal) {
  std::signal(signal, SIG_DFL);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, signal);
  pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
  std::raise(signal);
  std::_Exit(128 + signal);  // not reached
}

ChildOutcome RunToCompletion(const std::vector<std::string>& argv) {
  ChildOutcome outcome;
  std::vector<std::string> args = argv;
  std::vector<char*> pointers;
  for (std::string& arg : args) pointers.push_back(arg.data());
  pointers.push_back(nullptr);

  // Close-on-exec, so only the duplicate on the child's descriptor 2 stays open in the child
  // and the read end sees the end of the output when the child is gone.
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
    outcome.startError = std::strerror(errno);
    return outcome;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, args.front().c_str(), &actions, nullptr, pointers.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  if (spawned != 0) {
    ::close(pipeFds[0]);
    outcome.startError = std::strerror(spawned);
    return outcome;
  }

  outcome.errorOutput = ReadAll(pipeFds[0]);
  ::close(pipeFds[0]);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) {
      outcome.startError = std::string("lost track of it: ") + std::strerror(errno);
      return outcome;
    }
  }
  if (WIFSIGNALED(status)) {
    outcome.signalled = true;
    outcome.status = WTERMSIG(status);
    outcome.signalName = strsignal(outcome.status);
  } else {
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  return outcome;
}

}  // namespace velmora_host
