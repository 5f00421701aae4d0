#pragma once
// The component's lifecycle as the host drives it, and which host calls each stage allows. The
// binding holds one LifecycleState under the plug-in mutex; every lifecycle, bus, state and process
// call looks itself up in LifecycleRuleOf before it acts. A call the stage does not allow is still
// answered as it always was (HostBreach.h lists the lenient answers); the rule only names the
// breach it is reported as.

#include "framework/vst3/HostBreach.h"

#include <cstddef>
#include <cstdint>

enum class LifecycleState : uint8_t {
  Created,       // constructed, not initialised
  Initialising,  // an initialize claimed the instance and is building the buses
  Initialised,   // buses and parameters built, no processing setup yet
  SetUp,         // a processing setup succeeded (it outlives terminate: the scratch buffers stay)
  Active,        // between setActive(true) and setActive(false)
  Processing,    // between setProcessing(true) and setProcessing(false)
  Terminated,    // after terminate; initialize may start it again
};
inline constexpr std::size_t kLifecycleStateCount = static_cast<std::size_t>(LifecycleState::Terminated) + 1;

enum class LifecycleCall : uint8_t {
  Initialize,
  Terminate,
  SetupProcessing,
  Activate,         // setActive(true)
  Deactivate,       // setActive(false)
  StartProcessing,  // setProcessing(true)
  StopProcessing,   // setProcessing(false)
  Process,
  BusChange,       // setBusArrangements, activateBus
  StateTransfer,   // getState, setState, setComponentState
  ControllerEdit,  // setParamNormalized, setComponentHandler, createView
};
inline constexpr std::size_t kLifecycleCallCount = static_cast<std::size_t>(LifecycleCall::ControllerEdit) + 1;

// What a call does in one stage: allowed, or the breach it is reported as.
struct LifecycleRule {
  bool allowed;
  HostBreach breach;
};

namespace lifecycle_rules {
inline constexpr LifecycleRule Ok{true, HostBreach::OutOfOrderCall};
inline constexpr LifecycleRule Order{false, HostBreach::OutOfOrderCall};
inline constexpr LifecycleRule Uninit{false, HostBreach::UninitialisedCall};
inline constexpr LifecycleRule Busy{false, HostBreach::ChangeWhileActive};
inline constexpr LifecycleRule Unset{false, HostBreach::ProcessBeforeSetup};

// Rows in LifecycleCall order, columns in LifecycleState order. Process needs no setProcessing:
// it is optional for an effect (this one answers kNotImplemented), so an active component
// processes without it. Process before any setup is only a breach for a block with samples.
// clang-format off
inline constexpr LifecycleRule kRules[kLifecycleCallCount][kLifecycleStateCount] = {
    //  Created Initialising Initialised SetUp  Active  Processing Terminated
    {   Ok,     Order,       Order,      Order, Order,  Order,     Ok     },  // Initialize
    {   Order,  Order,       Ok,         Ok,    Order,  Order,     Order  },  // Terminate
    {   Order,  Order,       Ok,         Ok,    Busy,   Busy,      Order  },  // SetupProcessing
    {   Order,  Order,       Order,      Ok,    Order,  Order,     Order  },  // Activate
    {   Order,  Order,       Order,      Order, Ok,     Order,     Order  },  // Deactivate
    {   Order,  Order,       Order,      Order, Ok,     Order,     Order  },  // StartProcessing
    {   Order,  Order,       Order,      Order, Order,  Ok,        Order  },  // StopProcessing
    {   Uninit, Uninit,      Unset,      Order, Ok,     Ok,        Uninit },  // Process
    {   Uninit, Uninit,      Ok,         Ok,    Busy,   Busy,      Uninit },  // BusChange
    {   Order,  Order,       Ok,         Ok,    Ok,     Ok,        Order  },  // StateTransfer
    {   Ok,     Ok,          Ok,         Ok,    Ok,     Ok,        Ok     },  // ControllerEdit
};
// clang-format on
}  // namespace lifecycle_rules

constexpr const LifecycleRule& LifecycleRuleOf(LifecycleCall call, LifecycleState state) {
  return lifecycle_rules::kRules[static_cast<std::size_t>(call)][static_cast<std::size_t>(state)];
}

// Whether the call belongs to the host's UI thread (everything but process).
constexpr bool IsUiThreadCall(LifecycleCall call) { return call != LifecycleCall::Process; }

// The buses exist (built by initialize, removed by terminate).
constexpr bool HasBuses(LifecycleState state) {
  return state != LifecycleState::Created && state != LifecycleState::Initialising &&
         state != LifecycleState::Terminated;
}

// A processing setup succeeded and the scratch buffers have room.
constexpr bool IsSetUp(LifecycleState state) {
  return state == LifecycleState::SetUp || state == LifecycleState::Active || state == LifecycleState::Processing;
}

constexpr bool IsActive(LifecycleState state) {
  return state == LifecycleState::Active || state == LifecycleState::Processing;
}

const char* LifecycleStateName(LifecycleState state);
const char* LifecycleCallName(LifecycleCall call);
