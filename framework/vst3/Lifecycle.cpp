#include "framework/vst3/Lifecycle.h"

namespace {
constexpr const char* kStateNames[] = {"created", "initialising", "initialised", "set up",
                                       "active",  "processing",   "terminated"};
static_assert(sizeof(kStateNames) / sizeof(kStateNames[0]) == kLifecycleStateCount, "one name per state");

constexpr const char* kCallNames[] = {"initialize",           "terminate",        "setupProcessing",
                                      "setActive(true)",      "setActive(false)", "setProcessing(true)",
                                      "setProcessing(false)", "process",          "a bus change",
                                      "a state transfer",     "a controller edit"};
static_assert(sizeof(kCallNames) / sizeof(kCallNames[0]) == kLifecycleCallCount, "one name per call");
}  // namespace

const char* LifecycleStateName(LifecycleState state) { return kStateNames[static_cast<std::size_t>(state)]; }
const char* LifecycleCallName(LifecycleCall call) { return kCallNames[static_cast<std::size_t>(call)]; }
