#pragma once
// One progress line on stderr for long renders, shared by every worker of a batch. It stays
// silent unless stderr is a terminal (so logs and test pipes never see carriage-return noise) and
// the job is long enough to wait for. Workers report frames as they go; messages printed through
// it (a failed file) appear on a line of their own with the bar drawn again below.
#include <cstddef>
#include <mutex>
#include <string>

namespace velmora_host {

class ProgressBar {
public:
  // `total`: frames of all files together; `files`: how many files (shown when more than one);
  // `enabled`: the caller's "long enough" decision; the terminal check is made here.
  ProgressBar(std::size_t total, std::size_t files, bool enabled);
  ~ProgressBar();
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  // Frames processed since the last report, from any thread.
  void advance(std::size_t frames);
  // One file finished (or given up).
  void fileDone();
  // A line on stderr that the bar does not overwrite.
  void message(const std::string& line);
  // Clears the bar so the summary starts on a clean line.
  void finish();

private:
  void draw();  // with mMutex held
  void clear();

  std::mutex mMutex;
  std::size_t mTotal;
  std::size_t mFiles;
  std::size_t mDone = 0;
  std::size_t mFilesDone = 0;
  bool mActive;
  int mLastPercent = -1;
};

}  // namespace velmora_host
