#pragma once
// The one-line text entry of a parameter prompt, drawn by us in a child window over the control:
// the text starts selected (the first character typed replaces it), typed characters pass the
// parameter's filter up to the control's limit, Backspace deletes, Enter commits and Escape
// cancels. Committing and cancelling are only reported; the editor finishes the entry on its
// next refresh tick.

#include "framework/graphics/IGraphicsTypes.h"
#include "framework/graphics/platform/x11/X11OwnWindow.h"

#include <string>

class IControl;
class IParam;

class X11TextEntry {
public:
  enum Action { kKeep, kCommit, kCancel };

  // Opens over rect of parent; keeps the control, parameter and style for later.
  bool Open(xcb_connection_t* connection, xcb_window_t parent, const X11PixelFormat& format, const IRect& rect,
            const ITextStyle& style, const char* text, IControl* control, IParam* param);
  void Close();
  bool IsOpen() const { return mWindow.Window() != 0; }
  xcb_window_t Window() const { return mWindow.Window(); }
  IControl* Control() const { return mControl; }
  IParam* Param() const { return mParam; }
  const std::string& Text() const { return mText; }

  // A key pressed in the entry.
  Action OnKeysym(uint32_t keysym);
  // Draws the text, selected or with a caret at its end.
  void Draw();

private:
  X11OwnWindow mWindow;
  ITextStyle mStyle;
  IControl* mControl = nullptr;
  IParam* mParam = nullptr;
  std::string mText;
  int mMaxChars = 0;
  bool mSelected = false;
};
