#pragma once
// Velmora's identity: names, the maker and plug-in codes (which also end its class identifier)
// and the version of this build. Header-only, so the command-line host reads it without linking
// any plug-in code.

#include "VelmoraVersion.h"
#include "framework/PluginIdentity.h"

inline constexpr PluginIdentity kVelmoraIdentity = {
    "Velmora", "", "Corvanta", FourCharCode("Cvta"), FourCharCode("Vlm1"), kVelmoraVersion, kVelmoraVersionText,
};
