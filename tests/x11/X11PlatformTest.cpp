// The X11 platform's pieces that need no display: pixel formats, the key table, the characters a
// text entry takes, and the rows of the popup menu.

#include "framework/graphics/IGraphicsTypes.h"
#include "framework/graphics/IMenu.h"
#include "framework/graphics/platform/x11/X11Keys.h"
#include "framework/graphics/platform/x11/X11PixelFormat.h"
#include "framework/graphics/platform/x11/X11PopupMenu.h"

#include <gtest/gtest.h>

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
