#pragma once
// The widget of a parameter prompt's one-line text entry, drawn by us in a child window over the
// control: the text starts selected (the first character typed replaces it), typed characters go
// in up to the control's limit, Backspace deletes. Which characters may go in, which keys end the
// entry and what its text becomes are the core's (TextEntrySession).

#include "framework/graphics/IGraphicsTypes.h"
#include "framework/graphics/platform/x11/X11OwnWindow.h"

#include <string>

class IGraphics;

class X11TextEntry {
public:
  // Opens over the panel rectangle rect of parent with text (cut to maxChars), in style; the box,
  // its margins and the text are at the editor's display scale (graphics' DeviceRect, DrawScale).
  bool Open(xcb_connection_t* connection, xcb_window_t parent, const X11PixelFormat& format, const IRect& rect,
            const ITextStyle& style, const char* text, int maxChars, const IGraphics& graphics);
  void Close();
  bool IsOpen() const { return mWindow.Window() != 0; }
  xcb_window_t Window() const { return mWindow.Window(); }
  const std::string& Text() const { return mText; }

  // A character typed: replaces the selection, else goes at the end while there is room.
  void Type(char c);
  // Deletes the selection, else the last character.
  void Backspace();
  // Draws the text, selected or with a caret at its end.
  void Draw();

private:
  X11OwnWindow mWindow;
  ITextStyle mStyle;
  std::string mText;
  int mMaxChars = 0;
  int mMargin = 2;  // device pixels left and right of the text, and above and below the caret
  bool mSelected = false;
};
