#include "framework/graphics/platform/win32/IGraphicsWin.h"

#include "bitmap/LICE_ModuleResources.h"
#include "bitmap/LICE_SysBitmap.h"
#include "framework/ModuleInstance.h"
#include "framework/Trace.h"
#include "framework/graphics/IControl.h"
#include "framework/graphics/platform/win32/Win32Keys.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstring>

namespace {
// Module-wide, touched only from the UI thread: how many editor windows are open (the class is
// registered while there is one), and the frame rate of the window being created, which its
// creation handler reads to start the timer.
int sOpenWindows = 0;
double sCreationFrameRate = 25.0;

IModifiers ModifiersOf(WPARAM keyFlags) {
  return IModifiers((keyFlags & MK_LBUTTON) != 0, (keyFlags & MK_RBUTTON) != 0, (keyFlags & MK_SHIFT) != 0,
                    (keyFlags & MK_CONTROL) != 0, GetKeyState(VK_MENU) < 0);
}

bool RegisterWindowClass(HINSTANCE module, WNDPROC proc) {
  WNDCLASSA wc = {};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = proc;
  wc.hInstance = module;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.lpszClassName = IGraphicsWin::kWindowClassName;
  return RegisterClassA(&wc) != 0;
}

void ReleaseWindowClass(HINSTANCE module) {
  if (--sOpenWindows == 0) UnregisterClassA(IGraphicsWin::kWindowClassName, module);
}

// The DPI Windows gives window (GetDpiForWindow, Windows 10 1607 and later, looked up so that older
// systems load the module), else the screen's; 0 when neither answers.
UINT WindowDpi(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
  if (getDpiForWindow && window) return getDpiForWindow(window);
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 0;
}

IGraphicsWin* GraphicsOf(HWND hwnd) { return reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)); }
}  // namespace

IGraphicsWin::IGraphicsWin(IPlugBase* plugin, int width, int height, int frameRate)
    : IGraphics(plugin, width, height, frameRate), mModuleHandle(static_cast<HINSTANCE>(ModuleInstance())) {
  // Before InitDll (or in a program) the module is the one this code was linked into.
  if (!mModuleHandle)
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&sOpenWindows), &mModuleHandle);
}

IGraphicsWin::~IGraphicsWin() {
  // The plug-in owning this editor is being destroyed: it cannot hear about a gesture any more.
  ForgetEditGesture();
  CloseEditorWindow();
}

int IGraphicsWin::OpenWindowCount() { return sOpenWindows; }

bool IGraphicsWin::SupportsWindowType(const char* type) const { return type && std::strcmp(type, "HWND") == 0; }

// ---- Window life ----

void* IGraphicsWin::OpenEditorWindow(void* parent) {
  // A window being replaced hands its place and size to the new one.
  const bool replacing = mEditorWindow != nullptr;
  int x = 0, y = 0, w = 0, h = 0;
  if (replacing) {
    RECT r;
    GetWindowRect(mEditorWindow, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(mEditorWindow), reinterpret_cast<POINT*>(&r), 2);
    x = r.left, y = r.top, w = r.right - r.left, h = r.bottom - r.top;
  }
  CloseEditorWindow();
  mParentWindow = static_cast<HWND>(parent);
  if (!mParentWindow) return nullptr;
  // Without a scale from the host, the editor takes its screen's (the parent's) from the start.
  FollowParentDpi();
  if (!replacing) w = DeviceWidth(), h = DeviceHeight();

  if (++sOpenWindows == 1 && !RegisterWindowClass(mModuleHandle, WindowProc)) {
    --sOpenWindows;
    TRACE_POINT("IGraphicsWin::OpenEditorWindow", "window class not registered");
    return nullptr;
  }
  sCreationFrameRate = mFrameRate;
  HWND hwnd = CreateWindowExA(0, kWindowClassName, "IPlug", WS_CHILD | WS_VISIBLE, x, y, w, h, mParentWindow, nullptr,
                              mModuleHandle, this);
  if (!hwnd) {
    ReleaseWindowClass(mModuleHandle);
    TRACE_POINT("IGraphicsWin::OpenEditorWindow", "window not created");
    return nullptr;
  }
  mEditorWindow = hwnd;
  mWindowCounted = true;
  for (int i = 0; i < mControls.Count(); ++i) mControls.Get(i)->MarkDirty(false);
  if (mTooltipsEnabled) CreateTooltip();
  return hwnd;
}

