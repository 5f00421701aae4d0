#include "framework/vst3/HostRunLoop.h"

// Windows editors run on the message loop of the thread that owns the host's window, so there is
// no run loop to take from the host's frame.
std::unique_ptr<EditorRunLoop> ConnectHostRunLoop(Steinberg::IPlugFrame*) { return nullptr; }
