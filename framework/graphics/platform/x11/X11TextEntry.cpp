#include "framework/graphics/platform/x11/X11TextEntry.h"

#include "framework/graphics/IGraphics.h"

bool X11TextEntry::Open(xcb_connection_t* connection, xcb_window_t parent, const X11PixelFormat& format,
                        const IRect& rect, const ITextStyle& style, const char* text, int maxChars) {
  X11WindowSpec spec;
  spec.parent = parent;
  // The box covers the prompt rectangle with its right and bottom edges included.
  spec.rect = IRect(rect.L, rect.T, rect.R + 1, rect.B + 1);
  spec.format = format;
  spec.eventMask = XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_FOCUS_CHANGE;
  if (!mWindow.Create(connection, spec)) return false;
  mStyle = style;
  mMaxChars = maxChars;
  mText = text ? text : "";
  if (static_cast<int>(mText.size()) > mMaxChars) mText.resize(static_cast<size_t>(mMaxChars));
  mSelected = !mText.empty();
  Draw();
  return true;
}

void X11TextEntry::Close() {
  mWindow.Destroy();
  mText.clear();
}

void X11TextEntry::Type(char c) {
  if (mSelected) mText.clear();
  mSelected = false;
  if (static_cast<int>(mText.size()) < mMaxChars) mText.push_back(c);
  Draw();
}

void X11TextEntry::Backspace() {
  if (mSelected)
    mText.clear();
  else if (!mText.empty())
    mText.pop_back();
  mSelected = false;
  Draw();
}

void X11TextEntry::Draw() {
  LICE_MemBitmap& canvas = mWindow.Canvas();
  if (!IsOpen() || !canvas.Pixels()) return;
  const IRect all(0, 0, canvas.Width(), canvas.Height());
  // Selected text shows inverted, as a selection does.
  const IArgb background = mSelected ? mStyle.entryForeground : mStyle.entryBackground;
  ITextStyle text = mStyle;
  text.colour = mSelected ? mStyle.entryBackground : mStyle.entryForeground;
  text.cachedFont = nullptr;
  X11OwnWindow::Fill(canvas, all, background.Packed() | 0xFF000000u);
  const IRect box(2, 0, all.R - 2, all.B);
  IGraphics::RenderTextInto(&canvas, text, mText.c_str(), box);
  if (!mSelected) {
    // A one-pixel caret after the last character.
    const int width = IGraphics::TextWidth(text, mText.c_str());
    int caret = box.L + width;
    if (mStyle.align == ITextStyle::AlignCentre) caret = (box.L + box.R + width) / 2;
    if (mStyle.align == ITextStyle::AlignRight) caret = box.R - 1;
    X11OwnWindow::Fill(canvas, IRect(caret, 2, caret + 1, all.B - 2), mStyle.entryForeground.Packed() | 0xFF000000u);
  }
  mWindow.Present();
}
