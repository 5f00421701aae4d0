#pragma once
// The editor's key codes (IGraphics::OnKey) of Windows virtual keys, and the keys that end a
// text entry.

#include "framework/graphics/TextEntrySession.h"

// The key code for a key-press's virtual key, -1 for a key the editor has no code for: space,
// the four arrows, digits, letters, and 97..122 mapped onto the letters' codes as well.
int EditorKeyOfVirtualKey(int virtualKey);

// Which of the keys that end a text entry a virtual key is: Return, Escape.
TextEntryKey TextEntryKeyOfVirtualKey(int virtualKey);
