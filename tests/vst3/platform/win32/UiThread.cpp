#include "tests/vst3/UiThread.h"

#include <windows.h>

#include <chrono>

namespace vst3test {

struct UiThread::Impl {};

UiThread::UiThread() : mImpl(std::make_unique<Impl>()) {}
UiThread::~UiThread() = default;

Steinberg::FUnknown* UiThread::RunLoop() const { return nullptr; }

bool UiThread::RunUntil(const std::function<bool()>& done, int timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
  return true;
}

// The module's timers run every 50 ms; a few of their periods.
void UiThread::RunTimers() {
  RunUntil([] { return false; }, 300);
}

}  // namespace vst3test
