#pragma once
// Where a parameter value comes from, and what entering it does. Every stored value goes through
// IPlugBase::EnterParamValue with its origin; this table is the one place that says what follows.

#include <cstddef>

enum class ParamOrigin {
  HostProcess,  // the host's parameter queue in process (audio thread, under the lock)
  Editor,       // a control moved (SetParamFromEditor, UI thread)
  Controller,   // the host's setParamNormalized (UI thread)
  State,        // a state load (UnserializeParams from the binding's set state)
  Preset,       // a preset load (UnserializeParams from RestorePreset)
};

// When one effect of entering a value happens.
enum class ParamStep {
  Never,
  Now,       // inside EnterParamValue, right after the value is stored
  AfterAll,  // once the whole load is stored (FinishParamLoad, RedrawParamControls, the binding)
};

struct ParamOriginEffects {
  // The value is plain and clamped into the parameter's range; otherwise it is normalised.
  bool plainValue;
  // EnterParamValue takes the plug-in mutex itself; the other origins' callers already hold it,
  // except the controller's, which stores the relaxed-atomic value without it.
  bool takesLock;
  // The editor's controls show the value (Now: the entered normalised value itself).
  ParamStep pushToControls;
  // ParamChanged, where the effect derives its processing values.
  ParamStep derive;
  // The host hears of it: Now is an edit report (ReportParamEdit, the binding's performEdit);
  // AfterAll is the binding's deferred request to reread every value.
  ParamStep tellHost;
};

// Indexed by ParamOrigin.
constexpr ParamOriginEffects kParamOriginEffects[] = {
    /* HostProcess */ {false, false, ParamStep::Now, ParamStep::Now, ParamStep::Never},
    /* Editor      */ {false, true, ParamStep::Never, ParamStep::Now, ParamStep::Now},
    /* Controller  */ {false, false, ParamStep::Never, ParamStep::Never, ParamStep::Never},
    /* State       */ {true, false, ParamStep::AfterAll, ParamStep::AfterAll, ParamStep::AfterAll},
    /* Preset      */ {true, false, ParamStep::AfterAll, ParamStep::AfterAll, ParamStep::AfterAll},
};

constexpr const ParamOriginEffects& EffectsOf(ParamOrigin origin) {
  return kParamOriginEffects[static_cast<int>(origin)];
}

static_assert(sizeof(kParamOriginEffects) / sizeof(kParamOriginEffects[0]) ==
                  static_cast<size_t>(ParamOrigin::Preset) + 1,
              "one row per origin");
// A preset's body is a saved state, read by the same loader (UnserializeParams).
static_assert(EffectsOf(ParamOrigin::State).plainValue == EffectsOf(ParamOrigin::Preset).plainValue &&
                  EffectsOf(ParamOrigin::State).derive == EffectsOf(ParamOrigin::Preset).derive,
              "state and preset loads store and derive alike");
