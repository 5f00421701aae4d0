#pragma once
// What each step of a Velmora parameter stands for. The plug-in shows bare step numbers to a
// host, so the host keeps its own copy of the step tables to tell the user "-24 dB" or "4:1".
#include <array>
#include <cstdint>
#include <string>

namespace velmora_host {

// The Velmora effect's class identifier, as its factory hands it out.
constexpr std::array<std::uint8_t, 16> kVelmoraClassId{0x0D, 0xE7, 0xAE, 0xF2, 0xDE, 0x00, 0x4E, 0x4F,
                                                       'C',  'v',  't',  'a',  'V',  'l',  'm',  '1'};

// The physical value of `step` of parameter `id`, e.g. "-24 dB", "ratio 3:1, knee 1.0";
// empty for ids outside 0..12 or steps outside the parameter's table.
std::string velmoraStepMeaning(int id, int step);

}  // namespace velmora_host
