#include "framework/graphics/EmbeddedResources.h"

#include "bitmap/LICE_PngResource.h"

#include <cstring>

const EmbeddedResource* EmbeddedResourceTable::Find(int id, const char* type) const {
  const int wanted = id & 0xFFFF;
  for (int i = 0; i < count; ++i) {
    const EmbeddedResource& r = entries[i];
    if ((r.id & 0xFFFF) == wanted && type && std::strcmp(r.type, type) == 0) return &r;
  }
  return nullptr;
}

namespace {
// The table seen as the bitmap layer's resource source.
class EmbeddedPngSource : public LICE_ResourceSource {
public:
  explicit EmbeddedPngSource(const EmbeddedResourceTable& table) : mTable(table) {}
  bool Lookup(int id, const void** data, size_t* length) const override {
    const EmbeddedResource* res = mTable.Find(id, "PNG");
    if (!res) return false;
    *data = res->data;
    *length = res->size;
    return true;
  }

private:
  const EmbeddedResourceTable& mTable;
};
}  // namespace

LICE_IBitmap* EmbeddedResourceTable::LoadPng(int id, const char* name) const {
  return LoadPngResource(EmbeddedPngSource(*this), id, name);
}
