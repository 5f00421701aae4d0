#pragma once
// What the command-line host needs from the operating system beyond standard C++, offered the
// same way on Linux and Windows: arguments and file names in UTF-8 (Windows hands them over in
// UTF-16), helper programs, sound files by name, and whether a stream is a terminal.
// platform/linux/ and platform/win32/ implement it; the build compiles one.
#include <sndfile.h>

#include <cstdio>
#include <string>
#include <vector>

namespace velmora_host {

// The program's arguments, argv[0] included, in UTF-8.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// A relative path taken from the folder of the running program; an absolute one unchanged.
std::string BesideProgram(const std::string& path);

bool IsExecutableFile(const std::string& path);

// The folders VST3 hosts scan for preset files on this platform, the user's first: on Linux
// ~/.vst3/presets, /usr/local/share/vst3/presets and /usr/share/vst3/presets; on Windows
// Documents\VST3 Presets and ProgramData\VST3 Presets.
std::vector<std::string> PresetFolders();
bool IsTerminal(std::FILE* stream);

// sf_open with a UTF-8 file name.
SNDFILE* OpenSoundFile(const std::string& path, int mode, SF_INFO* info);
// Standard input (SFM_READ) or output (SFM_WRITE) as a sound file, in binary mode; it stays open
// when the sound file is closed.
SNDFILE* OpenStandardStream(int mode, SF_INFO* info);

// 64-bit positions in a stdio stream (Windows' long, which fseek takes, has 32 bits); -1 on
// failure.
int SeekFile(std::FILE* stream, long long offset, int whence);
long long TellFile(std::FILE* stream);
// The stream's size, with what is still buffered.
long long FileLength(std::FILE* stream);
// Everything written to the stream handed over and on the disk.
bool SyncFile(std::FILE* stream);

// Signals that ask the program to stop (SIGINT, SIGTERM, SIGHUP; on Windows Ctrl+C and
// Ctrl+Break) from now on only note that they came, the first one: CancelSignal() answers it, 0
// while none has. Any further one ends the program at once.
void InstallCancelHandlers();
int CancelSignal();
// Ends the program as that signal ends it by default (on Windows as Ctrl+C ends a console program).
[[noreturn]] void EndBySignal(int signal);

// How a helper program ended.
struct ChildOutcome {
  std::string startError;  // set when it could not be started at all
  bool signalled = false;  // ended by a signal (Linux only)
  int status = 0;          // exit status, or the signal's number
  std::string signalName;
  std::string errorOutput;  // its error output, the first 64 KiB
};

// Runs argv[0] with the argument vector (no shell, so spaces and quotes pass through untouched),
// with no input and its standard output discarded, and waits for it to end.
ChildOutcome RunToCompletion(const std::vector<std::string>& argv);

}  // namespace velmora_host
