#include "win32/sprite_viewer.h"

#include "export/messages.h"
#include "win32/back_buffer.h"
#include "win32/fonts.h"
#include "win32/geometry.h"
#include "win32/program_icon.h"
#include "win32/wide_text.h"
#include "win32/window_memory.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <array>
#include <cstdint>

namespace pelvaro::win32 {
namespace {

constexpr const wchar_t* kCanvasClass = L"PelvaroSpriteCanvas";
constexpr const wchar_t* kPaletteClass = L"PelvaroPaletteGrid";
// The main window's list shows nine rows; a page is what it shows.
constexpr std::ptrdiff_t kPageRows = 9;
constexpr std::ptrdiff_t kFar = PTRDIFF_MAX / 2;

int Scaled(int pixels) { return MulDiv(pixels, ScreenDpi(), 96); }

void Register(const wchar_t* name, WNDPROC procedure, HBRUSH background, UINT style) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = style;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = name;
  if (name == kViewerClass) {
    windowClass.hIcon = ProgramIcon(32);
    windowClass.hIconSm = ProgramIcon(GetSystemMetrics(SM_CXSMICON));
  }
  RegisterClassExW(&windowClass);
}

struct Tool {
  ViewerControlId id;
  const wchar_t* caption;
  DWORD style;
  int width;  // at 96 DPI
};

// The zoom's row, then the toggles' and the actions' row, right of the browser.
constexpr Tool kLeftTools[] = {
    {kCmdZoomOut, L"－", BS_PUSHBUTTON, 28},
    {kCmdZoomIn, L"＋", BS_PUSHBUTTON, 28},
    {kCmdActualSize, L"1:1", BS_PUSHBUTTON, 36},
    {kCmdFitWindow, L"ウィンドウに合わせる", BS_AUTOCHECKBOX | BS_PUSHLIKE, 136},
};
constexpr Tool kToggles[] = {
    {kChkTransparent, L"0 番を透明色に(&T)", BS_AUTOCHECKBOX, 136},
    {kChkAxis, L"軸を表示(&A)", BS_AUTOCHECKBOX, 100},
};
constexpr Tool kRightTools[] = {
    {kCmdCopy, L"コピー(&C)", BS_PUSHBUTTON, 76},
    {kCmdSavePng, L"PNG として保存(&S)…", BS_PUSHBUTTON, 132},
};

void SetText(HWND control, const std::string& text) {
  const std::wstring wide = Widen(text);
  wchar_t shown[1024] = L"";
  GetWindowTextW(control, shown, 1024);
  if (wide != shown) SetWindowTextW(control, wide.c_str());
}

}  // namespace

SpriteViewer::SpriteViewer(HWND owner, commands::MainCommands& commands) : owner_(owner), commands_(commands) {
  static const bool registered = [] {
    Register(kViewerClass, DefWindowProcW, GetSysColorBrush(COLOR_BTNFACE), 0);
    Register(kCanvasClass, DefWindowProcW, nullptr, 0);
    Register(kPaletteClass, DefWindowProcW, nullptr, 0);
    return true;
  }();
  (void)registered;
  cell_ = Scaled(12);
  window_ = CreateWindowExW(0, kViewerClass, L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                            Scaled(1040), Scaled(640), owner, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!window_) return;
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));
  BuildControls();
  Layout();
}

SpriteViewer::~SpriteViewer() {
  Remember();
  if (window_) DestroyWindow(window_);
}

