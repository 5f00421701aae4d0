#pragma once
// Turns the user's --set / --set-norm arguments into (id, normalised value) pairs for a loaded
// instance. A parameter is named by its id (decimal or 0x hexadecimal) or by its title; a title
// two parameters share is refused rather than guessed (Velmora has the host's "Bypass" and its
// own "Bypass").
#include "tools/session/SessionOptions.h"
#include "tools/vst3host/Instance.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora_host {

struct ParameterValue {
  Steinberg::Vst::ParamID id = 0;
  double normalized = 0.0;
};

// Empty when the parameter or value is not there, with the reason, naming the offending argument,
// in `error`. With `velmora` (the instance is a Velmora), a value may also be what a step of one of
// its thirteen parameters means ("-24dB", "4:1", "Auto 1"), read with the plug-in's own table
// (plugin/VelmoraStepTexts.h).
std::optional<ParameterValue> ResolveAssignment(const vst3host::Instance& instance,
                                                const std::vector<vst3host::ParameterDescription>& parameters,
                                                const ParamAssignment& assignment, std::string* error,
                                                bool velmora = false);

}  // namespace velmora_host
