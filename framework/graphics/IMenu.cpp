#include "framework/graphics/IMenu.h"

#include <cstdio>

IMenuItem::IMenuItem(const char* itemText, int itemFlags, IMenu* sub)
    : text(itemText ? itemText : ""), flags(itemFlags), submenu(sub) {}

IMenuItem::~IMenuItem() { delete submenu; }

IMenuItem* IMenu::AddItem(const char* text, int flags, IMenu* submenu) {
  auto* item = new IMenuItem(text, flags, submenu);
  return mItems.Add(item) ? item : nullptr;
}

std::string IMenu::DisplayText(int i) const {
  const IMenuItem* item = Item(i);
  if (!item) return std::string();
  if (item->flags & IMenuItem::Separator) return item->text;
  char number[16];
  switch (mPrefix) {
    case PrefixOneDigit: std::snprintf(number, sizeof(number), "%1d: ", i + 1); break;
    case PrefixTwoDigits: std::snprintf(number, sizeof(number), "%02d: ", i + 1); break;
    case PrefixThreeDigits: std::snprintf(number, sizeof(number), "%03d: ", i + 1); break;
    default: return item->text;
  }
  return number + item->text;
}
