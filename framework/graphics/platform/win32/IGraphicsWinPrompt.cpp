// The parameter prompt on Windows: an EDIT box over the control, finished by the refresh tick,
// and a native popup menu.

#include "framework/graphics/IControl.h"
#include "framework/graphics/TextEntryRules.h"
#include "framework/graphics/platform/win32/IGraphicsWin.h"
#include "framework/graphics/platform/win32/PopupMenuIds.h"

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
  POINT at = {rect.L, rect.B};
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
  if (!control || mEditWindow || !mEditorWindow) return;
  DWORD styles = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOHSCROLL;
  if (style.align == ITextStyle::AlignCentre) styles |= ES_CENTER;
  if (style.align == ITextStyle::AlignRight) styles |= ES_RIGHT;
  mEditWindow =
      CreateWindowExA(0, "EDIT", text ? text : "", styles, rect.L, rect.T, rect.R - rect.L + 1, rect.B - rect.T + 1,
                      mEditorWindow, reinterpret_cast<HMENU>(kEditBoxId), mModuleHandle, nullptr);
  if (!mEditWindow) return;
  mEditFont = CreateFontA(style.size, 0, 0, 0, style.style == ITextStyle::StyleBold ? FW_BOLD : FW_NORMAL,
                          style.style == ITextStyle::StyleItalic, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, style.face);
  SendMessageA(mEditWindow, WM_SETFONT, reinterpret_cast<WPARAM>(mEditFont), 0);
  SendMessageA(mEditWindow, EM_LIMITTEXT, static_cast<WPARAM>(control->EntryMaxChars()), 0);
  SendMessageA(mEditWindow, EM_SETSEL, 0, -1);
  mEditControl = control;
  mEditParam = param;
  mEditState = EditIdle;
  mEditOldProc =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(mEditWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc)));
  SetWindowLongPtrA(mEditWindow, GWLP_USERDATA, kEditMarker);
  SetFocus(mEditWindow);
}

void IGraphicsWin::CancelTextEntry() {
  if (mEditWindow) mEditState = EditCancel;
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
    case WM_SETFOCUS: mEditState = EditActive; break;
    case WM_KILLFOCUS: mEditState = EditCommit; break;
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        mEditState = EditCommit;
        return 0;
      }
      if (wParam == VK_ESCAPE) {
        mEditState = EditCancel;
        return 0;
      }
      break;
    case WM_GETDLGCODE: {
      LRESULT code = CallWindowProcA(mEditOldProc, hwnd, msg, wParam, lParam);
      const MSG* query = reinterpret_cast<const MSG*>(lParam);
      if (!mEditParam && query && query->wParam == VK_RETURN) code |= DLGC_WANTALLKEYS;
      return code;
    }
    case WM_CHAR: {
      // Enter and Escape finish the entry; their characters go nowhere.
      if (wParam == '\r' || wParam == '\n' || wParam == 27) return 0;
      if (mEditParam && wParam != VK_BACK && !TextEntryAccepts(mEditParam, static_cast<char>(wParam))) return 0;
      break;
    }
    case WM_COMMAND:
      if (HIWORD(wParam) == 1) mEditState = EditCommit;
      break;
    case WM_MOUSEWHEEL:
      // The wheel goes to the focus, which the box has: it cancels, as over the editor.
      mEditState = EditCancel;
      return 0;
    default: break;
  }
  return CallWindowProcA(mEditOldProc, hwnd, msg, wParam, lParam);
}

void IGraphicsWin::FinishTextEntry() {
  if (mEditState == EditCommit && mEditWindow && mEditControl) {
    char text[33] = {};
    GetWindowTextA(mEditWindow, text, sizeof(text));
    IControl* control = mEditControl;
    if (mEditParam)
      control->SetValueFromUser(TextEntryNormalizedValue(*mEditParam, text));
    else
      control->TextFromEntry(text);
  }
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
  mEditControl = nullptr;
  mEditParam = nullptr;
  mEditOldProc = nullptr;
  mEditState = EditIdle;
}
