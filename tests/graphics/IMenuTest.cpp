// The pop-up menu model: the text a platform shows for each item, numbered by the menu's prefix
// style.

#include "framework/graphics/IMenu.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(IMenu, NumberingPrefixesCountEachMenuFromOne) {
  struct Case {
    int prefix;
    const char* first;  // item 1
    const char* tenth;  // item 10
    const char* last;   // item 120
  } cases[] = {
      {IMenu::PrefixNone, "Soft", "Item 10", "Item 120"},
      {IMenu::PrefixOneDigit, "1: Soft", "10: Item 10", "120: Item 120"},  // a width, not a limit
      {IMenu::PrefixTwoDigits, "01: Soft", "10: Item 10", "120: Item 120"},
      {IMenu::PrefixThreeDigits, "001: Soft", "010: Item 10", "120: Item 120"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.prefix);
    IMenu menu(c.prefix);
    menu.AddItem("Soft");
    menu.AddSeparator();
    for (int i = 3; i <= 120; ++i) menu.AddItem(("Item " + std::to_string(i)).c_str());
    EXPECT_EQ(menu.DisplayText(0), c.first);
    EXPECT_EQ(menu.DisplayText(1), "") << "a separator is never numbered";
    EXPECT_EQ(menu.DisplayText(9), c.tenth);
    EXPECT_EQ(menu.DisplayText(119), c.last);
    EXPECT_EQ(menu.DisplayText(120), "") << "no such item";
  }

  // A submenu counts its own items from one.
  IMenu outer(IMenu::PrefixTwoDigits);
  outer.AddItem("A");
  IMenuItem* more = outer.AddItem("More", 0, new IMenu(IMenu::PrefixOneDigit));
  more->submenu->AddItem("Deep");
  EXPECT_EQ(outer.DisplayText(1), "02: More");
  EXPECT_EQ(more->submenu->DisplayText(0), "1: Deep");
}

}  // namespace
