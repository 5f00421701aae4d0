#pragma once
// On Windows the module's PNG images live in its resource section (compiled from a generated .rc
// script); this builds the embedded-resource table over them, so code reading the table works
// the same on every platform.

#include "framework/graphics/EmbeddedResources.h"

struct ModuleResourceName {
  int id;
  const char* name;  // the file it was made from, e.g. "BG.png"
};

// Looks each "PNG" resource up in the module the framework runs in (ModuleInstance()); one that
// is missing gets no bytes. The table stays valid while the module is loaded.
EmbeddedResourceTable ModuleResourceTable(const ModuleResourceName* names, int count);