void IGraphicsWin::CloseEditorWindow() {
  if (!mWindowCounted) return;
  EndEditGesture();
  HWND hwnd = mEditorWindow;
  mEditorWindow = nullptr;
  mWindowCounted = false;
  // Nothing that is still queued or sent for the window reaches this object from here on.
  if (hwnd) {
    KillTimer(hwnd, kTimerId);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
  }
  if (mMenuOpen) EndMenu();
  CloseTextEntry();
  if (mTooltipWindow) DestroyWindow(mTooltipWindow);
  mTooltipWindow = nullptr;
  mTooltipShown = false;
  mTooltipIndex = -1;
  if (hwnd) {
    if (GetCapture() == hwnd) ReleaseCapture();
    DestroyWindow(hwnd);
  }
  DropMouseCapture();
  ReleaseWindowClass(mModuleHandle);
}

void IGraphicsWin::ResizeSurface(int width, int height) {
  if (width == mWidth && height == mHeight) return;
  // The controls go with the old layout, the one an open entry edits among them.
  CloseTextEntry();
  IGraphics::ResizeSurface(width, height);
  FitWindowToDevice();
}

void IGraphicsWin::SetDrawScale(double scale) {
  const double before = DrawScale();
  IGraphics::SetDrawScale(scale);
  if (DrawScale() == before) return;
  // An open entry's box and font are at the old scale; a tracked menu ends on its own.
  CloseTextEntry();
  FitWindowToDevice();
}

void IGraphicsWin::FitWindowToDevice() {
  if (!mEditorWindow) return;
  SetWindowPos(mEditorWindow, nullptr, 0, 0, DeviceWidth(), DeviceHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // The VST3 binding resizes through the host's frame; the parents are the host's business.
  InvalidateRect(mEditorWindow, nullptr, FALSE);
}

// A host that tells the scale (the VST3 view's content scale) decides it alone. Otherwise the
// editor follows the DPI Windows gives the host's top-level window: the monitor's for a
// per-monitor aware host, the system's for a system-aware one, and 96 (scale 1, stretched by
// Windows) for a host that is not DPI aware.
void IGraphicsWin::FollowParentDpi() {
  if (DrawScaleFromHost() || !mParentWindow) return;
  const UINT dpi = WindowDpi(GetAncestor(mParentWindow, GA_ROOT));
  if (dpi) SetDrawScale(dpi / 96.0);
}

// ---- Messages ----

LRESULT CALLBACK IGraphicsWin::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    SetTimer(hwnd, kTimerId, static_cast<UINT>(1000.0 / sCreationFrameRate), nullptr);
    SetFocus(hwnd);
    return 0;
  }
  // Before creation has finished, and after the graphics object let go of the window, the
  // messages get default handling.
  IGraphicsWin* graphics = GraphicsOf(hwnd);
  if (!graphics || graphics->mEditorWindow != hwnd) return DefWindowProcA(hwnd, msg, wParam, lParam);
  return graphics->HandleMessage(hwnd, msg, wParam, lParam);
}

