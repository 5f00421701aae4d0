#include "framework/graphics/platform/x11/X11PopupMenu.h"

#include "framework/graphics/IGraphics.h"
#include "framework/graphics/IMenu.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
// The menu's measures at 1x; a display scale multiplies each (rounded), the text's size too.
struct Metrics {
  explicit Metrics(double scale)
      : rowHeight(Scaled(18, scale)),
        separatorHeight(Scaled(7, scale)),
        indent(Scaled(12, scale)),
        textLeft(Scaled(20, scale)),
        border(Scaled(1, scale)),
        inset(Scaled(4, scale)),
        rightRoom(Scaled(16, scale)),
        minWidth(Scaled(120, scale)),
        checkLeft(Scaled(13, scale)),
        checkRight(Scaled(7, scale)),
        checkTop(Scaled(6, scale)),
        checkBottom(Scaled(12, scale)) {
    text.align = ITextStyle::AlignLeft;
    text.size = IGraphics::ScaledFontSize(text.size, scale);
  }
  static int Scaled(int value, double scale) { return static_cast<int>(std::lround(value * scale)); }

  int rowHeight, separatorHeight, indent;
  int textLeft;  // room for the check mark
  int border, inset, rightRoom, minWidth;
  int checkLeft, checkRight, checkTop, checkBottom;  // the check mark, from the text's left and the row's top
  ITextStyle text;
};

constexpr LICE_pixel kBackground = 0xFFF0F0F0u;
constexpr LICE_pixel kHighlight = 0xFF3875D7u;
constexpr LICE_pixel kBorder = 0xFF808080u;

void AddRows(IMenu& menu, int depth, std::vector<X11PopupMenu::Row>* rows) {
  for (int i = 0; i < menu.NItems(); ++i) {
    const IMenuItem* item = menu.Item(i);
    X11PopupMenu::Row row;
    row.text = menu.DisplayText(i);
    row.depth = depth;
    row.owner = &menu;
    row.index = i;
    row.separator = (item->flags & IMenuItem::Separator) != 0;
    row.checked = (item->flags & IMenuItem::Checked) != 0;
    row.greyed = (item->flags & (IMenuItem::Greyed | IMenuItem::Disabled)) != 0;
    // A submenu's title only introduces its items.
    row.selectable = !row.separator && !row.greyed && !item->submenu;
    rows->push_back(row);
    if (item->submenu) AddRows(*item->submenu, depth + 1, rows);
  }
}

int RowHeight(const X11PopupMenu::Row& row, const Metrics& m) {
  return row.separator ? m.separatorHeight : m.rowHeight;
}

int RowTop(const std::vector<X11PopupMenu::Row>& rows, int i, const Metrics& m) {
  int y = m.border;
  for (int r = 0; r < i; ++r) y += RowHeight(rows[static_cast<size_t>(r)], m);
  return y;
}

int RowAt(const std::vector<X11PopupMenu::Row>& rows, int x, int y, int width, const Metrics& m) {
  if (x < 0 || x >= width) return -1;
  for (size_t r = 0; r < rows.size(); ++r) {
    const int top = RowTop(rows, static_cast<int>(r), m);
    const int h = RowHeight(rows[r], m);
    if (y >= top && y < top + h) return static_cast<int>(r);
  }
  return -1;
}

void Draw(X11OwnWindow& window, const std::vector<X11PopupMenu::Row>& rows, int highlighted, const Metrics& m) {
  LICE_MemBitmap& canvas = window.Canvas();
  const int w = canvas.Width(), h = canvas.Height(), b = m.border;
  X11OwnWindow::Fill(canvas, IRect(0, 0, w, h), kBorder);
  X11OwnWindow::Fill(canvas, IRect(b, b, w - b, h - b), kBackground);
  ITextStyle style = m.text;
  for (size_t r = 0; r < rows.size(); ++r) {
    const X11PopupMenu::Row& row = rows[r];
    const int top = RowTop(rows, static_cast<int>(r), m);
    if (row.separator) {
      const int line = top + m.separatorHeight / 2;
      X11OwnWindow::Fill(canvas, IRect(m.inset, line, w - m.inset, line + b), kBorder);
      continue;
    }
    const bool lit = static_cast<int>(r) == highlighted;
    if (lit) X11OwnWindow::Fill(canvas, IRect(b, top, w - b, top + m.rowHeight), kHighlight);
    style.colour = lit ? IArgb(255, 255, 255, 255) : row.greyed ? IArgb(255, 150, 150, 150) : IArgb(255, 0, 0, 0);
    style.cachedFont = nullptr;
    const int left = m.textLeft + row.depth * m.indent;
    if (row.checked)
      X11OwnWindow::Fill(canvas, IRect(left - m.checkLeft, top + m.checkTop, left - m.checkRight, top + m.checkBottom),
                         style.colour.Packed() | 0xFF000000u);
    IGraphics::RenderTextInto(&canvas, style, row.text.c_str(), IRect(left, top, w - m.inset, top + m.rowHeight));
  }
  window.Present();
}

int NextSelectable(const std::vector<X11PopupMenu::Row>& rows, int from, int step) {
  const int n = static_cast<int>(rows.size());
  for (int i = 1; i <= n; ++i) {
    const int r = ((from + step * i) % n + n) % n;
    if (rows[static_cast<size_t>(r)].selectable) return r;
  }
  return -1;
}