void SpriteViewer::BuildControls() {
  const HFONT font = WindowFont(kMsPGothic, 9);
  const auto make = [&](const wchar_t* windowClass, const wchar_t* text, DWORD style, int id, DWORD exStyle = 0) {
    return MakeChildToPlace(window_, windowClass, text, style, id, font, exStyle);
  };
  for (const Tool& tool : kLeftTools) make(L"BUTTON", tool.caption, tool.style, tool.id);
  make(L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, kLblZoom);
  for (const Tool& tool : kToggles) make(L"BUTTON", tool.caption, tool.style, tool.id);
  for (const Tool& tool : kRightTools) make(L"BUTTON", tool.caption, tool.style, tool.id);
  canvas_ = make(kCanvasClass, L"", WS_HSCROLL | WS_VSCROLL, kPicSprite, WS_EX_CLIENTEDGE);
  make(L"STATIC", L"", SS_CENTER | SS_NOPREFIX, kLblMessage, WS_EX_CLIENTEDGE);
  palette_ = make(kPaletteClass, L"", 0, kPicPalette);
  make(L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, kLblHover);
  make(L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, kLblStatus);
  for (HWND child : {canvas_, palette_}) {
    SetWindowLongPtrW(child, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(child, GWLP_WNDPROC,
                      reinterpret_cast<LONG_PTR>(child == canvas_ ? &CanvasProcedure : &PaletteProcedure));
  }
  for (std::size_t i = 0; i < controls_.size(); ++i)
    controls_[i] = GetDlgItem(window_, kCmdZoomOut + static_cast<int>(i));
  ShowWindow(control(kLblMessage), SW_HIDE);
  browser_ = std::make_unique<BrowserPanel>(window_, commands_);
  // The window's own keys reach it from the browser's fields and lists too.
  // Each control's procedure is swapped for one that sees them first: with
  // comctl32's SetWindowSubclass, every message to the control would look its
  // data up in a window property, under Wine a round trip to its server,
  // twice a message and dozens of messages a step through the rows.
  for (const int id : {kTxtFilter, kTxtGoTo, kLstGroups, kLstItems, kPicThumbs}) {
    HWND child = GetDlgItem(window_, id);
    const auto before = SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ChildKeysProcedure));
    childProcedures_.emplace_back(child, reinterpret_cast<WNDPROC>(before));
  }
}

void SpriteViewer::Layout() {
  RECT client;
  GetClientRect(window_, &client);
  const int gap = Scaled(6);
  const int toolHeight = Scaled(26);
  const int lineHeight = Scaled(18);
  const int statusTop = client.bottom - gap - lineHeight;
  // The browser on the left, the sprite with the larger share on the right.
  const int browserWidth = std::max(Scaled(260), static_cast<int>(client.right - 3 * gap) * 2 / 5);
  if (browser_) browser_->Layout(RECT{gap, gap, gap + browserWidth, statusTop - gap});
  const int left = gap + browserWidth + gap;
  int x = left;
  for (const Tool& tool : kLeftTools) {
    MoveWindow(control(tool.id), x, gap, Scaled(tool.width), toolHeight, TRUE);
    x += Scaled(tool.width) + Scaled(2);
  }
  MoveWindow(control(kLblZoom), x + gap, gap, Scaled(70), toolHeight, TRUE);
  const int second = gap + toolHeight + Scaled(2);
  x = left;
  for (const Tool& tool : kToggles) {
    MoveWindow(control(tool.id), x, second, Scaled(tool.width), toolHeight, TRUE);
    x += Scaled(tool.width) + Scaled(2);
  }
  int right = client.right - gap;
  for (auto tool = std::rbegin(kRightTools); tool != std::rend(kRightTools); ++tool) {
    right -= Scaled(tool->width);
    MoveWindow(control(tool->id), right, second, Scaled(tool->width), toolHeight, TRUE);
    right -= Scaled(2);
  }
  const int top = second + toolHeight + gap;
  const int gridSide = kPaletteColumns * cell_ + 1;
  const int hoverTop = statusTop - lineHeight;
  const int pictureWidth = std::max(0, static_cast<int>(client.right) - left - 2 * gap - gridSide);
  const int pictureHeight = std::max(0, hoverTop - gap - top);
  MoveWindow(canvas_, left, top, pictureWidth, pictureHeight, TRUE);
  MoveWindow(control(kLblMessage), left, top, pictureWidth, pictureHeight, TRUE);
  MoveWindow(palette_, left + pictureWidth + gap, top, gridSide, gridSide, TRUE);
  MoveWindow(control(kLblHover), left, hoverTop, std::max(0, static_cast<int>(client.right) - left - gap), lineHeight,
             TRUE);
  MoveWindow(control(kLblStatus), gap, statusTop, std::max(0, static_cast<int>(client.right) - 2 * gap), lineHeight,
             TRUE);
  // The room is what the picture has without scroll bars: a fitted zoom never needs them.
  const SIZE room = Room();
  Update([room](commands::ViewerState& v) { v.SetRoom(room.cx, room.cy); });
}

SIZE SpriteViewer::Room() const {
  RECT frame;
  GetWindowRect(canvas_, &frame);
  const int edge = 2 * GetSystemMetrics(SM_CXEDGE);
  return SIZE{std::max(0L, frame.right - frame.left - edge), std::max(0L, frame.bottom - frame.top - edge)};
}

