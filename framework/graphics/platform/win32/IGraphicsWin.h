#pragma once
// The editor's window on Windows ("HWND"): a child window of the host's editor frame, driven by
// the message loop of the host's UI thread. Window messages become the core's mouse, key and
// paint calls; a 1000 / frame-rate ms timer runs the refresh tick, which invalidates the union of
// the dirty controls and paints it at once (BitBlt from the DIB back buffer). Keys the editor
// does not use go on to the host's top-level window. The parameter prompt uses an EDIT box (its
// session, what ends it and what its text becomes, is the core's TextEntrySession) and a native
// popup menu; message boxes, file and colour dialogs, folders, clipboard and web pages use the
// system's own.
//
// All windows of the module share one window class, registered while any editor window is open.

#include "framework/graphics/IGraphics.h"
#include "framework/graphics/TextEntrySession.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class IGraphicsWin : public IGraphics {
public:
  static constexpr const char* kWindowClassName = "IPlugWndClass";
  static constexpr UINT_PTR kTimerId = 2;
  static constexpr int kEditBoxId = 99;
  // What Windows sends the children of a per-monitor (v2) aware window after its DPI changed.
  static constexpr UINT kDpiChangedAfterParent = 0x02E3;

  // The text entry's state as TextEntryState() reports it: no entry or one being edited, one that
  // has just taken the focus or been repainted around (the next tick settles it), decided.
  enum EditState { EditIdle = 0, EditActive = 1, EditRefresh = 2, EditCancel = 3, EditCommit = 4 };

  IGraphicsWin(IPlugBase* plugin, int width, int height, int frameRate);
  ~IGraphicsWin() override;

  // ---- Window life ----
  bool SupportsWindowType(const char* type) const override;
  // parent is the host's HWND. Opening while open re-creates the window at the old one's position
  // and size. Null on failure, with the class registration consistent with the open windows.
  void* OpenEditorWindow(void* parent) override;
  // Also closes an open text entry, an open popup menu and the tooltip.
  void CloseEditorWindow() override;
  void* NativeWindow() const override { return mEditorWindow; }
  bool IsWindowOpen() const override { return mEditorWindow != nullptr; }
  void ResizeSurface(int width, int height) override;
  // The window follows: DeviceWidth() x DeviceHeight(), repainted.
  void SetDrawScale(double scale) override;
  const char* GraphicsApiName() const override { return "Windows GDI"; }
  void PresentRect(const IRect& rect) override;

  // ---- Parameter prompt ----
  IMenu* ShowPopupMenu(IMenu& menu, const IRect& rect) override;
  void ShowTextEntry(IControl* control, const ITextStyle& style, const IRect& rect, const char* text,
                     IParam* param) override;
  void CancelTextEntry() override;

  // ---- System services ----
  int ShowMessage(const char* text, const char* caption, int type) override;
  void HostFolder(std::string& path) override;
  void PluginFolder(std::string& path) override;
  void DesktopFolder(std::string& path) override;
  void AppDataFolder(std::string& path, bool allUsers) override;
  void UserAppDataFolder(std::string& path) override { AppDataFolder(path, false); }
  void ChooseFile(std::string& file, int action, std::string& folder, const char* extensions) override;
  bool ChooseColour(IArgb& colour, const char* prompt) override;
  bool OpenWebPage(const char* url, const char* title, const char* confirmText, const char* errorText) override;
  bool ClipboardText(std::string& text) override;
  void HideCursor() override;
  void RestoreCursor() override;
  // A "PNG" resource of this module by id (names must end in ".png").
  LICE_IBitmap* LoadResourceBitmap(int resourceId, const char* name) override;

  // ---- For tests and diagnostics ----
  HWND TextEntryWindow() const { return mEditWindow; }
  int TextEntryState() const;
  // How many editor windows of this module are open (the class is registered while it is > 0).
  static int OpenWindowCount();

protected:
  void TakeMouseCapture() override;
  // Invalidates the region and paints it at once; without a window the core's default.
  void RepaintRegion(const IRect& region) override;

private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HandleEditMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void OnTimerTick();
  void OnPaint(HWND hwnd);
  void OnButtonDown(HWND hwnd, WPARAM wParam, LPARAM lParam);
  void OnMouseMove(HWND hwnd, WPARAM wParam, LPARAM lParam);
  void OnWheel(HWND hwnd, WPARAM wParam, LPARAM lParam);
  // True when the editor used the key.
  bool OnKeyDown(HWND hwnd, WPARAM wParam);
  void FinishTextEntry();
  void CloseTextEntry();
  void CreateTooltip();
  void HideTooltip();
  void ShowTooltip();
  void FindMainWindow();
  void FitWindowToDevice();
  void FollowParentDpi();
  // Mouse messages' client positions (device pixels) as panel coordinates.
  int PanelX(LPARAM lParam) const { return PanelCoord(static_cast<short>(LOWORD(lParam))); }
  int PanelY(LPARAM lParam) const { return PanelCoord(static_cast<short>(HIWORD(lParam))); }

  HINSTANCE mModuleHandle;
  HWND mEditorWindow = nullptr;
  HWND mEditWindow = nullptr;
  HWND mTooltipWindow = nullptr;
  TextEntrySession mEntry;
  WNDPROC mEditOldProc = nullptr;
  HFONT mEditFont = nullptr;
  bool mTooltipShown = false;
  int mTooltipIndex = -1;
  std::unique_ptr<COLORREF[]> mCustomColours;
  DWORD mProcessId = 0;
  HWND mParentWindow = nullptr;
  HWND mMainWindow = nullptr;
  std::string mMainWindowClass;
  // Set between WM_PAINT's BeginPaint and EndPaint: PresentRect draws into it.
  HDC mPaintDc = nullptr;
  // The window counted among the open ones; stays set when the host destroyed the window first,
  // until CloseEditorWindow settles the count.
  bool mWindowCounted = false;
  // A popup menu is being tracked (closing the window ends it).
  bool mMenuOpen = false;
};
