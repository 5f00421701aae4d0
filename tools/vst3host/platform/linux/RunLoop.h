#pragma once
// The run loop a Linux host offers a plug-in's editor (Linux::IRunLoop, through the plug frame):
// file descriptors watched with poll and timers, all called back on the thread that runs the
// loop. The host's own descriptors (its window's connection, a signal pipe) are watched by the
// same loop. Handlers may register and unregister anything from inside a callback; a handler
// unregistered meanwhile is not called again, not even in the round under way.

#include "tools/vst3host/RefCounted.h"

#include "pluginterfaces/gui/iplugview.h"

#include <chrono>
#include <functional>
#include <vector>

namespace vst3host {

class RunLoop : public RefCounted<Steinberg::Linux::IRunLoop> {
public:
  using Clock = std::chrono::steady_clock;

  ~RunLoop() override;

  // The plug-in's side. Each registration takes a reference on the handler until it is
  // unregistered (or the loop goes). A second timer for the same handler replaces the first.
  Steinberg::tresult PLUGIN_API registerEventHandler(Steinberg::Linux::IEventHandler* handler,
                                                     Steinberg::Linux::FileDescriptor fd) override;
  Steinberg::tresult PLUGIN_API unregisterEventHandler(Steinberg::Linux::IEventHandler* handler) override;
  Steinberg::tresult PLUGIN_API registerTimer(Steinberg::Linux::ITimerHandler* handler,
                                              Steinberg::Linux::TimerInterval milliseconds) override;
  Steinberg::tresult PLUGIN_API unregisterTimer(Steinberg::Linux::ITimerHandler* handler) override;

  // The host's side: its own descriptors, until Unwatch. hasQueued, when given, tells whether
  // input already read from the descriptor waits in its owner's queue, which poll cannot see (a
  // display connection reads events while it waits for a reply); onReadable is then called too.
  void Watch(int fd, std::function<void()> onReadable, std::function<bool()> hasQueued = nullptr);
  void Unwatch(int fd);

  // One round: waits at most maxWaitMs (less when a timer is due sooner) for a descriptor, then
  // calls the handlers of the ready descriptors and of the timers that are due.
  void RunOnce(int maxWaitMs);
  // Rounds until done() is true (checked before each round) or timeoutMs has passed; true when done.
  bool RunUntil(const std::function<bool()>& done, int timeoutMs);

  int EventHandlerCount() const { return static_cast<int>(mHandlers.size()); }
  int TimerCount() const { return static_cast<int>(mTimers.size()); }
  // How many timer callbacks have run so far, all timers together.
  long long TimerCallbacks() const { return mTimerCallbacks; }

private:
  struct Handler {
    Steinberg::Linux::IEventHandler* handler;
    int fd;
    long long id;
  };
  struct Timer {
    Steinberg::Linux::ITimerHandler* handler;
    std::chrono::milliseconds period;
    Clock::time_point due;
    long long id;
  };
  struct HostWatch {
    int fd;
    std::function<void()> onReadable;
    std::function<bool()> hasQueued;
    long long id;
  };
  bool HandlerLive(long long id) const;
  bool TimerLive(long long id) const;

  std::vector<Handler> mHandlers;
  std::vector<Timer> mTimers;
  std::vector<HostWatch> mWatches;
  long long mNextId = 1;
  long long mTimerCallbacks = 0;
};

}  // namespace vst3host
