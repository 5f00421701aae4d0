#include "framework/graphics/platform/win32/PopupMenuIds.h"

PopupMenuIds::PopupMenuIds(IMenu& menu) { Number(menu); }

void PopupMenuIds::Number(IMenu& menu) {
  mMenus.push_back(NumberedMenu{&menu, mNext});
  mNext += menu.NItems();
  for (int i = 0; i < menu.NItems(); ++i)
    if (IMenu* sub = menu.Item(i)->submenu) Number(*sub);
}

int PopupMenuIds::FirstOf(const IMenu* menu) const {
  for (const NumberedMenu& m : mMenus)
    if (m.menu == menu) return m.first;
  return -1;
}

IMenu* PopupMenuIds::Choose(int id) const {
  for (const NumberedMenu& m : mMenus) {
    if (id >= m.first && id < m.first + m.menu->NItems()) {
      m.menu->SetChosenIdx(id - m.first);
      return m.menu;
    }
  }
  return nullptr;
}
