// The X11 platform's pieces that need no display: pixel formats, the key table, the characters a
// text entry takes, the rows of the popup menu, and what the editor makes of XEmbed messages.

#include "framework/graphics/IGraphicsTypes.h"
#include "framework/graphics/IMenu.h"
#include "framework/graphics/platform/x11/X11Keys.h"
#include "framework/graphics/platform/x11/X11PixelFormat.h"
#include "framework/graphics/platform/x11/X11PopupMenu.h"
#include "framework/graphics/platform/x11/X11XEmbed.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

struct FormatCase {
  const char* name;
  X11PixelFormat format;
  std::vector<uint8_t> expected;  // the two pixels below, converted
};

X11PixelFormat Format(int bpp, bool msbFirst, uint32_t r, uint32_t g, uint32_t b, int depth) {
  X11PixelFormat f;
  f.depth = depth;
  f.bitsPerPixel = bpp;
  f.msbFirst = msbFirst;
  f.redMask = r;
  f.greenMask = g;
  f.blueMask = b;
  return f;
}

}  // namespace

TEST(X11PixelFormat, RowsConvertIntoEveryTrueColorLayout) {
  // Orange with alpha 0x80, and white; alpha never reaches the screen.
  const LICE_pixel pixels[2] = {LICE_MakePixel(0xFF, 0x80, 0x00, 0x80), LICE_MakePixel(0xFF, 0xFF, 0xFF, 0xFF)};
  const FormatCase cases[] = {
      {"32-bit BGRX, the usual desktop: copied",
       Format(32, false, 0xFF0000, 0xFF00, 0xFF, 24),
       {0x00, 0x80, 0xFF, 0x80, 0xFF, 0xFF, 0xFF, 0xFF}},
      {"32-bit, big-endian server",
       Format(32, true, 0xFF0000, 0xFF00, 0xFF, 24),
       {0x00, 0xFF, 0x80, 0x00, 0x00, 0xFF, 0xFF, 0xFF}},
      {"32-bit RGBX masks",
       Format(32, false, 0xFF, 0xFF00, 0xFF0000, 24),
       {0xFF, 0x80, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00}},
      {"24-bit packed", Format(24, false, 0xFF0000, 0xFF00, 0xFF, 24), {0x00, 0x80, 0xFF, 0xFF, 0xFF, 0xFF}},
      // 5-6-5: red 31, green 0x80 * 63 / 255 rounded = 32, blue 0.
      {"16-bit 565", Format(16, false, 0xF800, 0x07E0, 0x001F, 16), {0x00, 0xFC, 0xFF, 0xFF}},
  };
  for (const FormatCase& c : cases) {
    ASSERT_TRUE(c.format.Supported()) << c.name;
    std::vector<uint8_t> out(c.format.RowBytes(2), 0xEE);
    c.format.ConvertRow(pixels, 2, out.data());
    out.resize(c.expected.size());
    EXPECT_EQ(out, c.expected) << c.name;
  }
  EXPECT_FALSE(Format(8, false, 0xE0, 0x1C, 0x03, 8).Supported()) << "8-bit visuals are not drawn";
  EXPECT_FALSE(Format(32, false, 0, 0, 0, 24).Supported()) << "nor visuals without colour masks";
}

TEST(X11PixelFormat, RowsArePaddedToTheServersScanlineUnit) {
  X11PixelFormat f = Format(24, false, 0xFF0000, 0xFF00, 0xFF, 24);
  f.scanlinePad = 32;
  EXPECT_EQ(f.RowBytes(1), 4u);
  EXPECT_EQ(f.RowBytes(4), 12u);
  EXPECT_EQ(f.RowBytes(5), 16u);
  f.bitsPerPixel = 16;
  EXPECT_EQ(f.RowBytes(3), 8u);
}

