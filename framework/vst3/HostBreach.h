#pragma once
// The host contract breaches the binding absorbs. Each gets a lenient answer (listed here, and
// unchanged by reporting), and each is reported once per instance, the first time it happens:
// as a trace point, and to the host's IHostTraceSink when the host offers one. A module built with
// fatal host breaches (a test module only) aborts after reporting.

#include <cstddef>

enum class HostBreach {
  ProcessBeforeSetup,        // process with samples before a setup succeeded
  SampleSizeMismatch,        // process with another sample size than the one set up
  NonFiniteParameterValue,   // a parameter value that is not a number or infinite
  BadProcessSetup,           // setupProcessing with a bad sample rate or block size
  OversizeBlock,             // process with more samples than the maximum block size set up
  OutOfRangeParameterValue,  // a normalised parameter value outside [0, 1]
  ChangeWhileActive,         // bus arrangements, bus activation or setup while the component is active
  UninitialisedCall,         // process or bus arrangements before initialize or after terminate
  OutOfOrderCall,            // a lifecycle, state or process call the component's stage does not allow
  UiCallInsideProcess,       // a UI-thread call made on the audio thread while process runs there
};

struct HostBreachText {
  const char* what;    // what the host did
  const char* answer;  // what the plug-in did about it
};

// In HostBreach order.
inline constexpr HostBreachText kHostBreachTexts[] = {
    {"process before setupProcessing", "the output is silence and process answers kResultFalse"},
    {"process with a sample size other than the one set up", "the block is left untouched and refused"},
    {"a parameter value that is not a finite number", "the value is ignored"},
    {"setupProcessing with a bad sample rate or block size", "the setup is refused and the earlier one stays"},
    {"process with more samples than the maximum block size set up", "the block is processed in slices"},
    {"a normalised parameter value outside [0, 1]", "the value is clamped into [0, 1]"},
    {"a bus or processing setup change while the component is active",
     "the change waits for the block in progress, then applies"},
    {"process or bus arrangements before initialize or after terminate",
     "the call is refused and process writes silence"},
    {"a call out of the component's lifecycle order", "the call is answered as in order"},
    {"a UI-thread call on the audio thread inside process", "the call is answered as on the UI thread"},
};

inline constexpr std::size_t kHostBreachCount = sizeof(kHostBreachTexts) / sizeof(kHostBreachTexts[0]);
static_assert(kHostBreachCount == static_cast<std::size_t>(HostBreach::UiCallInsideProcess) + 1, "one text per breach");

constexpr const HostBreachText& HostBreachTextOf(HostBreach breach) {
  return kHostBreachTexts[static_cast<std::size_t>(breach)];
}
