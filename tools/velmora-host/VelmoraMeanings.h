#pragma once
// What each step of a Velmora parameter stands for. The plug-in shows bare step numbers to a
// host, so the host explains them with the plug-in's own step tables (plugin/VelmoraSteps.h,
// header-only: the host still links no plug-in code).
#include "framework/vst3/ClassId.h"
#include "plugin/VelmoraIdentity.h"

#include <array>
#include <cstdint>
#include <string>

namespace velmora_host {

// The Velmora effect's class identifier, as its factory hands it out.
constexpr std::array<std::uint8_t, 16> kVelmoraClassId =
    EffectClassId(kVelmoraIdentity.makerCode, kVelmoraIdentity.pluginCode);

// The physical value of `step` of parameter `id`, e.g. "-24 dB", "ratio 3:1, knee 1.0";
// empty for ids outside 0..12 or steps outside the parameter's table.
std::string velmoraStepMeaning(int id, int step);

}  // namespace velmora_host
