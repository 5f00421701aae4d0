#pragma once
// The host's UI thread between its calls to a plug-in: where a plug-in's deferred notices (values
// the host should read again) arrive. Linux: the host's run loop, which the test's component
// handler offers (RunLoop()); Windows: the thread's message loop, where the module runs a timer of
// its own. Each platform's side lives in linux/ or win32/.

#include "pluginterfaces/base/funknown.h"

#include <functional>
#include <memory>

namespace vst3test {

class UiThread {
public:
  UiThread();
  ~UiThread();
  UiThread(const UiThread&) = delete;
  UiThread& operator=(const UiThread&) = delete;

  // What a host offers a plug-in for its UI-thread timers (handler or plug frame); null where the
  // plug-in needs none from the host.
  Steinberg::FUnknown* RunLoop() const;
  // Handles the thread's events until done() is true (checked between rounds) or timeoutMs passed;
  // true when done.
  bool RunUntil(const std::function<bool()>& done, int timeoutMs);
  // Handles events long enough for a plug-in's timers to have run several times.
  void RunTimers();

private:
  struct Impl;
  std::unique_ptr<Impl> mImpl;
};

}  // namespace vst3test