TEST(X11Keys, TheEditorsKeyTableAndTheRestForTheHost) {
  const std::pair<uint32_t, int> table[] = {
      {' ', KeySpace},  {0xFF52, KeyUp},      {0xFF54, KeyDown},      {0xFF51, KeyLeft},         {0xFF53, KeyRight},
      {'0', KeyDigit0}, {'9', KeyDigit0 + 9}, {0xFFB0, KeyDigit0},    {0xFFB7, KeyDigit0 + 7},   {'a', KeyA},
      {'A', KeyA},      {'z', KeyA + 25},     {0xFF09, -1} /* Tab */, {0xFF1B, -1} /* Escape */, {0xFFBE, -1} /* F1 */,
      {'!', -1}};
  for (const auto& [keysym, code] : table) EXPECT_EQ(EditorKeyCode(keysym), code) << std::hex << keysym;
}

TEST(X11Keys, TextEntriesTakePrintableCharactersAndTheKeypadsNumbers) {
  EXPECT_EQ(EntryCharacter('7'), '7');
  EXPECT_EQ(EntryCharacter('x'), 'x');
  EXPECT_EQ(EntryCharacter(0xFFB3), '3');
  EXPECT_EQ(EntryCharacter(0xFFAB), '+');
  EXPECT_EQ(EntryCharacter(0xFFAD), '-');
  EXPECT_EQ(EntryCharacter(0xFFAE), '.');
  EXPECT_EQ(EntryCharacter(kKeysymReturn), 0);
  EXPECT_EQ(EntryCharacter(0xE9), 0) << "beyond ASCII";
}

TEST(X11PopupMenu, SubmenusShowInlineAndOnlyPlainItemsAreChosen) {
  IMenu menu(IMenu::PrefixOneDigit);
  menu.AddItem("Soft", IMenuItem::Checked);
  menu.AddSeparator();
  IMenu* more = new IMenu();
  more->AddItem("Hard");
  more->AddItem("Brick", IMenuItem::Greyed);
  menu.AddItem("More", 0, more);
  menu.AddItem("Off", IMenuItem::Disabled);

  const std::vector<X11PopupMenu::Row> rows = X11PopupMenu::Flatten(menu);
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_EQ(rows[0].text, "1: Soft");
  EXPECT_TRUE(rows[0].checked && rows[0].selectable);
  EXPECT_TRUE(rows[1].separator && !rows[1].selectable);
  EXPECT_EQ(rows[2].text, "3: More");
  EXPECT_FALSE(rows[2].selectable) << "a submenu's title";
  EXPECT_EQ(rows[3].text, "Hard");
  EXPECT_EQ(rows[3].depth, 1);
  EXPECT_EQ(rows[3].owner, more);
  EXPECT_EQ(rows[3].index, 0);
  EXPECT_TRUE(rows[3].selectable);
  EXPECT_FALSE(rows[4].selectable) << "greyed";
  EXPECT_EQ(rows[5].owner, &menu);
  EXPECT_EQ(rows[5].index, 3);
  EXPECT_FALSE(rows[5].selectable) << "disabled";
}

