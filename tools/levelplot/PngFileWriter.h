#pragma once
// PNG files that appear whole or not at all: the image is encoded in memory, written to a
// temporary file beside the destination and renamed over it only once complete, so a failure
// (full disk, missing folder, encoder error) never leaves a truncated picture behind, nor
// damages a file already there.

#include <string>

class LICE_IBitmap;

// Writes bitmap as an 8-bit RGBA PNG (straight alpha) to path. False with a one-line reason in
// *error (when given) on failure; nothing is then left at path or beside it.
bool WritePngFileAtomically(const LICE_IBitmap& bitmap, const char* path, std::string* error);