LRESULT IGraphicsWin::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  // While the text entry has just taken the focus, a press cancels it; the tick and painting go
  // on, everything else waits.
  if (mEditWindow && mEntry.GetState() == TextEntrySession::State::kJustFocused && msg != WM_TIMER && msg != WM_PAINT &&
      msg != WM_NCDESTROY) {
    if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN) {
      mEntry.PressOnEditor();
      return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
  switch (msg) {
    case WM_TIMER:
      if (wParam == kTimerId) OnTimerTick();
      return 0;
    case kDpiChangedAfterParent:
      // A per-monitor aware host's window moved to a monitor of another DPI.
      FollowParentDpi();
      return 0;
    case WM_PAINT: OnPaint(hwnd); return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: OnButtonDown(hwnd, wParam, lParam); return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      ReleaseCapture();
      OnRelease(PanelX(lParam), PanelY(lParam), ModifiersOf(wParam));
      return 0;
    case WM_LBUTTONDBLCLK: OnDoubleClick(PanelX(lParam), PanelY(lParam), ModifiersOf(wParam)); return 0;
    case WM_MOUSEMOVE: OnMouseMove(hwnd, wParam, lParam); return 0;
    case WM_MOUSEHOVER: ShowTooltip(); return 0;
    case WM_MOUSELEAVE:
      HideTooltip();
      OnLeave();
      return 0;
    case WM_MOUSEWHEEL: OnWheel(hwnd, wParam, lParam); return 0;
    case WM_KEYDOWN:
      if (OnKeyDown(hwnd, wParam)) return 0;
      [[fallthrough]];
    case WM_KEYUP:
      // The host gets what the editor does not use, as if the editor were not there.
      SendMessageA(GetAncestor(hwnd, GA_ROOT), msg, wParam, lParam);
      return DefWindowProcA(hwnd, msg, wParam, lParam);
    case WM_CTLCOLOREDIT:
      if (mEntry.Control() && reinterpret_cast<HWND>(lParam) == mEditWindow) {
        const ITextStyle& style = mEntry.Control()->TextStyle();
        const COLORREF back = RGB(style.entryBackground.R, style.entryBackground.G, style.entryBackground.B);
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, back);
        SetTextColor(dc, RGB(style.entryForeground.R, style.entryForeground.G, style.entryForeground.B));
        SetBkMode(dc, OPAQUE);
        SetDCBrushColor(dc, back);
        return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: return 0;
    case WM_CLOSE: CloseEditorWindow(); return 0;
    case WM_NCDESTROY:
      // Destroyed from outside (the host destroyed its window first): the count is settled by
      // CloseEditorWindow, once the window is really gone.
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      mEditorWindow = nullptr;
      mEditWindow = nullptr;
      mTooltipWindow = nullptr;
      DropMouseCapture();
      break;
    default: break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// ---- Refresh and painting ----

void IGraphicsWin::OnTimerTick() {
  // Hosts whose children Windows tells nothing of a DPI change (per-monitor aware without the
  // second version's messages) are followed here.
  FollowParentDpi();
  if (mEditWindow) {
    switch (mEntry.OnTick()) {
      case TextEntrySession::TickAction::kFinish: FinishTextEntry(); return;
      case TextEntrySession::TickAction::kSettled: return;
      case TextEntrySession::TickAction::kEditorTick: break;
    }
  }
  Tick();
}

void IGraphicsWin::RepaintRegion(const IRect& region) {
  if (!mEditorWindow) {
    IGraphics::RepaintRegion(region);
    return;
  }
  const IRect device = DeviceRect(region);
  const RECT r = {device.L, device.T, device.R, device.B};
  InvalidateRect(mEditorWindow, &r, FALSE);
  if (mEditWindow && mEntry.Control()) {
    // The box stays on top of its control.
    const IRect c = DeviceRect(mEntry.Control()->GetRect());
    const RECT cr = {c.L, c.T, c.R, c.B};
    ValidateRect(mEditorWindow, &cr);
    mEntry.Repainted();
  }
  UpdateWindow(mEditorWindow);
}

void IGraphicsWin::OnPaint(HWND hwnd) {
  RECT update;
  if (!GetUpdateRect(hwnd, &update, FALSE)) {
    DefWindowProcA(hwnd, WM_PAINT, 0, 0);
    return;
  }
  PAINTSTRUCT ps;
  mPaintDc = BeginPaint(hwnd, &ps);
  PaintPass(PanelRect(IRect(update.left, update.top, update.right, update.bottom)));
  EndPaint(hwnd, &ps);
  mPaintDc = nullptr;
}

void IGraphicsWin::PresentRect(const IRect& rect) {
  if (!mEditorWindow || !mBackBuffer) return;
  HDC source = static_cast<HDC>(mBackBuffer->DrawingContext());
  HDC dc = mPaintDc ? mPaintDc : GetDC(mEditorWindow);
  const IRect d = DeviceRect(rect);
  BitBlt(dc, d.L, d.T, d.R - d.L, d.B - d.T, source, d.L, d.T, SRCCOPY);
  if (!mPaintDc) ReleaseDC(mEditorWindow, dc);
}

// ---- Mouse ----

void IGraphicsWin::OnButtonDown(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  HideTooltip();
  if (mEditWindow) {
    mEntry.PressOnEditor();
    return;
  }
  SetFocus(hwnd);
  SetCapture(hwnd);
  OnPress(PanelX(lParam), PanelY(lParam), ModifiersOf(wParam));
  // No control took the press (or it went to the host's parameter menu): nothing to drag.
  if (mPressedIndex < 0 && GetCapture() == hwnd) ReleaseCapture();
}

void IGraphicsWin::OnMouseMove(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  const int x = PanelX(lParam), y = PanelY(lParam);
  if (wParam & (MK_LBUTTON | MK_RBUTTON)) {
    if (GetCapture() == hwnd && !mEditWindow) OnDrag(x, y, 0, 0, ModifiersOf(wParam));
    return;
  }
  if (!OnHover(x, y, ModifiersOf(wParam))) return;
  TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, hwnd, HOVER_DEFAULT};
  if (mTooltipsEnabled && mHoverIndex != mTooltipIndex) {
    mTooltipIndex = mHoverIndex;
    HideTooltip();
    if (mHoverIndex >= 0) track.dwFlags |= TME_HOVER;
  }
  TrackMouseEvent(&track);
}

void IGraphicsWin::OnWheel(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  if (mEditWindow) {
    mEntry.Wheel();
    return;
  }
  // The position comes in screen coordinates.
  RECT r;
  GetWindowRect(hwnd, &r);
  const int notches = WheelNotches(GET_WHEEL_DELTA_WPARAM(wParam));
  IGraphics::OnWheel(PanelCoord(GET_X_LPARAM(lParam) - r.left), PanelCoord(GET_Y_LPARAM(lParam) - r.top),
                     ModifiersOf(GET_KEYSTATE_WPARAM(wParam)), notches);
  // A wheel gesture also ends when the pointer leaves; Windows says so only when asked.
  if (OpenGestureParam() >= 0) {
    TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, hwnd, HOVER_DEFAULT};
    TrackMouseEvent(&track);
  }
}

