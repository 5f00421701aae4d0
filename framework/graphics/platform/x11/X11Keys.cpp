#include "framework/graphics/platform/x11/X11Keys.h"

#include "framework/graphics/IGraphicsTypes.h"

#include <cstdlib>

namespace {
constexpr uint32_t kKeysymLeft = 0xFF51;
constexpr uint32_t kKeysymRight = 0xFF53;
constexpr uint32_t kKeysymKeypad0 = 0xFFB0;
constexpr uint32_t kKeysymKeypad9 = 0xFFB9;
constexpr uint32_t kKeysymKeypadAdd = 0xFFAB;
constexpr uint32_t kKeysymKeypadSubtract = 0xFFAD;
constexpr uint32_t kKeysymKeypadDecimal = 0xFFAE;
}  // namespace

int EditorKeyCode(uint32_t keysym) {
  switch (keysym) {
    case ' ': return KeySpace;
    case kKeysymUp: return KeyUp;
    case kKeysymDown: return KeyDown;
    case kKeysymLeft: return KeyLeft;
    case kKeysymRight: return KeyRight;
    default: break;
  }
  if (keysym >= '0' && keysym <= '9') return KeyDigit0 + static_cast<int>(keysym - '0');
  if (keysym >= kKeysymKeypad0 && keysym <= kKeysymKeypad9)
    return KeyDigit0 + static_cast<int>(keysym - kKeysymKeypad0);
  if (keysym >= 'a' && keysym <= 'z') return KeyA + static_cast<int>(keysym - 'a');
  if (keysym >= 'A' && keysym <= 'Z') return KeyA + static_cast<int>(keysym - 'A');
  return -1;
}

char EntryCharacter(uint32_t keysym) {
  if (keysym >= 0x20 && keysym < 0x7F) return static_cast<char>(keysym);
  if (keysym >= kKeysymKeypad0 && keysym <= kKeysymKeypad9) return static_cast<char>('0' + (keysym - kKeysymKeypad0));
  switch (keysym) {
    case kKeysymKeypadAdd: return '+';
    case kKeysymKeypadSubtract: return '-';
    case kKeysymKeypadDecimal: return '.';
    default: return 0;
  }
}

void X11KeyMap::Load(xcb_connection_t* connection) {
  mSyms.clear();
  mPerCode = 0;
  const xcb_setup_t* setup = xcb_get_setup(connection);
  mFirst = setup->min_keycode;
  const auto count = static_cast<uint8_t>(setup->max_keycode - setup->min_keycode + 1);
  xcb_get_keyboard_mapping_reply_t* reply =
      xcb_get_keyboard_mapping_reply(connection, xcb_get_keyboard_mapping(connection, mFirst, count), nullptr);
  if (!reply) return;
  const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply);
  mSyms.assign(syms, syms + xcb_get_keyboard_mapping_keysyms_length(reply));
  mPerCode = reply->keysyms_per_keycode;
  std::free(reply);
}

uint32_t X11KeyMap::Keysym(xcb_keycode_t code, bool shifted) const {
  if (mPerCode == 0 || code < mFirst) return 0;
  const size_t base = static_cast<size_t>(code - mFirst) * static_cast<size_t>(mPerCode);
  if (base + static_cast<size_t>(mPerCode) > mSyms.size()) return 0;
  const uint32_t plain = mSyms[base];
  const uint32_t shiftedSym = mPerCode > 1 ? mSyms[base + 1] : 0;
  if (shifted && shiftedSym) return shiftedSym;
  // A letter with only its lower-case sym listed: the shifted case is the upper-case letter.
  if (shifted && plain >= 'a' && plain <= 'z') return plain - 'a' + 'A';
  return plain;
}

TextEntryKey TextEntryKeyOf(uint32_t keysym) {
  if (keysym == kKeysymReturn || keysym == kKeysymKeypadEnter) return TextEntryKey::kEnter;
  if (keysym == kKeysymEscape) return TextEntryKey::kEscape;
  return TextEntryKey::kOther;
}
