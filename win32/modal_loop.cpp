#include "win32/modal_loop.h"

namespace pelvaro::win32 {
namespace {

struct Collect {
  HWND except;
  std::vector<HWND>* windows;
};

BOOL CALLBACK CollectEnabled(HWND window, LPARAM context) {
  auto* collect = reinterpret_cast<Collect*>(context);
  if (window != collect->except && IsWindowEnabled(window)) collect->windows->push_back(window);
  return TRUE;
}

void Handle(HWND dialog, MSG& message) {
  if (dialog && IsDialogMessageW(dialog, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

}  // namespace

OtherWindowsDisabled::OtherWindowsDisabled(HWND except) {
  Collect collect{except, &disabled_};
  EnumThreadWindows(GetCurrentThreadId(), CollectEnabled, reinterpret_cast<LPARAM>(&collect));
  for (HWND window : disabled_) EnableWindow(window, FALSE);
}

OtherWindowsDisabled::~OtherWindowsDisabled() {
  for (HWND window : disabled_)
    if (IsWindow(window)) EnableWindow(window, TRUE);
}

void RunModal(HWND dialog, const bool& done) {
  MSG message;
  while (!done) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (got < 0) return;
    Handle(dialog, message);
  }
}

bool PumpWaiting(HWND dialog) {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    Handle(dialog, message);
  }
  return true;
}

}  // namespace pelvaro::win32
