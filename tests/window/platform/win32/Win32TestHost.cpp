#include "tests/window/platform/win32/Win32TestHost.h"

#include "bitmap/LICE_Png.h"
#include "tests/support/TempFolder.h"
#include "tools/vst3host/ViewScale.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace wintest {

namespace {
constexpr const char* kHostClass = "VelmoraWin32TestHost";

void SendMouse(DWORD flags, DWORD data = 0) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  input.mi.mouseData = data;
  SendInput(1, &input, sizeof(input));
}

std::wstring Wide(const std::string& text) {
  std::wstring out(text.size(), L'\0');
  const int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0],
                                    static_cast<int>(out.size()));
  out.resize(static_cast<size_t>(n > 0 ? n : 0));
  return out;
}
}  // namespace

// ---- HostWindow ----

HostWindow::HostWindow(int x, int y, int w, int h) {
  static const bool registered = [] {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    wc.lpszClassName = kHostClass;
    return RegisterClassA(&wc) != 0;
  }();
  EXPECT_TRUE(registered);
  mHwnd = CreateWindowExA(0, kHostClass, "Velmora Win32 Test Host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, x, y, w, h,
                          nullptr, nullptr, GetModuleHandleA(nullptr), this);
  EXPECT_NE(mHwnd, nullptr);
  SetForegroundWindow(mHwnd);
  UpdateWindow(mHwnd);
}

HostWindow::~HostWindow() { Destroy(); }

void HostWindow::Destroy() {
  if (mHwnd) DestroyWindow(mHwnd);
  mHwnd = nullptr;
}

LRESULT CALLBACK HostWindow::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self && (msg == WM_KEYDOWN || msg == WM_KEYUP)) {
    self->mKeys.push_back(HostKey{msg, wParam, GetFocus()});
    return 0;
  }
  if (self && msg == WM_NCDESTROY) self->mHwnd = nullptr;
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// ---- HostedEditor ----

HostedEditor::~HostedEditor() {
  // A view still attached closes its window when released; then the host's window goes.
  view = nullptr;
  window.reset();
}

HWND HostedEditor::EditorWindow() const {
  return window && window->Handle() ? GetWindow(window->Handle(), GW_CHILD) : nullptr;
}

tresult HostedEditor::Attach() { return view->attached(window->Handle(), kPlatformTypeHWND); }

std::vector<vst3host::HandlerCall> HostedEditor::CallsOf(vst3host::HandlerCall::Kind kind) const {
  std::vector<vst3host::HandlerCall> calls;
  for (const vst3host::HandlerCall& c : Calls())
    if (c.kind == kind) calls.push_back(c);
  return calls;
}

// ---- Win32TestHost ----

Win32TestHost::Win32TestHost() { mHostApp = new vst3host::HostApplication("Velmora Win32 Test Host"); }

Win32TestHost::~Win32TestHost() { mHostApp->release(); }

std::unique_ptr<HostedEditor> Win32TestHost::NewEditor(int x, int y, double scale) {
  auto editor = std::make_unique<HostedEditor>();
  editor->handler = owned(new vst3host::RecordingComponentHandler());
  editor->instance = editortest::NewVelmoraInstance(VELMORA_BUNDLE_DIR, mHostApp->Context(), editor->handler);
  if (!editor->instance) return nullptr;
  editor->view = owned(editor->instance->Controller()->createView(ViewType::kEditor));
  if (scale != 1.0) {
    EXPECT_TRUE(vst3host::OfferContentScale(editor->view, scale));
  }
  ViewRect size;
  editor->view->getSize(&size);
  editor->window = std::make_unique<HostWindow>(x, y, size.getWidth(), size.getHeight());
  POINT origin = {0, 0};
  ClientToScreen(editor->window->Handle(), &origin);
  editor->x = origin.x;
  editor->y = origin.y;
  editor->frame = owned(new vst3host::PlugFrame());
  editor->view->setFrame(editor->frame);
  RunFor(0);
  return editor;
}

