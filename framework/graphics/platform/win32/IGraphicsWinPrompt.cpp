// The parameter prompt on Windows: an EDIT box over the control, finished by the refresh tick,
// and a native popup menu.

#include "framework/graphics/IControl.h"
#include "framework/graphics/platform/win32/IGraphicsWin.h"
#include "framework/graphics/platform/win32/PopupMenuIds.h"
#include "framework/graphics/platform/win32/Win32Keys.h"

namespace {
// The edit box's user data, telling it from any other window that might reach its procedure.
constexpr LONG_PTR kEditMarker = 0x56656C6D;

HMENU BuildNativeMenu(const IMenu& menu, const PopupMenuIds& ids) {
  HMENU native = CreatePopupMenu();
  const int first = ids.FirstOf(&menu);
  for (int i = 0; i < menu.NItems(); ++i) {
    const IMenuItem* item = menu.Item(i);
    if (item->flags & IMenuItem::Separator) {
      AppendMenuA(native, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    UINT flags = MF_STRING;
    if (item->flags & IMenuItem::Greyed) flags |= MF_GRAYED;
    if (item->flags & IMenuItem::Disabled) flags |= MF_DISABLED;
    if (item->flags & IMenuItem::Checked) flags |= MF_CHECKED;
    const std::string text = menu.DisplayText(i);
    if (item->submenu)
      AppendMenuA(native, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(BuildNativeMenu(*item->submenu, ids)),
                  text.c_str());
    else
      AppendMenuA(native, flags, static_cast<UINT_PTR>(first + i), text.c_str());
  }
  return native;
}
}  // namespace

IMenu* IGraphicsWin::ShowPopupMenu(IMenu& menu, const IRect& rect) {
  DropMouseCapture();
  if (!mEditorWindow) return nullptr;
  HWND hwnd = mEditorWindow;
  if (GetCapture() == hwnd) ReleaseCapture();
  const PopupMenuIds ids(menu);
  HMENU native = BuildNativeMenu(menu, ids);
  // Below the control's bottom-left corner on the screen; the menu itself is the system's, drawn at
  // the DPI Windows gives it.
  POINT at = {DeviceCoord(rect.L), DeviceCoord(rect.B)};
  ClientToScreen(hwnd, &at);
  mMenuOpen = true;
  TrackPopupMenu(native, TPM_LEFTALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, hwnd, nullptr);
  mMenuOpen = false;
  DestroyMenu(native);
  // The window may have been closed while the menu ran its own message loop.
  if (mEditorWindow != hwnd) return nullptr;
  IMenu* chosen = nullptr;
  MSG msg;
  if (PeekMessageA(&msg, hwnd, WM_COMMAND, WM_COMMAND, PM_REMOVE) && HIWORD(msg.wParam) == 0)
    chosen = ids.Choose(LOWORD(msg.wParam));
  InvalidateRect(hwnd, nullptr, FALSE);
  return chosen;
}

void IGraphicsWin::ShowTextEntry(IControl* control, const ITextStyle& style, const IRect& rect, const char* text,
                                 IParam* param) {
  if (!mEntry.CanOpen(control) || mEditWindow || !mEditorWindow) return;
  DWORD styles = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOHSCROLL;
  if (style.align == ITextStyle::AlignCentre) styles |= ES_CENTER;
  if (style.align == ITextStyle::AlignRight) styles |= ES_RIGHT;
  // Over the control's rectangle with its right and bottom edges, in device pixels, with the text at
  // the scale's size.
  const IRect box = DeviceRect(IRect(rect.L, rect.T, rect.R + 1, rect.B + 1));
  mEditWindow = CreateWindowExA(0, "EDIT", text ? text : "", styles, box.L, box.T, box.W(), box.H(), mEditorWindow,
                                reinterpret_cast<HMENU>(kEditBoxId), mModuleHandle, nullptr);
  if (!mEditWindow) return;
  const int fontHeight = ScaledFontSize(style.size, DrawScale());
  mEditFont = CreateFontA(fontHeight, 0, 0, 0, style.style == ITextStyle::StyleBold ? FW_BOLD : FW_NORMAL,
                          style.style == ITextStyle::StyleItalic, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, style.face);
  SendMessageA(mEditWindow, WM_SETFONT, reinterpret_cast<WPARAM>(mEditFont), 0);
  SendMessageA(mEditWindow, EM_LIMITTEXT, static_cast<WPARAM>(control->EntryMaxChars()), 0);
  SendMessageA(mEditWindow, EM_SETSEL, 0, -1);
  mEntry.Open(control, param);
  mEditOldProc =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(mEditWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc)));
  SetWindowLongPtrA(mEditWindow, GWLP_USERDATA, kEditMarker);
  SetFocus(mEditWindow);
}

