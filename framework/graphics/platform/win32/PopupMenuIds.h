#pragma once
// How a popup menu's items are numbered for the native menu: depth-first from 0, the items of a
// menu taking consecutive numbers after all numbers handed out before, its submenus numbered
// after its own items.

#include "framework/graphics/IMenu.h"

#include <vector>

struct NumberedMenu {
  IMenu* menu;
  int first;  // the number of its item 0
};

class PopupMenuIds {
public:
  // Numbers menu and its submenus, in the order a native menu is built.
  explicit PopupMenuIds(IMenu& menu);
  // The first number of menu's items (menu must be one of those numbered).
  int FirstOf(const IMenu* menu) const;
  // The menu holding item number id, with its chosen index set; null when none does.
  IMenu* Choose(int id) const;
  int Count() const { return mNext; }

private:
  void Number(IMenu& menu);

  std::vector<NumberedMenu> mMenus;
  int mNext = 0;
};
