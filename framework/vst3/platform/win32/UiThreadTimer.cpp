// Windows hosts run no timer for a plug-in: the module sets one of its own on the calling (UI)
// thread, without a window (SetTimer with no window and a callback), and the host's message loop
// dispatches it. The callback learns only the timer's id, so the running timers are kept in a
// module-wide table.

#include "framework/vst3/UiThreadTimer.h"

#include <windows.h>

#include <map>
#include <mutex>

namespace {

std::mutex gTimersMutex;
std::map<UINT_PTR, std::function<void()>>& Timers() {
  static std::map<UINT_PTR, std::function<void()>> timers;
  return timers;
}

void CALLBACK OnTimer(HWND /*window*/, UINT /*message*/, UINT_PTR id, DWORD /*time*/) {
  std::function<void()> tick;
  {
    std::lock_guard<std::mutex> lock(gTimersMutex);
    auto found = Timers().find(id);
    if (found == Timers().end()) return;
    tick = found->second;
  }
  // Outside the table's lock: the tick may start or stop timers itself.
  tick();
}

class ThreadTimer final : public UiThreadTimer {
public:
  explicit ThreadTimer(UINT_PTR id) : mId(id) {}
  ~ThreadTimer() override {
    KillTimer(nullptr, mId);
    std::lock_guard<std::mutex> lock(gTimersMutex);
    Timers().erase(mId);
  }
  ThreadTimer(const ThreadTimer&) = delete;
  ThreadTimer& operator=(const ThreadTimer&) = delete;

private:
  UINT_PTR mId;
};

}  // namespace

std::unique_ptr<UiThreadTimer> StartUiThreadTimer(Steinberg::FUnknown* /*host*/, int periodMs,
                                                  std::function<void()> tick) {
  if (periodMs < 1 || !tick) return nullptr;
  std::lock_guard<std::mutex> lock(gTimersMutex);
  const UINT_PTR id = SetTimer(nullptr, 0, static_cast<UINT>(periodMs), OnTimer);
  if (!id) return nullptr;
  Timers()[id] = std::move(tick);
  return std::make_unique<ThreadTimer>(id);
}
