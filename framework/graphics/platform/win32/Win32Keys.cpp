#include "framework/graphics/platform/win32/Win32Keys.h"

int EditorKeyOfVirtualKey(int vk) {
  switch (vk) {
    case 32: return 0;  // space
    case 38: return 1;  // up
    case 40: return 2;  // down
    case 37: return 3;  // left
    case 39: return 4;  // right
    default: break;
  }
  if (vk >= 48 && vk <= 57) return vk - 43;   // digits: 5..14
  if (vk >= 65 && vk <= 90) return vk - 50;   // letters: 15..40
  if (vk >= 97 && vk <= 122) return vk - 82;  // the letters' codes again
  return -1;
}

TextEntryKey TextEntryKeyOfVirtualKey(int virtualKey) {
  if (virtualKey == 0x0D) return TextEntryKey::kEnter;   // VK_RETURN
  if (virtualKey == 0x1B) return TextEntryKey::kEscape;  // VK_ESCAPE
  return TextEntryKey::kOther;
}
