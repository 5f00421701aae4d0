// The system's own services for the Windows editor: message boxes owned by the host's main
// window, file and colour dialogs, folders, the clipboard and web pages.

#include "base/platform/win32/WideText.h"
#include "framework/graphics/platform/win32/FileDialogFilter.h"
#include "framework/graphics/platform/win32/IGraphicsWin.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <wininet.h>

#include <cstring>

namespace {
// The folder part of a module's path, with its trailing backslash; empty when the path has no
// backslash or ends in one.
std::string FolderOfModule(HMODULE module) {
  char path[256] = {};
  const DWORD n = GetModuleFileNameA(module, path, sizeof(path));
  if (n == 0 || n >= sizeof(path)) return std::string();
  const char* slash = std::strrchr(path, '\\');
  if (!slash || slash[1] == '\0') return std::string();
  return std::string(path, static_cast<size_t>(slash - path + 1));
}

std::string ShellFolder(int csidl) {
  char path[MAX_PATH] = {};
  return SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) ? std::string(path)
                                                                                        : std::string();
}

struct MainWindowSearch {
  DWORD processId;
  const char* className;
  HWND found;
};

BOOL CALLBACK FindWindowOfProcess(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<MainWindowSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  char name[128] = {};
  if (pid == search->processId && GetClassNameA(hwnd, name, sizeof(name)) &&
      std::strcmp(name, search->className) == 0) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

UINT_PTR CALLBACK ColourDialogHook(HWND dialog, UINT msg, WPARAM, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    const auto* cc = reinterpret_cast<const CHOOSECOLORA*>(lParam);
    if (cc && cc->lCustData) SetWindowTextA(dialog, reinterpret_cast<const char*>(cc->lCustData));
  }
  return 0;
}
}  // namespace

void IGraphicsWin::FindMainWindow() {
  if (mMainWindow) return;
  if (mParentWindow) {
    HWND top = mParentWindow;
    while (HWND up = GetParent(top)) top = up;
    mMainWindow = top;
    char name[128] = {};
    GetClassNameA(top, name, sizeof(name));
    mMainWindowClass = name;
  } else if (!mMainWindowClass.empty()) {
    if (!mProcessId) mProcessId = GetCurrentProcessId();
    MainWindowSearch search = {mProcessId, mMainWindowClass.c_str(), nullptr};
    EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    mMainWindow = search.found;
  }
}

int IGraphicsWin::ShowMessage(const char* text, const char* caption, int type) {
  FindMainWindow();
  return MessageBoxA(mMainWindow, text, caption, static_cast<UINT>(type));
}

void IGraphicsWin::HostFolder(std::string& path) { path = FolderOfModule(nullptr); }

void IGraphicsWin::PluginFolder(std::string& path) { path = FolderOfModule(mModuleHandle); }

void IGraphicsWin::DesktopFolder(std::string& path) { path = ShellFolder(CSIDL_DESKTOP); }

void IGraphicsWin::AppDataFolder(std::string& path, bool allUsers) {
  path = ShellFolder(allUsers ? CSIDL_COMMON_APPDATA : CSIDL_LOCAL_APPDATA);
}

void IGraphicsWin::ChooseFile(std::string& file, int action, std::string& folder, const char* extensions) {
  if (!mEditorWindow) {
    file.clear();
    return;
  }
  char fileName[256] = {};
  char filter[256];
  char defaultExt[16];
  // An extension list too long for the dialog's buffers fails instead of being cut.
  if (file.size() >= sizeof(fileName) ||
      !BuildFileDialogFilter(extensions, filter, sizeof(filter), defaultExt, sizeof(defaultExt))) {
    file.clear();
    return;
  }
  std::memcpy(fileName, file.c_str(), file.size() + 1);
  if (folder.empty()) DesktopFolder(folder);

  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = mEditorWindow;
  ofn.lpstrFilter = filter;
  ofn.lpstrFile = fileName;
  ofn.nMaxFile = sizeof(fileName) - 1;
  ofn.lpstrInitialDir = folder.c_str();
  ofn.lpstrDefExt = defaultExt;
  BOOL ok;
  if (action == FileSave) {
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_NOREADONLYRETURN;
    ok = GetSaveFileNameA(&ofn);
  } else {
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    ok = GetOpenFileNameA(&ofn);
  }
  if (!ok) {
    file.clear();
    return;
  }
  file = fileName;
  folder = file.substr(0, ofn.nFileOffset);
}

bool IGraphicsWin::ChooseColour(IArgb& colour, const char* prompt) {
  if (!mEditorWindow) return false;
  if (!mCustomColours) mCustomColours.reset(new COLORREF[16]());
  CHOOSECOLORA cc = {};
  cc.lStructSize = sizeof(cc);
  cc.hwndOwner = mEditorWindow;
  cc.rgbResult = RGB(colour.R, colour.G, colour.B);
  cc.lpCustColors = mCustomColours.get();
  cc.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR | CC_SOLIDCOLOR | CC_ENABLEHOOK;
  cc.lpfnHook = ColourDialogHook;
  cc.lCustData = reinterpret_cast<LPARAM>(prompt);
  if (!ChooseColorA(&cc)) return false;
  colour.R = GetRValue(cc.rgbResult);
  colour.G = GetGValue(cc.rgbResult);
  colour.B = GetBValue(cc.rgbResult);
  return true;
}

bool IGraphicsWin::OpenWebPage(const char* url, const char* title, const char* confirmText, const char* errorText) {
  if (confirmText && ShowMessage(confirmText, title, MB_YESNO) != IDYES) return false;
  DWORD state = 0;
  if (InternetGetConnectedState(&state, 0)) {
    const auto result =
        reinterpret_cast<INT_PTR>(ShellExecuteA(mEditorWindow, "open", url, nullptr, nullptr, SW_SHOWNORMAL));
    if (result > 32) return true;
  }
  if (errorText) ShowMessage(errorText, title, MB_OK);
  return false;
}

bool IGraphicsWin::ClipboardText(std::string& text) {
  text.clear();
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(mEditorWindow)) return false;
  bool ok = false;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = velmora_base::Utf8FromWide(wide);
      ok = true;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return ok;
}