template <class Edit>
void SpriteViewer::Update(Edit edit) {
  edit(commands_.viewer());
  Draw(commands_.viewer());
}

void SpriteViewer::Draw(const commands::ViewerState& viewer) {
  if (!window_) return;
  const image::IndexedImage* sprite = viewer.picture();
  const commands::ViewedSprite* shown = viewer.shown();
  const bool fresh = drawn_ != viewer.showing();
  if (fresh) {
    drawn_ = viewer.showing();
    SetWindowTextW(window_, Widen(viewer.Title()).c_str());
    // Sprites of the shared palette show the same colours one after the other.
    if (auto colours = sprite ? std::optional(sprite->palette) : std::nullopt; colours != colours_) {
      colours_ = std::move(colours);
      InvalidateRect(palette_, nullptr, FALSE);
    }
    picture_.SetSprite(sprite, shown ? POINT{shown->axisX, shown->axisY} : POINT{0, 0});
    scroll_ = POINT{0, 0};
    EnableWindow(control(kCmdCopy), sprite != nullptr);
    EnableWindow(control(kCmdSavePng), sprite != nullptr);
    if (!sprite) SetWindowTextW(control(kLblMessage), Widen(exporter::JoinLines(viewer.Message(), "\r\n")).c_str());
    ShowWindow(control(kLblMessage), sprite ? SW_HIDE : SW_SHOW);
    ShowWindow(canvas_, sprite ? SW_SHOW : SW_HIDE);
  }
  if (browser_) browser_->Draw(viewer);
  const std::string& note = viewer.note();
  SetText(control(kLblStatus), note.empty() ? viewer.Status() : viewer.Status() + "　" + note);
  SetText(control(kLblHover), viewer.hoverText());
  SetText(control(kLblZoom), viewer.ZoomText());
  if (marked_ != viewer.markedColour()) {
    marked_ = viewer.markedColour();
    InvalidateRect(palette_, nullptr, FALSE);
  }
  const bool repaint = picture_.zoom != viewer.zoom() || picture_.transparencyShown != viewer.transparencyShown ||
                       picture_.axisShown != viewer.axisShown;
  picture_.zoom = viewer.zoom();
  picture_.transparencyShown = viewer.transparencyShown;
  picture_.axisShown = viewer.axisShown;
  Button_SetCheck(control(kChkTransparent), viewer.transparencyShown ? BST_CHECKED : BST_UNCHECKED);
  Button_SetCheck(control(kChkAxis), viewer.axisShown ? BST_CHECKED : BST_UNCHECKED);
  Button_SetCheck(control(kCmdFitWindow), viewer.fitting() ? BST_CHECKED : BST_UNCHECKED);
  if (fresh || repaint) {
    UpdateScrollBars();
    InvalidateRect(canvas_, nullptr, FALSE);
  }
}

void SpriteViewer::UpdateScrollBars() {
  const SIZE content = picture_.ContentSize();
  const SIZE room = Room();
  const auto set = [&](int bar, LONG total, LONG page, LONG& position) {
    position = std::clamp<LONG>(position, 0, std::max<LONG>(0, total - page));
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = total > page ? total - 1 : 0;
    info.nPage = total > page ? static_cast<UINT>(page) : 0;
    info.nPos = position;
    SetScrollInfo(canvas_, bar, &info, TRUE);
  };
  set(SB_HORZ, content.cx, room.cx, scroll_.x);
  set(SB_VERT, content.cy, room.cy, scroll_.y);
}

void SpriteViewer::Scroll(int bar, WORD request) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  GetScrollInfo(canvas_, bar, &info);
  LONG& position = bar == SB_HORZ ? scroll_.x : scroll_.y;
  const LONG step = Scaled(16);
  switch (request) {
    case SB_LINEUP: position -= step; break;
    case SB_LINEDOWN: position += step; break;
    case SB_PAGEUP: position -= static_cast<LONG>(info.nPage); break;
    case SB_PAGEDOWN: position += static_cast<LONG>(info.nPage); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: position = info.nTrackPos; break;
    case SB_TOP: position = 0; break;
    case SB_BOTTOM: position = info.nMax; break;
    default: return;
  }
  UpdateScrollBars();
  InvalidateRect(canvas_, nullptr, FALSE);
}

