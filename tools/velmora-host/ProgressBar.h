#pragma once
// A one-line progress bar on stderr for long renders. It stays silent unless stderr is a terminal
// (so logs and test pipes never see carriage-return noise) and the job is long enough to wait for.
#include <cstddef>

namespace velmora_host {

class ProgressBar {
public:
  // `enabled` is the caller's "long enough" decision; the terminal check is made here.
  ProgressBar(std::size_t total, bool enabled);
  ~ProgressBar();
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  void update(std::size_t done);
  // Clears the bar so the summary starts on a clean line.
  void finish();

private:
  std::size_t mTotal;
  bool mActive;
  int mLastPercent = -1;
};

}  // namespace velmora_host
