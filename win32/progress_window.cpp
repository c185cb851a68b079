#include "win32/progress_window.h"

#include "win32/fonts.h"
#include "win32/geometry.h"
#include "win32/modal_loop.h"
#include "win32/wide_text.h"

#include <commctrl.h>

#include <algorithm>

namespace pelvaro::win32 {
namespace {

// A bar that moves in steps of a tenth of a percent at most, and a window
// repainted about 30 times a second: the export itself stays the work.
constexpr int kBarRange = 1000;
constexpr DWORD kPumpEveryMs = 30;

void RegisterClassOnce() {
  static const bool registered = [] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;  // replaced per window below
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_WAIT);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kProgressClass;
    return RegisterClassExW(&windowClass) != 0;
  }();
  (void)registered;
}

}  // namespace

ProgressWindow::ProgressWindow(HWND owner, const commands::ProgressRequest& request, DWORD delayMs)
    : owner_(owner), cancellable_(request.cancellable), started_(GetTickCount()), delayMs_(delayMs) {
  RegisterClassOnce();
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  const SIZE size = WindowSizeFor(4800, 1500, style, WS_EX_DLGMODALFRAME);
  const POINT at = CentredOn(owner, size);
  wchar_t caption[256] = L"";
  if (owner) GetWindowTextW(owner, caption, 256);
  window_ = CreateWindowExW(WS_EX_DLGMODALFRAME, kProgressClass, caption, style, at.x, at.y, size.cx, size.cy, owner,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!window_) return;
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));
  HWND label = MakeChild(window_, L"STATIC", Widen(request.caption).c_str(), SS_LEFT | SS_NOPREFIX,
                         {120, 120, 4560, 255}, -1);
  bar_ = MakeChild(window_, PROGRESS_CLASSW, L"", 0, {120, 480, 4560, 255}, -1);
  SendMessageW(bar_, PBM_SETRANGE32, 0, kBarRange);
  const HFONT font = WindowFont(kMsPGothic, 9);
  SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (cancellable_) {
    HWND cancel = MakeChild(window_, L"BUTTON", L"キャンセル", BS_PUSHBUTTON | WS_TABSTOP, {3480, 960, 1200, 375},
                            kProgressCancelId);
    SendMessageW(cancel, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
}

ProgressWindow::~ProgressWindow() {
  // The others come back before this one goes, so the owner is activated again, not some other program.
  disabled_.reset();
  if (window_) DestroyWindow(window_);
}

void ProgressWindow::Show() {
  disabled_ = std::make_unique<OtherWindowsDisabled>(window_);
  ShowWindow(window_, SW_SHOWNORMAL);
  UpdateWindow(window_);
}

bool ProgressWindow::Step(std::size_t done, std::size_t total) {
  if (!window_) return true;
  const DWORD now = GetTickCount();
  if (!IsWindowVisible(window_) && now - started_ >= delayMs_ && done < total) Show();
  if (lastPump_ != 0 && now - lastPump_ < kPumpEveryMs && done < total) return !cancelled_;
  lastPump_ = now == 0 ? 1 : now;
  const std::size_t shownTotal = std::max<std::size_t>(total, 1);
  SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(std::min(done, shownTotal) * kBarRange / shownTotal), 0);
  // Cancel is read from the window's messages; a quit asked meanwhile stops the work too.
  if (!PumpWaiting(window_)) cancelled_ = true;
  return !cancelled_;
}

LRESULT CALLBACK ProgressWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<ProgressWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == kProgressCancelId && self && self->cancellable_) self->cancelled_ = true;
      return 0;
    case WM_CLOSE: return 0;  // the work decides when the window goes
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace pelvaro::win32
