#pragma once
// A periodic call on the host's UI thread, outside every host call: the one place the binding
// tells the host things it must not hear from inside a call that may hold the host's locks (values
// it does not know yet). Each platform defines StartUiThreadTimer in its folder
// (platform/<name>/UiThreadTimer.cpp, chosen in cmake/Platform.cmake).

#include "pluginterfaces/base/funknown.h"

#include <functional>
#include <memory>

class UiThreadTimer {
public:
  virtual ~UiThreadTimer() = default;
};

// Calls tick every periodMs on the UI thread until the returned object goes; null when this
// platform cannot here. Linux: from the host's run loop (Linux::IRunLoop), when `host` (a
// component handler, a host context or a plug frame) offers one. Windows: a timer of the module's
// own on the calling thread's message loop; `host` is not asked. Call on the UI thread.
std::unique_ptr<UiThreadTimer> StartUiThreadTimer(Steinberg::FUnknown* host, int periodMs, std::function<void()> tick);
