#include "win32/geometry.h"

namespace pelvaro::win32 {

int ScreenDpi() {
  static const int dpi = [] {
    HDC screen = GetDC(nullptr);
    const int value = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return value > 0 ? value : 96;
  }();
  return dpi;
}

HWND MakeChild(HWND parent, const wchar_t* windowClass, const wchar_t* text, DWORD style, TwipsRect where, int id,
               DWORD exStyle) {
  return CreateWindowExW(exStyle, windowClass, text, WS_CHILD | WS_VISIBLE | style, Px(where.left), Px(where.top),
                         Px(where.width), Px(where.height), parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

HWND MakeChildToPlace(HWND parent, const wchar_t* windowClass, const wchar_t* text, DWORD style, int id, HFONT font,
                      DWORD exStyle) {
  HWND control = MakeChild(parent, windowClass, text, style, TwipsRect{0, 0, 0, 0}, id, exStyle);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

SIZE WindowSizeFor(int clientTwipsWidth, int clientTwipsHeight, DWORD style, DWORD exStyle) {
  RECT frame{0, 0, Px(clientTwipsWidth), Px(clientTwipsHeight)};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

POINT CentredOn(HWND over, SIZE size) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  HMONITOR where = over ? MonitorFromWindow(over, MONITOR_DEFAULTTONEAREST) : MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
  if (!GetMonitorInfoW(where, &monitor)) return POINT{CW_USEDEFAULT, CW_USEDEFAULT};
  const RECT& area = monitor.rcWork;
  return POINT{area.left + (area.right - area.left - size.cx) / 2, area.top + (area.bottom - area.top - size.cy) / 2};
}

}  // namespace pelvaro::win32
