#pragma once
// The editor's key codes (IGraphics::OnKey) of Windows virtual keys.

// The key code for a key-press's virtual key, -1 for a key the editor has no code for: space,
// the four arrows, digits, letters, and 97..122 mapped onto the letters' codes as well.
int EditorKeyOfVirtualKey(int virtualKey);
