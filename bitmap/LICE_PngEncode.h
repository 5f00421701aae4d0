#pragma once
// Bitmaps out to PNG: 8-bit RGBA with straight alpha, rows top first whichever way the bitmap
// stores them. Files appear whole or not at all: the image is encoded in memory, written to a
// temporary file beside the destination and renamed over it only once complete, so a failure
// (full disk, missing folder, encoder error) never leaves a truncated picture behind, nor
// damages a file already there.

#include <string>
#include <vector>

class LICE_IBitmap;

// Encodes the bitmap as a PNG file image. False (out emptied) for a missing or empty bitmap or
// an encoder error.
bool EncodeBitmapPng(const LICE_IBitmap* bitmap, std::vector<unsigned char>& out);

// Writes the bitmap as a PNG file at path. False with a one-line reason in *error (when given)
// on failure; nothing is then left at path or beside it, and a file already at path is kept.
bool WriteBitmapPng(const LICE_IBitmap* bitmap, const char* path, std::string* error = nullptr);