bool Win32TestHost::RunUntil(const std::function<bool()>& done, int timeoutMs) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_TIMER && msg.hwnd) {
        char name[32] = {};
        GetClassNameA(msg.hwnd, name, sizeof(name));
        if (std::strcmp(name, "IPlugWndClass") == 0) ++mEditorTicks;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (done()) return true;
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(end - now, 10)), QS_ALLINPUT);
  }
}

void Win32TestHost::RunFor(int ms) {
  RunUntil([] { return false; }, ms);
}

void Win32TestHost::MoveTo(int screenX, int screenY) {
  // Absolute positions go in 1/65536ths of the screen; rounded up so that the system's scaling
  // back lands on the pixel itself.
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = static_cast<LONG>((static_cast<long long>(screenX) * 65536 + w - 1) / w);
  input.mi.dy = static_cast<LONG>((static_cast<long long>(screenY) * 65536 + h - 1) / h);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof(input));
}

void Win32TestHost::Press(int button) {
  SendMouse(button == 0 ? MOUSEEVENTF_LEFTDOWN : button == 1 ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_MIDDLEDOWN);
}

void Win32TestHost::Release(int button) {
  SendMouse(button == 0 ? MOUSEEVENTF_LEFTUP : button == 1 ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_MIDDLEUP);
}

void Win32TestHost::Wheel(int notches) { SendMouse(MOUSEEVENTF_WHEEL, static_cast<DWORD>(notches * WHEEL_DELTA)); }

void Win32TestHost::WheelSideways(int notches) {
  SendMouse(MOUSEEVENTF_HWHEEL, static_cast<DWORD>(notches * WHEEL_DELTA));
}

void Win32TestHost::Key(WORD virtualKey) {
  INPUT keys[2] = {};
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = virtualKey;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, keys, sizeof(INPUT));
}

bool Win32TestHost::Capture(HWND window, LICE_MemBitmap* out) {
  RECT r;
  if (!window || !GetClientRect(window, &r)) return false;
  const int w = r.right, h = r.bottom;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC windowDc = GetDC(window);
  HDC memory = CreateCompatibleDC(windowDc);
  HBITMAP dib = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = dib && bits;
  if (ok) {
    HGDIOBJ previous = SelectObject(memory, dib);
    ok = BitBlt(memory, 0, 0, w, h, windowDc, 0, 0, SRCCOPY) != FALSE;
    GdiFlush();
    SelectObject(memory, previous);
  }
  if (ok) {
    out->Resize(w, h);
    for (int y = 0; y < h; ++y) {
      LICE_pixel* row = LICE_RowAddress(*out, y);
      std::memcpy(row, static_cast<const uint8_t*>(bits) + static_cast<size_t>(y) * static_cast<size_t>(w) * 4,
                  static_cast<size_t>(w) * 4);
      for (int x = 0; x < w; ++x) row[x] |= 0xFF000000u;
    }
  }
  if (dib) DeleteObject(dib);
  DeleteDC(memory);
  ReleaseDC(window, windowDc);
  return ok;
}

bool Win32TestHost::Snapshot(const std::vector<std::string>& sets, LICE_MemBitmap* out) {
  TempFolder folder;
  const std::string path = folder.Path("snapshot.png");
  std::string exe = VELMORA_SNAPSHOT_EXE;
  for (char& c : exe)
    if (c == '/') c = '\\';
  std::string command = "\"" + exe + "\" \"" + path + "\"";
  for (const std::string& set : sets) command += " --set \"" + set + "\"";
  std::wstring line = Wide(command);
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                      &process)) {
    ADD_FAILURE() << "cannot start " << exe;
    return false;
  }
  DWORD status = 1;
  if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (status != 0) return false;
  return DecodePngFile(path.c_str(), true, out) != nullptr;
}

}  // namespace wintest
