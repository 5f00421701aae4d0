#include "tests/vst3/UiThread.h"

#include "tools/vst3host/platform/linux/RunLoop.h"

#include "pluginterfaces/base/smartpointer.h"

namespace vst3test {

struct UiThread::Impl {
  Steinberg::IPtr<vst3host::RunLoop> loop = Steinberg::owned(new vst3host::RunLoop());
};

UiThread::UiThread() : mImpl(std::make_unique<Impl>()) {}
UiThread::~UiThread() = default;

Steinberg::FUnknown* UiThread::RunLoop() const { return static_cast<Steinberg::Linux::IRunLoop*>(mImpl->loop.get()); }

bool UiThread::RunUntil(const std::function<bool()>& done, int timeoutMs) {
  return mImpl->loop->RunUntil(done, timeoutMs);
}

// Counted in timer rounds, not in time: every registered timer has run at least three times.
void UiThread::RunTimers() {
  vst3host::RunLoop& loop = *mImpl->loop;
  const long long target = loop.TimerCallbacks() + 3 * loop.TimerCount();
  loop.RunUntil([&] { return loop.TimerCallbacks() >= target; }, 10000);
}

}  // namespace vst3test