void IGraphicsWin::TakeMouseCapture() {
  if (mEditorWindow) SetCapture(mEditorWindow);
}

void IGraphicsWin::HideCursor() {
  if (mCursorHidden) return;
  POINT p;
  GetCursorPos(&p);
  mSavedCursorX = p.x;
  mSavedCursorY = p.y;
  ShowCursor(FALSE);
  mCursorHidden = true;
}

void IGraphicsWin::RestoreCursor() {
  if (!mCursorHidden) return;
  SetCursorPos(mSavedCursorX, mSavedCursorY);
  ShowCursor(TRUE);
  mCursorHidden = false;
}

// ---- Keys ----

bool IGraphicsWin::OnKeyDown(HWND hwnd, WPARAM wParam) {
  const int key = EditorKeyOfVirtualKey(static_cast<int>(wParam));
  if (key < 0) return false;
  POINT p;
  GetCursorPos(&p);
  ScreenToClient(hwnd, &p);
  return OnKey(PanelCoord(p.x), PanelCoord(p.y), key);
}

// ---- Tooltips ----

void IGraphicsWin::CreateTooltip() {
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_TAB_CLASSES};
  mTooltipWindow =
      InitCommonControlsEx(&controls)
          ? CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, mEditorWindow, nullptr, mModuleHandle, nullptr)
          : nullptr;
  bool ok = mTooltipWindow != nullptr;
  if (ok) {
    SetWindowPos(mTooltipWindow, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    TTTOOLINFOA tool = {};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = mEditorWindow;
    tool.uId = reinterpret_cast<UINT_PTR>(mEditorWindow);
    tool.lpszText = const_cast<char*>("");
    ok = SendMessageA(mTooltipWindow, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
  }
  if (!ok) {
    if (mTooltipWindow) DestroyWindow(mTooltipWindow);
    mTooltipWindow = nullptr;
    mTooltipsEnabled = false;
  }
}

void IGraphicsWin::ShowTooltip() {
  IControl* control = mTooltipWindow ? mControls.Get(mTooltipIndex) : nullptr;
  if (!control) return;
  TTTOOLINFOA tool = {};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND;
  tool.hwnd = mEditorWindow;
  tool.uId = reinterpret_cast<UINT_PTR>(mEditorWindow);
  tool.lpszText = const_cast<char*>(control->Tooltip().c_str());
  SendMessageA(mTooltipWindow, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageA(mTooltipWindow, TTM_POPUP, 0, 0);
  mTooltipShown = true;
}

void IGraphicsWin::HideTooltip() {
  if (!mTooltipShown) return;
  if (mTooltipWindow) SendMessageA(mTooltipWindow, TTM_POP, 0, 0);
  mTooltipShown = false;
}

// ---- Resources ----

LICE_IBitmap* IGraphicsWin::LoadResourceBitmap(int resourceId, const char* name) {
  return LoadPngResource(LICE_ModuleResources(mModuleHandle), resourceId, name);
}