void IGraphicsWin::CancelTextEntry() {
  if (mEditWindow) mEntry.Cancel();
}

int IGraphicsWin::TextEntryState() const {
  switch (mEntry.GetState()) {
    case TextEntrySession::State::kClosed:
    case TextEntrySession::State::kEditing: break;
    case TextEntrySession::State::kJustFocused: return EditActive;
    case TextEntrySession::State::kRepainted: return EditRefresh;
    case TextEntrySession::State::kCancelling: return EditCancel;
    case TextEntrySession::State::kCommitting: return EditCommit;
  }
  return EditIdle;
}

LRESULT CALLBACK IGraphicsWin::EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND parent = GetParent(hwnd);
  auto* graphics = parent ? reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrA(parent, GWLP_USERDATA)) : nullptr;
  if (!graphics || graphics->mEditWindow != hwnd || GetWindowLongPtrA(hwnd, GWLP_USERDATA) != kEditMarker)
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  return graphics->HandleEditMessage(hwnd, msg, wParam, lParam);
}

LRESULT IGraphicsWin::HandleEditMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  HideTooltip();
  switch (msg) {
    case WM_SETFOCUS: mEntry.FocusTaken(); break;
    case WM_KILLFOCUS: mEntry.FocusLost(); break;
    case WM_KEYDOWN:
      // Enter and Escape end the entry; the box does not see them.
      if (mEntry.OnKey(TextEntryKeyOfVirtualKey(static_cast<int>(wParam)))) return 0;
      break;
    case WM_GETDLGCODE: {
      LRESULT code = CallWindowProcA(mEditOldProc, hwnd, msg, wParam, lParam);
      const MSG* query = reinterpret_cast<const MSG*>(lParam);
      if (!mEntry.Param() && query && query->wParam == VK_RETURN) code |= DLGC_WANTALLKEYS;
      return code;
    }
    case WM_CHAR: {
      // Enter and Escape finish the entry; their characters go nowhere.
      if (wParam == '\r' || wParam == '\n' || wParam == 27) return 0;
      // Free text takes whatever the box takes (control characters too: pasting, selecting all).
      if (mEntry.Param() && wParam != VK_BACK && !mEntry.Accepts(static_cast<char>(wParam))) return 0;
      break;
    }
    case WM_COMMAND:
      if (HIWORD(wParam) == 1) mEntry.Commit();
      break;
    case WM_MOUSEWHEEL:
      // The wheel goes to the focus, which the box has: it cancels, as over the editor.
      mEntry.Wheel();
      return 0;
    default: break;
  }
  return CallWindowProcA(mEditOldProc, hwnd, msg, wParam, lParam);
}

void IGraphicsWin::FinishTextEntry() {
  char text[TextEntrySession::kMaxTextLength + 1] = {};
  if (mEntry.GetState() == TextEntrySession::State::kCommitting && mEditWindow)
    GetWindowTextA(mEditWindow, text, sizeof(text));
  mEntry.Finish(text);
  CloseTextEntry();
  if (mEditorWindow) SetFocus(mEditorWindow);
}

void IGraphicsWin::CloseTextEntry() {
  if (mEditWindow) {
    HWND box = mEditWindow;
    mEditWindow = nullptr;
    SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(mEditOldProc));
    DestroyWindow(box);
  }
  if (mEditFont) DeleteObject(mEditFont);
  mEditFont = nullptr;
  mEntry.Close();
  mEditOldProc = nullptr;
}
