#pragma once
// The platform-neutral pop-up menu model: items with text, state flags and optional submenus.
// The platform shows it (IGraphics::ShowPopupMenu) and marks the chosen item in the menu that
// holds it.

#include "framework/GrowableArray.h"

#include <string>

class IMenu;

struct IMenuItem {
  enum EFlags { Greyed = 1, Disabled = 2, Checked = 4, Separator = 8 };

  IMenuItem(const char* itemText, int itemFlags, IMenu* sub);
  ~IMenuItem();
  IMenuItem(const IMenuItem&) = delete;
  IMenuItem& operator=(const IMenuItem&) = delete;

  std::string text;
  int flags;
  IMenu* submenu;  // owned
};

class IMenu {
public:
  enum EPrefix { PrefixNone = 0, PrefixOneDigit = 1, PrefixTwoDigits = 2, PrefixThreeDigits = 3 };

  explicit IMenu(int prefix = PrefixNone) : mPrefix(prefix) {}

  // Appends an item; the menu takes ownership of submenu. Returns the new item.
  IMenuItem* AddItem(const char* text, int flags = 0, IMenu* submenu = nullptr);
  IMenuItem* AddSeparator() { return AddItem("", IMenuItem::Separator); }

  int NItems() const { return mItems.Count(); }
  IMenuItem* Item(int i) const { return mItems.Get(i); }
  int Prefix() const { return mPrefix; }
  int ChosenIdx() const { return mChosenIdx; }
  void SetChosenIdx(int i) { mChosenIdx = i; }

  // The text shown for item i: its own text behind the numbering prefix (1-based position).
  std::string DisplayText(int i) const;

private:
  int mPrefix;
  int mChosenIdx = -1;
  OwnedList<IMenuItem> mItems;
};
