#pragma once
// The resources of a loaded Windows module (its resource section), by numeric id and type "PNG".

#include "bitmap/LICE_PngResource.h"

class LICE_ModuleResources final : public LICE_ResourceSource {
public:
  // module: the instance handle of a DLL or program; null means the program itself.
  explicit LICE_ModuleResources(void* module) : mModule(module) {}
  // The bytes stay valid while the module is loaded; length is the resource's own size.
  bool Lookup(int id, const void** data, size_t* length) const override;

private:
  void* mModule;
};