void SpriteViewer::Show() {
  if (!window_) return;
  if (!placed_) {
    placed_ = true;
    RestoreOrPlaceBeside(window_, owner_, kViewerPlaceName);
  }
  // Raised and given the keys only as it comes up: while it follows the list, the list keeps them.
  if (IsWindowVisible(window_)) return;
  shown_ = true;
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
  SetFocus(window_);
}

void SpriteViewer::Hide() {
  if (!window_ || !IsWindowVisible(window_)) return;
  Remember();
  ShowWindow(window_, SW_HIDE);
}

void SpriteViewer::Remember() {
  // Also when the main window goes first and takes this one with it, hidden by then.
  if (!window_ || !shown_) return;
  shown_ = false;
  RememberPlace(window_, kViewerPlaceName);
}

void SpriteViewer::Copy() {
  const image::IndexedImage* sprite = commands_.viewer().picture();
  if (!sprite || !OpenClipboard(window_)) return;
  EmptyClipboard();
  if (HGLOBAL dib = ClipboardDib(*sprite); dib && !SetClipboardData(CF_DIB, dib)) GlobalFree(dib);
  CloseClipboard();
}

void SpriteViewer::Command(int id) {
  switch (id) {
    case kCmdZoomOut: Update([](commands::ViewerState& v) { v.ZoomOut(); }); break;
    case kCmdZoomIn: Update([](commands::ViewerState& v) { v.ZoomIn(); }); break;
    case kCmdActualSize: Update([](commands::ViewerState& v) { v.ZoomTo(1); }); break;
    case kCmdFitWindow: Update([](commands::ViewerState& v) { v.Fit(); }); break;
    case kChkTransparent: {
      const bool on = Button_GetCheck(control(kChkTransparent)) == BST_CHECKED;
      Update([on](commands::ViewerState& v) { v.transparencyShown = on; });
      break;
    }
    case kChkAxis: {
      const bool on = Button_GetCheck(control(kChkAxis)) == BST_CHECKED;
      Update([on](commands::ViewerState& v) { v.axisShown = on; });
      break;
    }
    case kCmdCopy: Copy(); break;
    case kCmdSavePng: commands_.cmdSavePng_Click(); break;
    default: return;
  }
  // The keys stay with the window, whatever was clicked.
  SetFocus(window_);
}

bool SpriteViewer::WindowKey(WPARAM key) {
  const bool control = GetKeyState(VK_CONTROL) < 0;
  switch (key) {
    case VK_ESCAPE: commands_.CloseViewer(); return true;
    case 'F':
      if (!control) return false;
      browser_->FocusFilter();
      return true;
    case 'G':
      if (!control) return false;
      browser_->FocusGoTo();
      return true;
    default: return false;
  }
}

void SpriteViewer::NextControl(HWND from, bool back) {
  static constexpr std::array<int, 5> kOrder{kTxtFilter, kLstGroups, kLstItems, kPicThumbs, kTxtGoTo};
  const int id = from ? GetDlgCtrlID(from) : 0;
  const auto at = std::find(kOrder.begin(), kOrder.end(), id);
  std::size_t next = back ? kOrder.size() - 1 : 0;
  if (at != kOrder.end()) {
    const auto i = static_cast<std::size_t>(at - kOrder.begin());
    next = back ? (i + kOrder.size() - 1) % kOrder.size() : (i + 1) % kOrder.size();
  }
  HWND to = GetDlgItem(window_, kOrder[next]);
  SetFocus(to);
  if (kOrder[next] == kTxtFilter || kOrder[next] == kTxtGoTo) SendMessageW(to, EM_SETSEL, 0, -1);
}

