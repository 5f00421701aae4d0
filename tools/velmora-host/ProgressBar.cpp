#include "tools/velmora-host/ProgressBar.h"

#include "tools/velmora-host/HostPlatform.h"

#include <algorithm>
#include <cstdio>

namespace velmora_host {
namespace {
constexpr int kBarWidth = 40;
constexpr int kLineWidth = kBarWidth + 40;
}  // namespace

ProgressBar::ProgressBar(std::size_t total, std::size_t files, bool enabled)
    : mTotal(total), mFiles(files), mActive(enabled && total > 0 && isTerminal(stderr)) {}

ProgressBar::~ProgressBar() { finish(); }

void ProgressBar::advance(std::size_t frames) {
  const std::lock_guard<std::mutex> lock(mMutex);
  mDone = std::min(mTotal, mDone + frames);
  const int percent = mTotal ? static_cast<int>(mDone * 100 / mTotal) : 100;
  if (percent == mLastPercent) return;
  mLastPercent = percent;
  draw();
}

void ProgressBar::fileDone() {
  const std::lock_guard<std::mutex> lock(mMutex);
  ++mFilesDone;
  draw();
}

void ProgressBar::message(const std::string& line) {
  const std::lock_guard<std::mutex> lock(mMutex);
  clear();
  std::fprintf(stderr, "%s\n", line.c_str());
  draw();
}

void ProgressBar::finish() {
  const std::lock_guard<std::mutex> lock(mMutex);
  clear();
  mActive = false;
}

void ProgressBar::draw() {
  if (!mActive) return;
  const int percent = mTotal ? static_cast<int>(mDone * 100 / mTotal) : 100;
  const int filled = percent * kBarWidth / 100;
  char bar[kBarWidth + 1];
  for (int i = 0; i < kBarWidth; ++i) bar[i] = i < filled ? '#' : '.';
  bar[kBarWidth] = '\0';
  if (mFiles > 1)
    std::fprintf(stderr, "\rrendering %zu/%zu files [%s] %3d%%", mFilesDone, mFiles, bar, percent);
  else
    std::fprintf(stderr, "\rrendering [%s] %3d%%", bar, percent);
  std::fflush(stderr);
}

void ProgressBar::clear() {
  if (!mActive) return;
  std::fprintf(stderr, "\r%*s\r", kLineWidth, "");
  std::fflush(stderr);
}

}  // namespace velmora_host
