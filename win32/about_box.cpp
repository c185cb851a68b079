#include "win32/about_box.h"

#include "win32/fonts.h"
#include "win32/geometry.h"
#include "win32/modal_loop.h"
#include "win32/program_icon.h"
#include "win32/wide_text.h"

namespace pelvaro::win32 {
namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;

struct AboutState {
  bool closed = false;
};

LRESULT CALLBACK AboutProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<AboutState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case DM_GETDEFID: return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        if (state) state->closed = true;
      }
      return 0;
    case WM_CLOSE:
      if (state) state->closed = true;
      return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

void RegisterClassOnce() {
  static const bool registered = [] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = AboutProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    // The icon's picture box takes the window's colour, so the icon sits on it.
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.hIcon = ProgramIcon(32);
    windowClass.hIconSm = ProgramIcon(16);
    windowClass.lpszClassName = kAboutClass;
    return RegisterClassExW(&windowClass) != 0;
  }();
  (void)registered;
}

HWND Label(HWND parent, const std::string& text, TwipsRect where, int id, HFONT font) {
  HWND label = MakeChild(parent, L"STATIC", Widen(text).c_str(), SS_LEFT | SS_NOPREFIX, where, id);
  SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return label;
}

}  // namespace

void ShowAboutBox(HWND over, const commands::AboutTexts& texts) {
  RegisterClassOnce();
  const SIZE size = WindowSizeFor(5910, 1215, kStyle, kExStyle);
  const POINT at = CentredOn(over, size);
  AboutState state;
  HWND window = CreateWindowExW(kExStyle, kAboutClass, Widen(texts.caption).c_str(), kStyle, at.x, at.y, size.cx,
                                size.cy, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!window) return;
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
  const HFONT arial = WindowFont(kArial, 9);
  HWND icon = MakeChild(window, L"STATIC", L"", SS_ICON | SS_CENTERIMAGE, {120, 120, 720, 720}, kPctIconId);
  SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(ProgramIcon(48)), 0);
  Label(window, texts.productName, {960, 240, 3255, 240}, kLblAppNameId, arial);
  Label(window, texts.version, {4320, 240, 1335, 240}, kLblVerId, arial);
  Label(window, texts.notice, {960, 600, 2895, 240}, kLabel2Id, WindowFont(kMsPGothic, 9));
  HWND ok = MakeChild(window, L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, {4560, 720, 1095, 375}, IDOK);
  SendMessageW(ok, WM_SETFONT, reinterpret_cast<WPARAM>(arial), FALSE);
  {
    const OtherWindowsDisabled others(window);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(ok);
    RunModal(window, state.closed);
  }
  DestroyWindow(window);
}

}  // namespace pelvaro::win32