TEST(X11XEmbedClient, FollowsTheEmbeddersMessagesAndIgnoresWhatIsNotForIt) {
  constexpr xcb_atom_t kXEmbed = 300, kInfo = 301, kOther = 302;
  constexpr xcb_window_t kEditor = 0x400001, kEmbedder = 0x200007;
  using C = X11XEmbedClient;
  struct Step {
    const char* what;
    xcb_atom_t type;
    uint8_t format;
    xcb_window_t window;
    uint32_t message, detail, data1, data2;
    C::Change change;
    xcb_window_t embedder;  // then the state after the step
    bool active, focused, modal;
  };
  // One client through all steps, in order.
  const Step steps[] = {
      {"focus before any embedded notice", kXEmbed, 32, kEditor, xembed::kFocusIn, 0, 0, 0, C::kFocusGiven, 0, false,
       true, false},
      {"embedded: the embedder's window; a new embedder says afresh what holds", kXEmbed, 32, kEditor,
       xembed::kEmbeddedNotify, 0, kEmbedder, 3, C::kFocusTaken, kEmbedder, false, false, false},
      {"an embedded notice without the embedder's window", kXEmbed, 32, kEditor, xembed::kEmbeddedNotify, 0, 0, 0,
       C::kNoChange, kEmbedder, false, false, false},
      {"activate", kXEmbed, 32, kEditor, xembed::kWindowActivate, 0, 0, 0, C::kNoChange, kEmbedder, true, false, false},
      {"focus in, at the first of a chain", kXEmbed, 32, kEditor, xembed::kFocusIn, 1, 0, 0, C::kFocusGiven, kEmbedder,
       true, true, false},
      {"focus in again", kXEmbed, 32, kEditor, xembed::kFocusIn, 2, 0, 0, C::kNoChange, kEmbedder, true, true, false},
      {"modality on", kXEmbed, 32, kEditor, xembed::kModalityOn, 0, 0, 0, C::kNoChange, kEmbedder, true, true, true},
      {"another message type", kOther, 32, kEditor, xembed::kFocusOut, 0, 0, 0, C::kNoChange, kEmbedder, true, true,
       true},
      {"bytes, not words", kXEmbed, 8, kEditor, xembed::kFocusOut, 0, 0, 0, C::kNoChange, kEmbedder, true, true, true},
      {"for another window", kXEmbed, 32, kEmbedder, xembed::kFocusOut, 0, 0, 0, C::kNoChange, kEmbedder, true, true,
       true},
      {"a request meant for embedders", kXEmbed, 32, kEditor, xembed::kRequestFocus, 0, 0, 0, C::kNoChange, kEmbedder,
       true, true, true},
      {"focus next, meant for embedders", kXEmbed, 32, kEditor, xembed::kFocusNext, 0, 0, 0, C::kNoChange, kEmbedder,
       true, true, true},
      {"an accelerator the editor never registered", kXEmbed, 32, kEditor, xembed::kActivateAccelerator, 7, 1, 0,
       C::kNoChange, kEmbedder, true, true, true},
      {"an opcode of a later version", kXEmbed, 32, kEditor, 15, 0, 0, 0, C::kNoChange, kEmbedder, true, true, true},
      {"the largest opcode", kXEmbed, 32, kEditor, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, C::kNoChange,
       kEmbedder, true, true, true},
      {"focus out", kXEmbed, 32, kEditor, xembed::kFocusOut, 0, 0, 0, C::kFocusTaken, kEmbedder, true, false, true},
      {"focus out again", kXEmbed, 32, kEditor, xembed::kFocusOut, 0, 0, 0, C::kNoChange, kEmbedder, true, false, true},
      {"modality off", kXEmbed, 32, kEditor, xembed::kModalityOff, 0, 0, 0, C::kNoChange, kEmbedder, true, false,
       false},
      {"deactivate", kXEmbed, 32, kEditor, xembed::kWindowDeactivate, 0, 0, 0, C::kNoChange, kEmbedder, false, false,
       false},
  };
  C client(kXEmbed, kInfo);
  for (const Step& s : steps) {
    xcb_client_message_event_t e = {};
    e.response_type = XCB_CLIENT_MESSAGE;
    e.type = s.type;
    e.format = s.format;
    e.window = s.window;
    const uint32_t words[5] = {0, s.message, s.detail, s.data1, s.data2};
    std::copy(words, words + 5, e.data.data32);
    EXPECT_EQ(client.Receive(e, kEditor), s.change) << s.what;
    EXPECT_EQ(client.Embedder(), s.embedder) << s.what;
    EXPECT_EQ(client.Active(), s.active) << s.what;
    EXPECT_EQ(client.Focused(), s.focused) << s.what;
    EXPECT_EQ(client.Modal(), s.modal) << s.what;
  }
  EXPECT_EQ(client.Version(), 0u) << "never above the version this side speaks";
  client.Reset();
  EXPECT_FALSE(client.Embedded() || client.Active() || client.Focused() || client.Modal());
}
