#include "tests/velmora-host/HostRunner.h"

#include "tools/support/AudioFile.h"
#include "tools/support/OutputFile.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <utility>

extern char** environ;

namespace host_test {

namespace {

std::string readText(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

HostRun runHost(const std::vector<std::string>& args, const std::filesystem::path& workDir) {
  return runHost(args, workDir, {}, {});
}

namespace {

pid_t spawn(const std::vector<std::string>& args, const std::filesystem::path& workDir,
            const std::filesystem::path& input, const std::filesystem::path& output) {
  std::vector<std::string> argv{VELMORA_HOST_EXE};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> pointers;
  for (std::string& arg : argv) pointers.push_back(arg.data());
  pointers.push_back(nullptr);

  const std::filesystem::path outPath = workDir / "host-stdout.txt";
  const std::filesystem::path errPath = workDir / "host-stderr.txt";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const std::filesystem::path stdoutPath = output.empty() ? outPath : output;
  posix_spawn_file_actions_addopen(&actions, 1, stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 0, input.empty() ? "/dev/null" : input.c_str(), O_RDONLY, 0);
  // The host runs in the test's folder, so whatever it writes by relative names stays there.
  posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, pointers.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

HostRun finish(pid_t pid, const std::filesystem::path& workDir, bool keptStdout) {
  const std::filesystem::path outPath = workDir / "host-stdout.txt";
  const std::filesystem::path errPath = workDir / "host-stderr.txt";
  HostRun run;
  if (pid > 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    run.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + run.signal;
  }
  if (!keptStdout) run.out = readText(outPath);
  run.err = readText(errPath);
  if (!keptStdout) std::filesystem::remove(outPath);
  std::filesystem::remove(errPath);
  return run;
}

}  // namespace

HostRun runHost(const std::vector<std::string>& args, const std::filesystem::path& workDir,
                const std::filesystem::path& input, const std::filesystem::path& output) {
  return finish(spawn(args, workDir, input, output), workDir, !output.empty());
}

StartedHost startHost(const std::vector<std::string>& args, const std::filesystem::path& workDir) {
  return StartedHost{spawn(args, workDir, {}, {}), workDir};
}

HostRun finishHost(const StartedHost& host) { return finish(host.pid, host.workDir, false); }

velmora_host::AudioData sine(double dbfs, double frequency, double seconds, int channels, double sampleRate) {
  const auto frames = static_cast<std::size_t>(seconds * sampleRate);
  auto audio = velmora_host::AudioData::Silent(static_cast<std::size_t>(channels), frames, sampleRate);
  const double amplitude = std::pow(10.0, dbfs / 20.0);
  for (auto& channel : audio.channels)
    for (std::size_t i = 0; i < frames; ++i)
      channel[i] = amplitude * std::sin(2.0 * 3.14159265358979323846 * frequency * static_cast<double>(i) / sampleRate);
  return audio;
}

void writeWav(const std::filesystem::path& path, const velmora_host::AudioData& audio) {
  velmora_host::OutputFile file(path.string());
  std::string error;
  ASSERT_TRUE(velmora_host::WriteWavFile(file, audio, velmora_host::SampleFormat::Float32, &error)) << error;
  ASSERT_TRUE(file.Commit(&error)) << error;
}

velmora_host::AudioData readAudio(const std::filesystem::path& path) {
  std::string error;
  std::optional<velmora_host::AudioData> audio = velmora_host::ReadAudioFile(path.string(), &error);
  EXPECT_TRUE(audio) << error;
  return audio ? std::move(*audio) : velmora_host::AudioData{};
}

std::vector<char> fileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

double rmsDb(const velmora_host::AudioData& audio, double skipSeconds) {
  const auto skip = static_cast<std::size_t>(skipSeconds * audio.sampleRate);
  double sum = 0.0;
  std::size_t count = 0;
  for (const auto& channel : audio.channels)
    for (std::size_t i = skip; i < channel.size(); ++i, ++count) sum += channel[i] * channel[i];
  return count ? 10.0 * std::log10(sum / static_cast<double>(count)) : -300.0;
}

}  // namespace host_test
