#include <windows.h>  // before sndfile.h, which then declares sf_wchar_open

#define ENABLE_SNDFILE_WINDOWS_PROTOTYPES 1
#include "tools/support/HostPlatform.h"

#include "base/platform/win32/WideText.h"

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#include <shlobj.h>

#include <atomic>
#include <csignal>
#include <memory>

namespace velmora_host {

namespace {

using velmora_base::Utf8FromWide;
using velmora_base::WideFromUtf8;

// A program that floods its error output must not make us hold it all.
constexpr std::size_t kMaxErrorText = 64 * 1024;

struct HandleCloser {
  void operator()(HANDLE h) const {
    if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};
using Handle = std::unique_ptr<void, HandleCloser>;

std::string LastErrorText() { return velmora_base::SystemErrorText(GetLastError()); }

// One argument as the C runtime's command-line parser reads it back: quoted when it holds
// blanks or quotes, with backslashes doubled only where they precede a quote.
void AppendQuoted(std::wstring& line, const std::wstring& arg) {
  if (!line.empty()) line.push_back(L' ');
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    line += arg;
    return;
  }
  line.push_back(L'"');
  for (auto it = arg.begin();; ++it) {
    std::size_t backslashes = 0;
    while (it != arg.end() && *it == L'\\') {
      ++it;
      ++backslashes;
    }
    if (it == arg.end()) {
      line.append(backslashes * 2, L'\\');
      break;
    }
    if (*it == L'"') {
      line.append(backslashes * 2 + 1, L'\\');
    } else {
      line.append(backslashes, L'\\');
    }
    line.push_back(*it);
  }
  line.push_back(L'"');
}

Handle InheritableNul(DWORD access) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return Handle(CreateFileW(L"NUL", access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr));
}

bool IsAbsolute(const std::string& path) {
  return (path.size() >= 2 && path[1] == ':') || (!path.empty() && (path[0] == '\\' || path[0] == '/'));
}

}  // namespace

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) args.push_back(Utf8FromWide(wide[i]));
  LocalFree(wide);
  return args;
}

std::string BesideProgram(const std::string& path) {
  if (path.empty() || IsAbsolute(path)) return path;
  std::wstring self(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
    if (n == 0) return path;
    if (n < self.size()) {
      self.resize(n);
      break;
    }
    self.resize(self.size() * 2);
  }
  const std::string program = Utf8FromWide(self);
  return program.substr(0, program.find_last_of("\\/") + 1) + path;
}

bool IsExecutableFile(const std::string& path) {
  const std::wstring wide = WideFromUtf8(path);
  const DWORD attributes = wide.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(wide.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::string> PresetFolders() {
  std::vector<std::string> folders;
  for (const KNOWNFOLDERID& id : {FOLDERID_Documents, FOLDERID_ProgramData}) {
    PWSTR path = nullptr;
    if (SHGetKnownFolderPath(id, 0, nullptr, &path) == S_OK) folders.push_back(Utf8FromWide(path) + "\\VST3 Presets");
    CoTaskMemFree(path);
  }
  return folders;
}

bool IsTerminal(std::FILE* stream) { return _isatty(_fileno(stream)) != 0; }

SNDFILE* OpenSoundFile(const std::string& path, int mode, SF_INFO* info) {
  const std::wstring wide = WideFromUtf8(path);
  return wide.empty() ? nullptr : sf_wchar_open(wide.c_str(), mode, info);
}

SNDFILE* OpenStandardStream(int mode, SF_INFO* info) {
  const int fd = _fileno(mode == SFM_READ ? stdin : stdout);
  // Text mode would turn every byte 10 into 13 10.
  _setmode(fd, _O_BINARY);
  return sf_open_fd(fd, mode, info, SF_FALSE);
}

int SeekFile(std::FILE* stream, long long offset, int whence) { return _fseeki64(stream, offset, whence); }

long long TellFile(std::FILE* stream) { return _ftelli64(stream); }

long long FileLength(std::FILE* stream) {
  if (std::fflush(stream) != 0) return -1;
  return _filelengthi64(_fileno(stream));
}

bool SyncFile(std::FILE* stream) { return std::fflush(stream) == 0 && _commit(_fileno(stream)) == 0; }

namespace {

std::atomic<int> gCancelSignal{0};

// The C runtime calls this on a thread of the console's, and restores the default handling
// before it does: a second Ctrl+C ends the program at once.
void NoteCancel(int signal) {
  int none = 0;
  gCancelSignal.compare_exchange_strong(none, signal, std::memory_order_relaxed);
}

}  // namespace

void InstallCancelHandlers() {
  std::signal(SIGINT, NoteCancel);
  std::signal(SIGBREAK, NoteCancel);
  std::signal(SIGTERM, NoteCancel);
}

int CancelSignal() { return gCancelSignal.load(std::memory_order_relaxed); }

void EndBySignal(int) {
  // What Windows reports for a console program stopped by Ctrl+C.
  ExitProcess(static_cast<UINT>(STATUS_CONTROL_C_EXIT));
}

ChildOutcome RunToCompletion(const std::vector<std::string>& argv) {
  ChildOutcome outcome;
  std::wstring line;
  for (const std::string& arg : argv) AppendQuoted(line, WideFromUtf8(arg));
  const std::wstring program = WideFromUtf8(argv.front());

  // The write end is inherited as the child's error output; our read end is not inherited, so
  // it sees the end of the output once the child (and every copy of the write end) is gone.
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
    outcome.startError = LastErrorText();
    return outcome;
  }
  Handle reader(readEnd);
  Handle writer(writeEnd);
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  Handle input = InheritableNul(GENERIC_READ);
  Handle output = InheritableNul(GENERIC_WRITE);

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input.get();
  startup.hStdOutput = output.get();
  startup.hStdError = writeEnd;
  PROCESS_INFORMATION process{};
  if (program.empty() || !CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                         nullptr, nullptr, &startup, &process)) {
    outcome.startError = program.empty() ? std::string("the path is not valid UTF-8") : LastErrorText();
    return outcome;
  }
  Handle processHandle(process.hProcess);
  Handle threadHandle(process.hThread);
  writer.reset();

  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(readEnd, buffer, sizeof(buffer), &got, nullptr) && got > 0)
    if (outcome.errorOutput.size() < kMaxErrorText) outcome.errorOutput.append(buffer, got);

  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  outcome.status = static_cast<int>(code);
  return outcome;
}

}  // namespace velmora_host
