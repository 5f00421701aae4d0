#pragma once
// The 16-byte class identifier the module's factory registers for an effect: eight bytes fixed by
// the binding, then the maker code and the plug-in code, each as four characters in reading
// order. Header-only and class-free, so hosts can name an effect's class without linking it.

#include <array>
#include <cstddef>
#include <cstdint>

constexpr std::array<uint8_t, 16> EffectClassId(int32_t makerCode, int32_t pluginCode) {
  std::array<uint8_t, 16> cid = {0x0D, 0xE7, 0xAE, 0xF2, 0xDE, 0x00, 0x4E, 0x4F};
  for (int i = 0; i < 4; ++i) {
    cid[static_cast<std::size_t>(8 + i)] = static_cast<uint8_t>(static_cast<uint32_t>(makerCode) >> (24 - 8 * i));
    cid[static_cast<std::size_t>(12 + i)] = static_cast<uint8_t>(static_cast<uint32_t>(pluginCode) >> (24 - 8 * i));
  }
  return cid;
}
