#include "framework/ModuleInstance.h"

#include <atomic>

namespace {
// Set by the host's loader thread, read by whichever thread builds an editor.
std::atomic<void*> gInstance{nullptr};
}  // namespace

void SetModuleInstance(void* handle) { gInstance.store(handle, std::memory_order_relaxed); }

void* ModuleInstance() { return gInstance.load(std::memory_order_relaxed); }
