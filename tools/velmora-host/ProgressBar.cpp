#include "tools/velmora-host/ProgressBar.h"

#include "tools/velmora-host/HostPlatform.h"

#include <cstdio>

namespace velmora_host {
namespace {
constexpr int kBarWidth = 40;
}

ProgressBar::ProgressBar(std::size_t total, bool enabled)
    : mTotal(total), mActive(enabled && total > 0 && isTerminal(stderr)) {}

ProgressBar::~ProgressBar() { finish(); }

void ProgressBar::update(std::size_t done) {
  if (!mActive) return;
  const int percent = static_cast<int>(done * 100 / mTotal);
  if (percent == mLastPercent) return;
  mLastPercent = percent;
  const int filled = percent * kBarWidth / 100;
  char bar[kBarWidth + 1];
  for (int i = 0; i < kBarWidth; ++i) bar[i] = i < filled ? '#' : '.';
  bar[kBarWidth] = '\0';
  std::fprintf(stderr, "\rrendering [%s] %3d%%", bar, percent);
  std::fflush(stderr);
}

void ProgressBar::finish() {
  if (!mActive) return;
  std::fprintf(stderr, "\r%*s\r", kBarWidth + 20, "");
  std::fflush(stderr);
  mActive = false;
}

}  // namespace velmora_host
