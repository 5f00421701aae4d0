#include "framework/graphics/EmbeddedResources.h"

#include <cstring>

const EmbeddedResource* EmbeddedResourceTable::Find(int id, const char* type) const {
  const int wanted = id & 0xFFFF;
  for (int i = 0; i < count; ++i) {
    const EmbeddedResource& r = entries[i];
    if ((r.id & 0xFFFF) == wanted && type && std::strcmp(r.type, type) == 0) return &r;
  }
  return nullptr;
}
