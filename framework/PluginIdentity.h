#pragma once
// Who a plug-in is: the one record that feeds both the plug-in base's constructor and the class
// description the module's factory hands to hosts, so the two can never disagree. Header-only and
// class-free, so hosts may read it too.

#include <cstdint>

// A four-character code as a big-endian integer ("Vlm1" -> 0x566C6D31).
constexpr int32_t FourCharCode(const char (&code)[5]) {
  return static_cast<int32_t>((static_cast<uint32_t>(static_cast<unsigned char>(code[0])) << 24) |
                              (static_cast<uint32_t>(static_cast<unsigned char>(code[1])) << 16) |
                              (static_cast<uint32_t>(static_cast<unsigned char>(code[2])) << 8) |
                              static_cast<uint32_t>(static_cast<unsigned char>(code[3])));
}

struct PluginIdentity {
  const char* name;         // effect name, also the class name hosts show
  const char* product;      // product name ("" for most plug-ins)
  const char* maker;        // maker name, also the factory's vendor
  int32_t makerCode;        // FourCharCode of the maker
  int32_t pluginCode;       // FourCharCode of the plug-in
  int32_t version;          // major x 65536 + minor x 256 + patch
  const char* versionText;  // "major.minor.patch", as the class description carries it
};
