#include "framework/graphics/platform/win32/ModuleResourceTable.h"

#include "bitmap/LICE_ModuleResources.h"
#include "framework/ModuleInstance.h"

#include <new>

EmbeddedResourceTable ModuleResourceTable(const ModuleResourceName* names, int count) {
  // Lives as long as the module, like the resource section it points into.
  auto* entries = new (std::nothrow) EmbeddedResource[count > 0 ? count : 1];
  if (!entries) return EmbeddedResourceTable();
  const LICE_ModuleResources resources(ModuleInstance());
  for (int i = 0; i < count; ++i) {
    const void* data = nullptr;
    size_t size = 0;
    resources.Lookup(names[i].id, &data, &size);  // leaves both empty when missing
    entries[i] = EmbeddedResource{names[i].id, "PNG", names[i].name, static_cast<const unsigned char*>(data), size};
  }
  return EmbeddedResourceTable{entries, count};
}
