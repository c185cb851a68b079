#include "win32/main_window.h"

#include "commands/viewer_state.h"
#include "pelvaro_version.h"
#include "win32/fonts.h"
#include "win32/geometry.h"
#include "win32/program_icon.h"
#include "win32/sprite_viewer.h"
#include "win32/folder_chooser.h"
#include "win32/wide_text.h"

#include <shellapi.h>

#include <algorithm>
#include <utility>

namespace pelvaro::win32 {
namespace {

// The fixed single border: a caption with the system menu and the close box,
// and neither minimise nor maximise box nor a sizing frame.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr UINT kOpenWaiting = WM_APP + 1;
constexpr double kControlPoints = 8.25;

void RegisterClassOnce() {
  static const bool registered = [] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.hIcon = ProgramIcon(32);
    windowClass.hIconSm = ProgramIcon(GetSystemMetrics(SM_CXSMICON));
    windowClass.lpszClassName = kMainWindowClass;
    return RegisterClassExW(&windowClass) != 0;
  }();
  (void)registered;
}

HWND Make(HWND parent, const wchar_t* windowClass, const wchar_t* text, DWORD style, TwipsRect where, ControlId id,
          HFONT font) {
  HWND control = MakeChild(parent, windowClass, text, style, where, id);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

}  // namespace

MainWindow::MainWindow(Prompts& prompts, std::string programFolder, std::function<void()> onEnd)
    : prompts_(prompts), onEnd_(std::move(onEnd)), commands_(*this, std::move(programFolder)) {
  RegisterClassOnce();
  const SIZE size = WindowSizeFor(6375, 3135, kStyle, 0);
  window_ = CreateWindowExW(0, kMainWindowClass, Widen(kProductTitle).c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                            size.cx, size.cy, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!window_) return;
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));
  SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(WindowFont(kArial, 9)), FALSE);
  BuildControls();
  lastFocus_ = control(kCmdSffOpen);
  DragAcceptFiles(window_, TRUE);
}

MainWindow::~MainWindow() {
  closing_ = true;
  viewer_.reset();
  chooser_.reset();
  if (window_) DestroyWindow(window_);
}

void MainWindow::BuildControls() {
  // Made in tab order; the labels take no focus, so Tab goes Open SFF, the
  // list, Save All PCX, Make Text, ?, Exit.
  const HFONT arial = WindowFont(kArial, kControlPoints);
  const HFONT gothic = WindowFont(kMsPGothic, 9);
  constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
  constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;
  Make(window_, L"BUTTON", L"Open &SFF", kButton, {120, 120, 1335, 255}, kCmdSffOpen, arial);
  Make(window_, L"STATIC", L"", kLabel, {1560, 120, 2535, 255}, kLblSffName, gothic);
  BuildList();
  Make(window_, L"BUTTON", L"Save &All PCX", kButton, {120, 2760, 1455, 255}, kCmdPcx, arial);
  Make(window_, L"BUTTON", L"Make &Text", kButton, {1680, 2760, 1455, 255}, kCmdText, arial);
  Make(window_, L"BUTTON", L"&?", kButton, {6000, 120, 255, 255}, kCmdAbout, arial);
  Make(window_, L"BUTTON", L"E&xit", kButton, {5400, 2760, 855, 255}, kCmdEnd, arial);
  Make(window_, L"STATIC", L"", kLabel, {5160, 120, 735, 255}, kLblImage, gothic);
  HWND caption = Make(window_, L"STATIC", L"Image Count", kLabel, {4200, 120, 885, 210}, kLabel4, arial);
  // In a face wider than Arial the caption needs a few pixels more than its
  // room; it may take them from the gap before the count, never more.
  HDC dc = GetDC(caption);
  HGDIOBJ before = SelectObject(dc, arial);
  SIZE text{};
  GetTextExtentPoint32W(dc, L"Image Count", 11, &text);
  SelectObject(dc, before);
  ReleaseDC(caption, dc);
  const int room = Px(5160) - Px(4200);
  const int width = std::clamp(static_cast<int>(text.cx) + 1, Px(885), room);
  SetWindowPos(caption, nullptr, 0, 0, width, Px(210), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND MainWindow::viewerWindow() const { return viewer_ ? viewer_->hwnd() : nullptr; }

void MainWindow::OpenSoon(const std::wstring& path) {
  toOpen_.push_back(path);
  PostMessageW(window_, kOpenWaiting, 0, 0);
}

bool MainWindow::PreTranslate(MSG& message) {
  if (!window_) return false;
  // The viewer reads its keys itself; only this window's own are handled as a dialog's.
  if (message.hwnd != window_ && !IsChild(window_, message.hwnd)) return false;
  return IsDialogMessageW(window_, &message) != FALSE;
}

void MainWindow::Dropped(HDROP drop) {
  std::wstring path;
  if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) == 1) {
    path.resize(DragQueryFileW(drop, 0, nullptr, 0) + 1);
    path.resize(DragQueryFileW(drop, 0, path.data(), static_cast<UINT>(path.size())));
  }
  DragFinish(drop);
  const bool archive = path.size() > 4 && CompareStringOrdinal(path.c_str() + path.size() - 4, 4, L".sff", 4, TRUE) ==
                                              CSTR_EQUAL;
  const DWORD attributes = archive ? GetFileAttributesW(path.c_str()) : INVALID_FILE_ATTRIBUTES;
  // Whether it can be read is the load's to say, as Open SFF would; a folder or another kind of file is not taken.
  if (!archive || (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))) return;
  OpenSoon(path);
}

LRESULT CALLBACK MainWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  return self ? self->Handle(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = window_;
  switch (message) {
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kCmdSffOpen: commands_.cmdSffOpen_Click(); return 0;
        case kCmdPcx: commands_.cmdPCX_Click(); return 0;
        case kCmdText: commands_.cmdText_Click(); return 0;
        case kCmdAbout: commands_.cmdAbout_Click(); return 0;
        case kCmdEnd: commands_.cmdEnd_Click(); return 0;
        case IDOK:
          // Enter: on the list it opens the viewer; the window has no default button.
          if (GetFocus() == lstFiles_) commands_.OpenViewer(CurrentRow());
          return 0;
        default: break;
      }
      break;
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
      if (header.hwndFrom == lstFiles_ || GetParent(header.hwndFrom) == lstFiles_) return ListNotify(header);
      break;
    }
    case WM_DROPFILES: Dropped(reinterpret_cast<HDROP>(wParam)); return 0;
    case kFollowWhenSettled:
      if (!CurrentRow()) commands_.FollowRow(std::nullopt);
      return 0;
    case kOpenWaiting:
      if (!toOpen_.empty()) {
        const std::wstring path = std::move(toOpen_.front());
        toOpen_.pop_front();
        commands_.OpenSff(Narrow(path));
      }
      return 0;
    case WM_SETCURSOR:
      if (busyDepth_ > 0) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_ACTIVATE:
      // A plain window forgets which control had the keyboard; it is given back on return.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(window_, focus)) lastFocus_ = focus;
      } else if (lastFocus_) {
        SetFocus(lastFocus_);
      }
      return 0;
    case WM_SETFOCUS:
      if (lastFocus_) SetFocus(lastFocus_);
      return 0;
    case WM_DESTROY:
      // The close box ends the program without the quit question, as Exit's Yes does.
      if (!closing_ && onEnd_) onEnd_();
      return 0;
    case WM_NCDESTROY:
      window_ = nullptr;
      lstFiles_ = nullptr;
      break;
    default: break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace pelvaro::win32
