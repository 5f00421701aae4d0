#pragma once
// Editor snapshots: the back buffer written out as an 8-bit RGBA PNG with straight alpha, for
// the command-line host's snapshot command and for looking at the editor without a window.

#include <string>
#include <vector>

class IGraphics;
class LICE_IBitmap;

// Encodes the bitmap as a PNG file image. False (out emptied) for a missing or empty bitmap or
// an encoder error.
bool EncodeBitmapPng(LICE_IBitmap* bitmap, std::vector<unsigned char>& out);
bool WriteBitmapPng(LICE_IBitmap* bitmap, const char* path);

// Paints the whole surface into the back buffer (created first if the editor was never
// attached) and writes it to path. Every control is clean afterwards, as after a window paint.
bool WriteEditorSnapshot(IGraphics& graphics, const char* path);
