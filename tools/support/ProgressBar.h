#pragma once
// One progress line on stderr for long renders, shared by every worker of a batch: how far, the
// time since the start, the speed in multiples of real time and the time left. It stays silent
// unless stderr is a terminal (so logs and test pipes never see carriage-return noise) and the job
// is long enough to wait for. Workers report seconds of audio as they go; messages printed through
// it (a failed file, a warning) appear on a line of their own with the bar drawn again below.
#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>

namespace velmora_host {

// What the line shows.
struct ProgressState {
  double doneSeconds = 0.0;   // of audio
  double totalSeconds = 0.0;  // of audio; 0 when unknown (a stream)
  std::size_t files = 1;
  std::size_t filesDone = 0;
  double elapsedSeconds = 0.0;  // of wall-clock time
};

// "rendering 1/3 files [####....]  42%  0:12 elapsed  35.2x real time  0:17 left"; without a
// total, the audio done instead of the bar and no time left.
std::string ProgressLine(const ProgressState& state);

class ProgressBar {
public:
  // `totalSeconds`: audio of all files together, 0 when unknown; `files`: how many files (shown
  // when more than one); `enabled`: the caller's "long enough" decision; the terminal check is
  // made here.
  ProgressBar(double totalSeconds, std::size_t files, bool enabled);
  ~ProgressBar();
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  // Audio processed since the last report, from any thread.
  void Advance(double seconds);
  // One file finished (or given up).
  void FileDone();
  // A line on stderr that the bar does not overwrite.
  void Message(const std::string& line);
  // Clears the bar so the summary starts on a clean line.
  void Finish();

private:
  void Draw();  // with mMutex held
  void Clear();

  std::mutex mMutex;
  ProgressState mState;
  std::chrono::steady_clock::time_point mStart, mLastDraw;
  bool mActive;
  std::size_t mLastWidth = 0;
};

}  // namespace velmora_host
