// Linux hosts run their UI thread's timers through their run loop (Linux::IRunLoop), offered by
// the plug frame and by some hosts' component handler or context too. The timer object the host
// holds references on may outlive the UiThreadTimer; once stopped it drops late calls.

#include "framework/vst3/UiThreadTimer.h"

#include "base/source/fobject.h"
#include "pluginterfaces/gui/iplugview.h"

using namespace Steinberg;

namespace {

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class TimerHandler : public FObject, public Linux::ITimerHandler {
public:
  explicit TimerHandler(std::function<void()> tick) : mTick(std::move(tick)) {}
  void Forget() { mTick = nullptr; }

  void PLUGIN_API onTimer() override {
    if (mTick) mTick();
  }

  OBJ_METHODS(TimerHandler, FObject)
  DEFINE_INTERFACES
  DEF_INTERFACE(Linux::ITimerHandler)
  END_DEFINE_INTERFACES(FObject)
  REFCOUNT_METHODS(FObject)

private:
  std::function<void()> mTick;
};
#pragma GCC diagnostic pop

class RunLoopTimer final : public UiThreadTimer {
public:
  RunLoopTimer(Linux::IRunLoop* loop, TimerHandler* handler) : mLoop(loop), mHandler(handler) {}
  ~RunLoopTimer() override {
    mHandler->Forget();
    mLoop->unregisterTimer(mHandler);
    mHandler->release();
    mLoop->release();
  }
  RunLoopTimer(const RunLoopTimer&) = delete;
  RunLoopTimer& operator=(const RunLoopTimer&) = delete;

private:
  Linux::IRunLoop* mLoop;
  TimerHandler* mHandler;
};

}  // namespace

std::unique_ptr<UiThreadTimer> StartUiThreadTimer(FUnknown* host, int periodMs, std::function<void()> tick) {
  if (!host || periodMs < 1 || !tick) return nullptr;
  Linux::IRunLoop* loop = nullptr;
  if (host->queryInterface(Linux::IRunLoop::iid, reinterpret_cast<void**>(&loop)) != kResultOk || !loop) return nullptr;
  auto* handler = new TimerHandler(std::move(tick));
  if (loop->registerTimer(handler, static_cast<Linux::TimerInterval>(periodMs)) != kResultOk) {
    handler->release();
    loop->release();
    return nullptr;
  }
  return std::make_unique<RunLoopTimer>(loop, handler);
}
