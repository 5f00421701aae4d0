#include "bitmap/LICE_ModuleResources.h"

#include <windows.h>

bool LICE_ModuleResources::Lookup(int id, const void** data, size_t* length) const {
  const HMODULE module = static_cast<HMODULE>(mModule);
  const HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id & 0xFFFF), "PNG");
  if (!resource) return false;
  const DWORD size = SizeofResource(module, resource);
  const HGLOBAL loaded = LoadResource(module, resource);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return false;
  *data = bytes;
  *length = size;
  return true;
}
