#pragma once
// What the module entry needs to know about the module's one effect class. The effect defines
// GetEffectClassInfo() in its own source; everything else in the class description (category,
// cardinality, flags, SDK version) is the binding's and fixed.

#include <cstdint>

class IPlugVST3;

struct EffectClassInfo {
  const char* name;           // class name shown to the user
  const char* vendor;         // factory vendor
  const char* url;            // factory url
  const char* email;          // factory e-mail
  const char* subCategories;  // e.g. "Fx|Dynamics"
  const char* version;        // e.g. "1.1.0"
  int32_t mfrID;              // maker code, four characters, first in the most significant byte
  int32_t uniqueID;           // plug-in code, same encoding
  IPlugVST3* (*create)();     // constructs a new instance with one reference
};

const EffectClassInfo& GetEffectClassInfo();

// A four-character code as a big-endian integer ("Vlm1" -> 0x566C6D31).
constexpr int32_t FourCharCode(const char (&code)[5]) {
  return static_cast<int32_t>((static_cast<uint32_t>(static_cast<unsigned char>(code[0])) << 24) |
                              (static_cast<uint32_t>(static_cast<unsigned char>(code[1])) << 16) |
                              (static_cast<uint32_t>(static_cast<unsigned char>(code[2])) << 8) |
                              static_cast<uint32_t>(static_cast<unsigned char>(code[3])));
}
