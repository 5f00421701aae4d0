#pragma once
// Editor snapshots: the whole surface painted into the back buffer and written out as a PNG
// (the bitmap layer's encoder), for looking at the editor without a window.

class IGraphics;

// Paints the whole surface into the back buffer (created first if the editor was never
// attached) and writes it to path, whole or not at all. Every control is clean afterwards, as
// after a window paint.
bool WriteEditorSnapshot(IGraphics& graphics, const char* path);