bool SpriteViewer::ChildKey(HWND child, WPARAM key) {
  if (WindowKey(key)) return true;
  const bool control = GetKeyState(VK_CONTROL) < 0;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const int id = GetDlgCtrlID(child);
  if (key == VK_TAB && !control) {
    NextControl(child, shift);
    return true;
  }
  if (id == kTxtGoTo && key == VK_RETURN) {
    browser_->GoTo();
    return true;
  }
  if (id == kLstItems) {
    if (control && key == 'A') {
      browser_->SelectAllItems();
      return true;
    }
    // Plain steps go through the filtered rows of every group, as in the
    // window; with Shift or Ctrl they extend the selection in the list.
    if (control || shift) return false;
    const std::ptrdiff_t page = browser_->PageRows();
    switch (key) {
      case VK_UP: commands_.StepRow(-1); return true;
      case VK_DOWN: commands_.StepRow(1); return true;
      case VK_PRIOR: commands_.StepRow(-page); return true;
      case VK_NEXT: commands_.StepRow(page); return true;
      case VK_HOME: commands_.StepRow(-kFar); return true;
      case VK_END: commands_.StepRow(kFar); return true;
      default: return false;
    }
  }
  if (id == kTxtFilter || id == kTxtGoTo) {
    // A field keeps Home and End for its text; the rows' steps pass it by.
    switch (key) {
      case VK_UP: commands_.StepRow(-1); return true;
      case VK_DOWN: commands_.StepRow(1); return true;
      case VK_PRIOR: commands_.StepRow(-kPageRows); return true;
      case VK_NEXT: commands_.StepRow(kPageRows); return true;
      default: return false;
    }
  }
  if (id == kPicThumbs) return Key(key);
  return false;
}

bool SpriteViewer::AccessKey(wchar_t c) {
  switch (c) {
    case L'c':
    case L'C': Copy(); return true;
    case L's':
    case L'S': commands_.cmdSavePng_Click(); return true;
    case L't':
    case L'T': Update([](commands::ViewerState& v) { v.transparencyShown = !v.transparencyShown; }); return true;
    case L'a':
    case L'A': Update([](commands::ViewerState& v) { v.axisShown = !v.axisShown; }); return true;
    case L'e':
    case L'E': browser_->ShowExportMenu(); return true;
    default: return false;
  }
}

LRESULT CALLBACK SpriteViewer::ChildKeysProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The controls are the viewer window's children, and it holds the viewer.
  auto* viewer = reinterpret_cast<SpriteViewer*>(GetWindowLongPtrW(GetParent(window), GWLP_USERDATA));
  WNDPROC before = nullptr;
  if (viewer) {
    for (const auto& [child, procedure] : viewer->childProcedures_)
      if (child == window) before = procedure;
  }
  if (!before) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_KEYDOWN:
      if (viewer->ChildKey(window, wParam)) return 0;
      break;
    case WM_CHAR:
      // The characters of the keys used above, which a field would only beep at.
      if (wParam == L'\r' || wParam == L'\t' || wParam == 0x1B || wParam == 0x06 || wParam == 0x07 ||
          (wParam == 0x01 && GetDlgCtrlID(window) == kLstItems))
        return 0;
      break;
    case WM_SYSCHAR:
      if (viewer->AccessKey(static_cast<wchar_t>(wParam))) return 0;
      break;
    case WM_GETDLGCODE:
      if (GetDlgCtrlID(window) == kTxtGoTo)
        return CallWindowProcW(before, window, message, wParam, lParam) | DLGC_WANTALLKEYS;
      break;
    case WM_NCDESTROY: {
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(before));
      auto& procedures = viewer->childProcedures_;
      std::erase_if(procedures, [&](const auto& entry) { return entry.first == window; });
      break;
    }
    default: break;
  }
  return CallWindowProcW(before, window, message, wParam, lParam);
}

bool SpriteViewer::Key(WPARAM key) {
  const bool control = GetKeyState(VK_CONTROL) < 0;
  if (WindowKey(key)) return true;
  switch (key) {
    case VK_TAB:
      if (control) return false;
      NextControl(nullptr, GetKeyState(VK_SHIFT) < 0);
      return true;
    case VK_UP: commands_.StepRow(-1); return true;
    case VK_DOWN: commands_.StepRow(1); return true;
    case VK_PRIOR: commands_.StepRow(-kPageRows); return true;
    case VK_NEXT: commands_.StepRow(kPageRows); return true;
    case VK_HOME: commands_.StepRow(-kFar); return true;
    case VK_END: commands_.StepRow(kFar); return true;
    case 'C':
      if (!control) return false;
      Copy();
      return true;
    case 'S':
      if (!control) return false;
      commands_.cmdSavePng_Click();
      return true;
    default: return false;
  }
}

bool SpriteViewer::Character(wchar_t c) {
  switch (c) {
    case L'+':
    case L'=': Update([](commands::ViewerState& v) { v.ZoomIn(); }); return true;
    case L'-': Update([](commands::ViewerState& v) { v.ZoomOut(); }); return true;
    case L'1': Update([](commands::ViewerState& v) { v.ZoomTo(1); }); return true;
    case L'0': Update([](commands::ViewerState& v) { v.Fit(); }); return true;
    default: return false;
  }
}