bool Grabbed(xcb_connection_t* c, xcb_window_t window) {
  const uint16_t events = XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION;
  xcb_grab_pointer_reply_t* pointer =
      xcb_grab_pointer_reply(c,
                             xcb_grab_pointer(c, 1, window, events, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_NONE,
                                              XCB_NONE, XCB_CURRENT_TIME),
                             nullptr);
  const bool ok = pointer && pointer->status == XCB_GRAB_STATUS_SUCCESS;
  std::free(pointer);
  if (!ok) return false;
  xcb_grab_keyboard_reply_t* keyboard = xcb_grab_keyboard_reply(
      c, xcb_grab_keyboard(c, 1, window, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC), nullptr);
  // Without the keyboard the menu still works with the pointer.
  std::free(keyboard);
  return true;
}
}  // namespace

std::vector<X11PopupMenu::Row> X11PopupMenu::Flatten(IMenu& menu) {
  std::vector<Row> rows;
  AddRows(menu, 0, &rows);
  return rows;
}

IMenu* X11PopupMenu::Run(xcb_connection_t* c, const xcb_screen_t* screen, const X11KeyMap& keys, IMenu& menu, int rootX,
                         int rootY, double scale) {
  const std::vector<Row> rows = Flatten(menu);
  if (rows.empty() || !screen) return nullptr;
  const Metrics m(scale);
  ITextStyle measure = m.text;
  int width = m.minWidth;
  for (const Row& row : rows)
    width = std::max(width,
                     m.textLeft + row.depth * m.indent + IGraphics::TextWidth(measure, row.text.c_str()) + m.rightRoom);
  const int height = RowTop(rows, static_cast<int>(rows.size()), m) + m.border;
  // Kept on the screen.
  const int x = std::max(0, std::min(rootX, screen->width_in_pixels - width));
  const int y = std::max(0, std::min(rootY, screen->height_in_pixels - height));

  X11WindowSpec spec;
  spec.parent = screen->root;
  spec.rect = IRect(x, y, x + width, y + height);
  spec.depth = screen->root_depth;
  spec.visual = screen->root_visual;
  spec.overrideRedirect = true;
  spec.eventMask = XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
                   XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_KEY_PRESS;
  if (!X11PixelFormat::ForVisual(xcb_get_setup(c), screen->root_visual, screen->root_depth, &spec.format))
    return nullptr;
  X11OwnWindow window;
  if (!window.Create(c, spec)) return nullptr;
  if (!Grabbed(c, window.Window())) return nullptr;

  int highlighted = -1;
  int chosen = -1;
  bool done = false;
  Draw(window, rows, highlighted, m);
  while (!done) {
    xcb_generic_event_t* event = xcb_wait_for_event(c);
    if (!event) break;  // the connection broke
    switch (event->response_type & 0x7F) {
      case XCB_EXPOSE:
        if (reinterpret_cast<xcb_expose_event_t*>(event)->window == window.Window()) Draw(window, rows, highlighted, m);
        break;
      case XCB_MOTION_NOTIFY: {
        const auto* e = reinterpret_cast<xcb_motion_notify_event_t*>(event);
        const int r = RowAt(rows, e->root_x - x, e->root_y - y, width, m);
        const int lit = r >= 0 && rows[static_cast<size_t>(r)].selectable ? r : -1;
        if (lit != highlighted) Draw(window, rows, highlighted = lit, m);
        break;
      }
      case XCB_BUTTON_PRESS:
      case XCB_BUTTON_RELEASE: {
        const auto* e = reinterpret_cast<xcb_button_press_event_t*>(event);
        if (e->detail > 3) break;  // wheel
        const bool press = (event->response_type & 0x7F) == XCB_BUTTON_PRESS;
        const int r = RowAt(rows, e->root_x - x, e->root_y - y, width, m);
        if (r >= 0 && rows[static_cast<size_t>(r)].selectable) {
          // Chosen where the button comes up, so press, drag and release works as well as a click.
          if (!press) {
            chosen = r;
            done = true;
          }
        } else if (press && r < 0) {
          done = true;  // a click outside dismisses
        }
        break;
      }
      case XCB_KEY_PRESS: {
        const uint32_t sym = keys.Keysym(reinterpret_cast<xcb_key_press_event_t*>(event)->detail, false);
        const int step = sym == kKeysymUp ? -1 : sym == kKeysymDown ? 1 : 0;
        if (sym == kKeysymEscape) {
          done = true;
        } else if (step) {
          // From nothing lit, Down lights the first item and Up the last.
          const int from = highlighted >= 0 ? highlighted : step > 0 ? -1 : 0;
          Draw(window, rows, highlighted = NextSelectable(rows, from, step), m);
        } else if ((sym == kKeysymReturn || sym == kKeysymKeypadEnter) && highlighted >= 0) {
          chosen = highlighted;
          done = true;
        }
        break;
      }
      default: break;
    }
    std::free(event);
  }
  xcb_ungrab_keyboard(c, XCB_CURRENT_TIME);
  xcb_ungrab_pointer(c, XCB_CURRENT_TIME);
  window.Destroy();
  if (chosen < 0) return nullptr;
  const Row& row = rows[static_cast<size_t>(chosen)];
  row.owner->SetChosenIdx(row.index);
  return row.owner;
}
