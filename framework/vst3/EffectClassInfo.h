#pragma once
// What the module entry needs to know about the module's one effect class. The effect defines
// GetEffectClassInfo() in its own source; everything else in the class description (category,
// cardinality, flags, SDK version) is the binding's and fixed.

#include "framework/PluginIdentity.h"

class IPlugVST3;

struct EffectClassInfo {
  const PluginIdentity& identity;  // class name, factory vendor, version, and the class id's codes
  const char* url;                 // factory url
  const char* email;               // factory e-mail
  const char* subCategories;       // e.g. "Fx|Dynamics"
  IPlugVST3* (*create)();          // constructs a new instance with one reference
};

const EffectClassInfo& GetEffectClassInfo();
