#pragma once
// PNG images into 32-bit bitmaps. Every PNG colour type and depth is accepted and converted to
// 8-bit straight-alpha B, G, R, A; images without alpha come out opaque.

#include "bitmap/LICE_MemBitmap.h"

#include <cstddef>

// Decodes a complete PNG file image from memory. Null on any failure (too short, wrong
// signature, damaged data, too large, out of memory). The caller owns the bitmap.
LICE_MemBitmap* DecodePngBuffer(const void* data, size_t length);

// Decodes a PNG file read as raw bytes. With checkExtension the file name must end in ".png"
// (any case). With a bitmap given, the image is decoded into it (resizing it) and it is
// returned; otherwise a new LICE_MemBitmap owned by the caller is returned. Null on failure (a
// given bitmap is then left in an undefined state but not destroyed).
LICE_IBitmap* DecodePngFile(const char* path, bool checkExtension, LICE_IBitmap* bitmap = nullptr);

// True when the file name (the part after the last '\\' or '/') ends in ".png", any case.
bool HasPngExtension(const char* path);

// Description of the file type for file dialogs.
const char* PngFileTypeDescription();
