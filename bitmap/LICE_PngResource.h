#pragma once
// Loading PNG images from the module's resources, by numeric id, independent of where the
// platform keeps its resource bytes.

#include "bitmap/LICE_IBitmap.h"

#include <cstddef>

// Where resource bytes come from (the module's resource section on Windows, a table compiled into
// the library elsewhere).
class LICE_ResourceSource {
public:
  virtual ~LICE_ResourceSource() = default;
  // The bytes of the resource of type "PNG" with this 16-bit id; false when there is none.
  virtual bool Lookup(int id, const void** data, size_t* length) const = 0;
};

// True when the text after the last '.' of name is "png", any case.
bool IsPngResourceName(const char* name);

// Checks the name, looks up the resource (id & 0xFFFF) and requires at least 8 bytes. An image
// whose header the decoder accepts comes back undecoded (LICE_PngResourceBitmap: its pixels are
// decoded when first needed); any other is decoded at once. Null on any failure; the caller owns
// the bitmap. The source's bytes must outlive the bitmap.
LICE_IBitmap* LoadPngResource(const LICE_ResourceSource& source, int resourceId, const char* name);
