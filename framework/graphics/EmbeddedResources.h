#pragma once
// Resources compiled into the module: the counterpart of a Windows module's resource section.
// A build step (velmora_embed_resources in EmbedResources.cmake) turns each file into a byte
// array and a table of {id, type, name, bytes}.

#include <cstddef>

class LICE_IBitmap;

struct EmbeddedResource {
  int id;
  const char* type;  // "PNG"
  const char* name;  // the file name it was made from, e.g. "BG.png"
  const unsigned char* data;
  size_t size;
};

struct EmbeddedResourceTable {
  const EmbeddedResource* entries = nullptr;
  int count = 0;

  // The resource with this id (low 16 bits, as resource ids are) and type, or null.
  const EmbeddedResource* Find(int id, const char* type) const;
  // A freshly decoded bitmap of the "PNG" resource with this id, owned by the caller, when the
  // text after the last '.' of name is "png" in any case; null otherwise or when it does not
  // decode (LoadPngResource).
  LICE_IBitmap* LoadPng(int id, const char* name) const;
};
