#include "tools/support/ProgressBar.h"

#include "tools/support/HostPlatform.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace velmora_host {

namespace {

constexpr int kBarWidth = 30;
// Often enough for the clock to tick, seldom enough to cost nothing.
constexpr auto kRedraw = std::chrono::milliseconds(250);

// "0:07", "12:30", "1:02:03".
std::string Clock(double seconds) {
  const long total = std::lround(std::max(0.0, seconds));
  char text[32];
  if (total >= 3600)
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
  else
    std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
  return text;
}

}  // namespace

std::string ProgressLine(const ProgressState& s) {
  std::string line = "rendering ";
  if (s.files > 1) line += std::to_string(s.filesDone) + "/" + std::to_string(s.files) + " files ";
  char text[64];
  if (s.totalSeconds > 0.0) {
    const double share = std::min(1.0, s.doneSeconds / s.totalSeconds);
    const int filled = static_cast<int>(share * kBarWidth);
    line += "[" + std::string(static_cast<std::size_t>(filled), '#') +
            std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + "]";
    std::snprintf(text, sizeof text, " %3d%%", static_cast<int>(share * 100.0));
    line += text;
  } else {
    line += Clock(s.doneSeconds) + " of audio";
  }
  line += "  " + Clock(s.elapsedSeconds) + " elapsed";
  if (s.elapsedSeconds > 0.0 && s.doneSeconds > 0.0) {
    const double speed = s.doneSeconds / s.elapsedSeconds;
    std::snprintf(text, sizeof text, "  %.1fx real time", speed);
    line += text;
    if (s.totalSeconds > 0.0) line += "  " + Clock(std::max(0.0, s.totalSeconds - s.doneSeconds) / speed) + " left";
  }
  return line;
}

ProgressBar::ProgressBar(double totalSeconds, std::size_t files, bool enabled)
    : mStart(std::chrono::steady_clock::now()), mLastDraw(mStart - kRedraw), mActive(enabled && IsTerminal(stderr)) {
  mState.totalSeconds = totalSeconds;
  mState.files = files;
}

ProgressBar::~ProgressBar() { Finish(); }

void ProgressBar::Advance(double seconds) {
  const std::lock_guard<std::mutex> lock(mMutex);
  mState.doneSeconds += seconds;
  if (mState.totalSeconds > 0.0) mState.doneSeconds = std::min(mState.doneSeconds, mState.totalSeconds);
  if (std::chrono::steady_clock::now() - mLastDraw >= kRedraw) Draw();
}

void ProgressBar::FileDone() {
  const std::lock_guard<std::mutex> lock(mMutex);
  ++mState.filesDone;
  Draw();
}

void ProgressBar::Message(const std::string& line) {
  const std::lock_guard<std::mutex> lock(mMutex);
  Clear();
  std::fprintf(stderr, "%s\n", line.c_str());
  Draw();
}

void ProgressBar::Finish() {
  const std::lock_guard<std::mutex> lock(mMutex);
  Clear();
  mActive = false;
}

void ProgressBar::Draw() {
  if (!mActive) return;
  const auto now = std::chrono::steady_clock::now();
  mLastDraw = now;
  mState.elapsedSeconds = std::chrono::duration<double>(now - mStart).count();
  const std::string line = ProgressLine(mState);
  // Blanks over whatever a longer line before left behind.
  std::fprintf(stderr, "\r%s%*s", line.c_str(),
               static_cast<int>(mLastWidth > line.size() ? mLastWidth - line.size() : 0), "");
  mLastWidth = line.size();
  std::fflush(stderr);
}

void ProgressBar::Clear() {
  if (!mActive || mLastWidth == 0) return;
  std::fprintf(stderr, "\r%*s\r", static_cast<int>(mLastWidth), "");
  mLastWidth = 0;
  std::fflush(stderr);
}

}  // namespace velmora_host
