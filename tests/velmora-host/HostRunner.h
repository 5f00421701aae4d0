#pragma once
// Runs the built velmora-host as a child process and collects what it printed, and makes small
// audio files for it. Each fixture gets its own scratch folder, removed afterwards.
#include "tools/support/AudioData.h"

#include <filesystem>
#include <string>
#include <vector>

namespace host_test {

struct HostRun {
  int exitCode = -1;  // 128 + the signal's number when a signal ended it, as a shell reports it
  std::string out;
  std::string err;
  int signal = 0;  // the signal that ended it, 0 when it exited
};

// A host running in the background.
struct StartedHost {
  int pid = -1;
  std::filesystem::path workDir;
};
StartedHost startHost(const std::vector<std::string>& args, const std::filesystem::path& workDir);
// Waits for it to end.
HostRun finishHost(const StartedHost& host);

// Runs velmora-host with `args` in `workDir` (its output is collected in files there, then removed).
HostRun runHost(const std::vector<std::string>& args, const std::filesystem::path& workDir);

// The same with standard input read from `input` and standard output written into `output` (and
// kept), where either is not empty; out then stays empty.
HostRun runHost(const std::vector<std::string>& args, const std::filesystem::path& workDir,
                const std::filesystem::path& input, const std::filesystem::path& output);

// A sine of `frequency` Hz at `dbfs` peak on every channel.
velmora_host::AudioData sine(double dbfs, double frequency, double seconds, int channels = 2,
                             double sampleRate = 44100.0);

void writeWav(const std::filesystem::path& path, const velmora_host::AudioData& audio);
// The audio of a file; a failed read fails the test and answers no audio.
velmora_host::AudioData readAudio(const std::filesystem::path& path);
std::vector<char> fileBytes(const std::filesystem::path& path);

// RMS over all channels from `skipSeconds` on (so parameter and filter settling is left out).
double rmsDb(const velmora_host::AudioData& audio, double skipSeconds);

}  // namespace host_test
