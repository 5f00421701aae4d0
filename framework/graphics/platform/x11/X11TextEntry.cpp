#include "framework/graphics/platform/x11/X11TextEntry.h"

#include "framework/graphics/IGraphics.h"

#include <algorithm>
#include <cmath>

bool X11TextEntry::Open(xcb_connection_t* connection, xcb_window_t parent, const X11PixelFormat& format,
                        const IRect& rect, const ITextStyle& style, const char* text, int maxChars,
                        const IGraphics& graphics) {
  X11WindowSpec spec;
  spec.parent = parent;
  // The box covers the prompt rectangle with its right and bottom edges included.
  spec.rect = graphics.DeviceRect(IRect(rect.L, rect.T, rect.R + 1, rect.B + 1));
  spec.format = format;
  spec.eventMask = XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_FOCUS_CHANGE;
  if (!mWindow.Create(connection, spec)) return false;
  mStyle = style;
  mStyle.size = IGraphics::ScaledFontSize(style.size, graphics.DrawScale());
  mMargin = static_cast<int>(std::lround(2 * graphics.DrawScale()));
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
  const IRect box(mMargin, 0, all.R - mMargin, all.B);
  IGraphics::RenderTextInto(&canvas, text, mText.c_str(), box);
  if (!mSelected) {
    // A caret one panel pixel wide (rounded) after the last character.
    const int width = IGraphics::TextWidth(text, mText.c_str());
    int caret = box.L + width;
    if (mStyle.align == ITextStyle::AlignCentre) caret = (box.L + box.R + width) / 2;
    const int caretWidth = std::max(1, mMargin / 2);
    if (mStyle.align == ITextStyle::AlignRight) caret = box.R - caretWidth;
    X11OwnWindow::Fill(canvas, IRect(caret, mMargin, caret + caretWidth, all.B - mMargin),
                       mStyle.entryForeground.Packed() | 0xFF000000u);
  }
  mWindow.Present();
}
