#pragma once
// What a Velmora parameter's value means, from the plug-in's own step table
// (plugin/VelmoraStepTexts.h, header-only: the host still links no plug-in code).
#include "base/ClassId.h"
#include "plugin/VelmoraIdentity.h"

#include <array>
#include <cstdint>
#include <string>

namespace velmora_host {

// The Velmora effect's class identifier, as its factory hands it out.
constexpr std::array<std::uint8_t, 16> kVelmoraClassId =
    EffectClassId(kVelmoraIdentity.makerCode, kVelmoraIdentity.pluginCode);

// What parameter `id` at `normalized` means beyond `shownText`, the text the module showed for it:
// the step the value sets (the parameter model's rounding), named by the table ("-24 dB"), with
// what that text leaves unsaid ("4:1, knee 0.8 x threshold"). The table's name is left out where
// the module already showed it, so a Velmora that names its steps adds only the note, and one
// that shows bare step numbers gets the whole meaning. Empty for ids outside 0..12.
std::string VelmoraStepMeaning(int id, double normalized, const std::string& shownText);

}  // namespace velmora_host
