#include "tools/vst3host/platform/linux/RunLoop.h"

#include <poll.h>

#include <algorithm>

using namespace Steinberg;
using namespace Steinberg::Linux;

namespace vst3host {

RunLoop::~RunLoop() {
  for (Handler& h : mHandlers) h.handler->release();
  for (Timer& t : mTimers) t.handler->release();
}

tresult PLUGIN_API RunLoop::registerEventHandler(IEventHandler* handler, FileDescriptor fd) {
  if (!handler || fd < 0) return kInvalidArgument;
  handler->addRef();
  mHandlers.push_back({handler, fd, mNextId++});
  return kResultOk;
}

tresult PLUGIN_API RunLoop::unregisterEventHandler(IEventHandler* handler) {
  if (!handler) return kInvalidArgument;
  bool found = false;
  for (auto it = mHandlers.begin(); it != mHandlers.end();) {
    if (it->handler != handler) {
      ++it;
      continue;
    }
    it->handler->release();
    it = mHandlers.erase(it);
    found = true;
  }
  return found ? kResultOk : kResultFalse;
}

tresult PLUGIN_API RunLoop::registerTimer(ITimerHandler* handler, TimerInterval milliseconds) {
  if (!handler || milliseconds == 0) return kInvalidArgument;
  unregisterTimer(handler);
  handler->addRef();
  const std::chrono::milliseconds period(milliseconds);
  mTimers.push_back({handler, period, Clock::now() + period, mNextId++});
  return kResultOk;
}

tresult PLUGIN_API RunLoop::unregisterTimer(ITimerHandler* handler) {
  if (!handler) return kInvalidArgument;
  const auto it = std::find_if(mTimers.begin(), mTimers.end(), [&](const Timer& t) { return t.handler == handler; });
  if (it == mTimers.end()) return kResultFalse;
  it->handler->release();
  mTimers.erase(it);
  return kResultOk;
}

void RunLoop::Watch(int fd, std::function<void()> onReadable, std::function<bool()> hasQueued) {
  mWatches.push_back({fd, std::move(onReadable), std::move(hasQueued), mNextId++});
}

void RunLoop::Unwatch(int fd) {
  mWatches.erase(std::remove_if(mWatches.begin(), mWatches.end(), [&](const HostWatch& w) { return w.fd == fd; }),
                 mWatches.end());
}

bool RunLoop::HandlerLive(long long id) const {
  return std::any_of(mHandlers.begin(), mHandlers.end(), [&](const Handler& h) { return h.id == id; });
}

bool RunLoop::TimerLive(long long id) const {
  return std::any_of(mTimers.begin(), mTimers.end(), [&](const Timer& t) { return t.id == id; });
}

void RunLoop::RunOnce(int maxWaitMs) {
  // Callbacks may change the lists, so each round works on copies and checks that an entry is
  // still registered before calling it.
  const std::vector<Handler> handlers = mHandlers;
  const std::vector<HostWatch> watches = mWatches;
  std::vector<pollfd> fds;
  for (const Handler& h : handlers) fds.push_back({h.fd, POLLIN, 0});
  std::vector<bool> queued;
  for (const HostWatch& w : watches) {
    fds.push_back({w.fd, POLLIN, 0});
    queued.push_back(w.hasQueued && w.hasQueued());
  }

  // Queued input is handled at once.
  int wait = std::any_of(queued.begin(), queued.end(), [](bool q) { return q; }) ? 0 : std::max(0, maxWaitMs);
  const Clock::time_point now = Clock::now();
  for (const Timer& t : mTimers) {
    const auto untilDue = std::chrono::duration_cast<std::chrono::milliseconds>(t.due - now).count();
    wait = std::min(wait, static_cast<int>(std::max<long long>(0, untilDue)));
  }
  const int ready = poll(fds.data(), fds.size(), wait);

  if (ready > 0) {
    for (size_t i = 0; i < handlers.size(); ++i) {
      // The handler stays alive through the call even if it unregisters itself.
      if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)) || !HandlerLive(handlers[i].id)) continue;
      IEventHandler* handler = handlers[i].handler;
      handler->addRef();
      handler->onFDIsSet(handlers[i].fd);
      handler->release();
    }
  }
  for (size_t i = 0; i < watches.size(); ++i) {
    const pollfd& p = fds[handlers.size() + i];
    const long long id = watches[i].id;
    const bool live = std::any_of(mWatches.begin(), mWatches.end(), [&](const HostWatch& w) { return w.id == id; });
    if (((ready > 0 && (p.revents & (POLLIN | POLLHUP | POLLERR))) || queued[i]) && live) watches[i].onReadable();
  }

  const std::vector<Timer> timers = mTimers;
  for (const Timer& t : timers) {
    const Clock::time_point at = Clock::now();
    if (t.due > at || !TimerLive(t.id)) continue;
    // The next tick is one period after this one (late ticks are not made up).
    for (Timer& live : mTimers)
      if (live.id == t.id) live.due = at + t.period;
    ITimerHandler* handler = t.handler;
    handler->addRef();
    ++mTimerCallbacks;
    handler->onTimer();
    handler->release();
  }
}

bool RunLoop::RunUntil(const std::function<bool()>& done, int timeoutMs) {
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    if (left <= 0) return false;
    RunOnce(static_cast<int>(std::min<long long>(left, 20)));
  }
  return true;
}

}  // namespace vst3host
