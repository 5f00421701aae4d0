#pragma once
// Keys on X11: the keyboard mapping of a connection (key codes to keysyms), the editor's key
// table (keysyms to the key codes OnKey takes) and the characters a text entry receives.

#include "framework/graphics/TextEntrySession.h"

#include <xcb/xcb.h>

#include <cstdint>
#include <vector>

// The editor's key code for a keysym, -1 for keys the editor does not know (they stay with the
// host): space, the four arrows, the digits of both the main keys and the keypad, and the
// letters in either case.
int EditorKeyCode(uint32_t keysym);

// The character a keysym types into a text entry (printable ASCII, and the keypad's digits,
// sign and decimal point), 0 for none.
char EntryCharacter(uint32_t keysym);

// Which of the keys that end a text entry a keysym is: Return and the keypad's Enter, Escape.
TextEntryKey TextEntryKeyOf(uint32_t keysym);

// Keysyms the text entry and the XEmbed focus chain act on.
constexpr uint32_t kKeysymBackSpace = 0xFF08;
constexpr uint32_t kKeysymTab = 0xFF09;
constexpr uint32_t kKeysymLeftTab = 0xFE20;  // ISO_Left_Tab: what Shift+Tab types on most keymaps
constexpr uint32_t kKeysymReturn = 0xFF0D;
constexpr uint32_t kKeysymEscape = 0xFF1B;
constexpr uint32_t kKeysymKeypadEnter = 0xFF8D;
constexpr uint32_t kKeysymUp = 0xFF52;
constexpr uint32_t kKeysymDown = 0xFF54;

class X11KeyMap {
public:
  // Reads the server's keyboard mapping (again after a MappingNotify).
  void Load(xcb_connection_t* connection);
  // The keysym of a key code: column 1 (shifted) when shifted and the key has one, else column 0.
  uint32_t Keysym(xcb_keycode_t code, bool shifted) const;

private:
  xcb_keycode_t mFirst = 0;
  int mPerCode = 0;
  std::vector<uint32_t> mSyms;
};
