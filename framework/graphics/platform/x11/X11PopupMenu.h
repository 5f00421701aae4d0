#pragma once
// The parameter prompt's popup menu on X11, drawn by us in an override-redirect window and run
// modally on the editor's own display connection (as a native popup menu runs its own loop): the
// pointer and keyboard are grabbed, a click or release on an item chooses it, a click outside or
// Escape dismisses, Up, Down and Enter work too. Submenus are shown inline below their title,
// indented, so every item is reachable in one list.

#include "framework/graphics/IGraphicsTypes.h"
#include "framework/graphics/platform/x11/X11Keys.h"
#include "framework/graphics/platform/x11/X11OwnWindow.h"

#include <string>
#include <vector>

class IMenu;

class X11PopupMenu {
public:
  // One line of the menu as shown.
  struct Row {
    std::string text;
    int depth = 0;
    bool selectable = false;
    bool checked = false;
    bool greyed = false;
    bool separator = false;
    IMenu* owner = nullptr;  // the menu that holds the item
    int index = -1;          // the item's index in owner
  };

  // The rows of menu and its submenus, depth first.
  static std::vector<Row> Flatten(IMenu& menu);

  // Shows menu with its top-left corner at (rootX, rootY) of the screen, its rows and text at the
  // editor's display scale, and waits for a choice.
  // Answers the menu holding the chosen item, its ChosenIdx set; null when dismissed or when the
  // popup could not open or grab the pointer. Events of other windows that arrive meanwhile are
  // dropped (the caller repaints afterwards).
  static IMenu* Run(xcb_connection_t* connection, const xcb_screen_t* screen, const X11KeyMap& keys, IMenu& menu,
                    int rootX, int rootY, double scale = 1.0);
};
