// Linux hosts drive a plug-in's editor through their own run loop, offered by the plug frame as
// Linux::IRunLoop: the editor registers an event handler for its display connection and a timer.
// The handler is an object the host holds references on, so it may outlive the editor; once
// stopped it forgets its client and drops whatever the host still delivers.

#include "framework/vst3/HostRunLoop.h"

#include "base/source/fobject.h"

using namespace Steinberg;

namespace {

// Interfaces have no virtual destructors by design: the handler dies through release().
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class RunLoopHandler : public FObject, public Linux::IEventHandler, public Linux::ITimerHandler {
public:
  explicit RunLoopHandler(EditorRunLoop::Client* client) : mClient(client) {}
  void Forget() { mClient = nullptr; }

  void PLUGIN_API onFDIsSet(Linux::FileDescriptor /*fd*/) override {
    if (mClient) mClient->OnReadable();
  }
  void PLUGIN_API onTimer() override {
    if (mClient) mClient->OnTimer();
  }

  OBJ_METHODS(RunLoopHandler, FObject)
  DEFINE_INTERFACES
  DEF_INTERFACE(Linux::IEventHandler)
  DEF_INTERFACE(Linux::ITimerHandler)
  END_DEFINE_INTERFACES(FObject)
  REFCOUNT_METHODS(FObject)

private:
  EditorRunLoop::Client* mClient;
};
#pragma GCC diagnostic pop

class LinuxHostRunLoop final : public EditorRunLoop {
public:
  explicit LinuxHostRunLoop(Linux::IRunLoop* loop) : mLoop(loop) {}
  ~LinuxHostRunLoop() override {
    Stop();
    mLoop->release();
  }
  LinuxHostRunLoop(const LinuxHostRunLoop&) = delete;
  LinuxHostRunLoop& operator=(const LinuxHostRunLoop&) = delete;

  bool Start(Client* client, int fd, int periodMs) override {
    Stop();
    mHandler = new RunLoopHandler(client);
    mWatching = mLoop->registerEventHandler(mHandler, fd) == kResultOk;
    mTiming = mWatching && mLoop->registerTimer(mHandler, static_cast<Linux::TimerInterval>(periodMs)) == kResultOk;
    if (mTiming) return true;
    Stop();
    return false;
  }

  void Stop() override {
    if (!mHandler) return;
    mHandler->Forget();
    if (mTiming) mLoop->unregisterTimer(mHandler);
    if (mWatching) mLoop->unregisterEventHandler(mHandler);
    mTiming = mWatching = false;
    mHandler->release();
    mHandler = nullptr;
  }

private:
  Linux::IRunLoop* mLoop;
  RunLoopHandler* mHandler = nullptr;
  bool mWatching = false;
  bool mTiming = false;
};

}  // namespace

std::unique_ptr<EditorRunLoop> ConnectHostRunLoop(IPlugFrame* frame) {
  if (!frame) return nullptr;
  Linux::IRunLoop* loop = nullptr;
  if (frame->queryInterface(Linux::IRunLoop::iid, reinterpret_cast<void**>(&loop)) != kResultOk || !loop)
    return nullptr;
  return std::make_unique<LinuxHostRunLoop>(loop);
}