LRESULT CALLBACK SpriteViewer::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<SpriteViewer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  return self ? self->Handle(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT SpriteViewer::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = window_;
  switch (message) {
    case WM_SIZE: Layout(); return 0;
    case WM_COMMAND:
      if (browser_ && browser_->Command(wParam, lParam)) return 0;
      if (HIWORD(wParam) == BN_CLICKED) Command(LOWORD(wParam));
      return 0;
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (browser_ && browser_->Notify(*reinterpret_cast<const NMHDR*>(lParam), result)) return result;
      break;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      if (browser_) {
        if (HBRUSH brush = browser_->Colour(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)))
          return reinterpret_cast<LRESULT>(brush);
      }
      break;
    case WM_KEYDOWN:
      if (Key(wParam)) return 0;
      break;
    case WM_CHAR:
      if (Character(static_cast<wchar_t>(wParam))) return 0;
      break;
    case WM_SYSCHAR:
      // The buttons' access keys, as a dialog box would read them.
      if (AccessKey(static_cast<wchar_t>(wParam))) return 0;
      break;
    case WM_MOUSEWHEEL:
      if (GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) {
        const int turn = GET_WHEEL_DELTA_WPARAM(wParam);
        if (turn > 0) Update([](commands::ViewerState& v) { v.ZoomIn(); });
        if (turn < 0) Update([](commands::ViewerState& v) { v.ZoomOut(); });
        return 0;
      }
      break;
    case WM_CLOSE:
      // Closed by its close box: the viewer no longer follows the list.
      commands_.CloseViewer();
      return 0;
    case WM_DESTROY: Remember(); break;
    case WM_NCDESTROY: window_ = nullptr; break;
    default: break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK SpriteViewer::CanvasProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<SpriteViewer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  return self ? self->HandleCanvas(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT SpriteViewer::HandleCanvas(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(canvas_, &paint);
      RECT client;
      GetClientRect(canvas_, &client);
      const SIZE size{client.right, client.bottom};
      // Drawn off screen first, so a zoomed picture does not flicker.
      {
        const BackBuffer back(dc, size);
        picture_.Paint(back.dc(), size, scroll_);
        back.CopyTo(dc);
      }
      EndPaint(canvas_, &paint);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_SIZE:
      UpdateScrollBars();
      InvalidateRect(canvas_, nullptr, FALSE);
      return 0;
    case WM_HSCROLL: Scroll(SB_HORZ, LOWORD(wParam)); return 0;
    case WM_VSCROLL: Scroll(SB_VERT, LOWORD(wParam)); return 0;
    case WM_MOUSEMOVE: {
      if (!tracking_) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, canvas_, 0};
        tracking_ = TrackMouseEvent(&track) != FALSE;
      }
      RECT client;
      GetClientRect(canvas_, &client);
      const auto pixel = picture_.PixelAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)},
                                          SIZE{client.right, client.bottom}, scroll_);
      Update([pixel](commands::ViewerState& v) { v.HoverPixel(pixel); });
      return 0;
    }
    case WM_MOUSELEAVE:
      tracking_ = false;
      Update([](commands::ViewerState& v) { v.HoverPixel(std::nullopt); });
      return 0;
    case WM_LBUTTONDOWN: SetFocus(window_); return 0;
    default: return DefWindowProcW(canvas_, message, wParam, lParam);
  }
}

LRESULT CALLBACK SpriteViewer::PaletteProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<SpriteViewer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  return self ? self->HandlePalette(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT SpriteViewer::HandlePalette(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(palette_, &paint);
      PaintPalette(dc, cell_, colours_ ? &*colours_ : nullptr, marked_);
      EndPaint(palette_, &paint);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEMOVE: {
      TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, palette_, 0};
      TrackMouseEvent(&track);
      const auto cell = colours_ ? PaletteCellAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, cell_)
                                 : std::nullopt;
      Update([cell](commands::ViewerState& v) { v.HoverColour(cell); });
      return 0;
    }
    case WM_MOUSELEAVE: Update([](commands::ViewerState& v) { v.HoverColour(std::nullopt); }); return 0;
    default: return DefWindowProcW(palette_, message, wParam, lParam);
  }
}

}  // namespace pelvaro::win32
