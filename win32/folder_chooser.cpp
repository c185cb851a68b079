#include "win32/folder_chooser.h"

#include "win32/fonts.h"
#include "win32/geometry.h"
#include "win32/modal_loop.h"
#include "win32/wide_text.h"

#include <algorithm>
#include <vector>

namespace pelvaro::win32 {
namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

void RegisterClassOnce() {
  static const bool registered = [] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kFolderChooserClass;
    return RegisterClassExW(&windowClass) != 0;
  }();
  (void)registered;
}

std::wstring FullPath(const std::wstring& path) {
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  full.resize(std::min<DWORD>(length, size));
  return full;
}

// A drive's current folder, as the system keeps one per drive ("C:" alone names it).
std::wstring CurrentFolderOf(wchar_t letter) { return FullPath(std::wstring{letter, L':'}); }

// The list controls' fillers change the process's current folder; the
// program's own stays where it was.
class CurrentFolderKept {
 public:
  CurrentFolderKept() {
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    folder_.resize(size);
    folder_.resize(GetCurrentDirectoryW(size, folder_.data()));
  }
  ~CurrentFolderKept() {
    if (!folder_.empty()) SetCurrentDirectoryW(folder_.c_str());
  }

 private:
  std::wstring folder_;
};

std::wstring Trimmed(const std::wstring& path) {
  const auto first = path.find_first_not_of(L' ');
  if (first == std::wstring::npos) return {};
  return path.substr(first, path.find_last_not_of(L' ') - first + 1);
}

}  // namespace

std::wstring StartFolder(const std::wstring& path) {
  std::wstring folder = Trimmed(path);
  if (!folder.empty() && IsSeparator(folder.back())) folder.pop_back();
  return folder;
}

std::wstring WithOneSeparator(const std::wstring& text) {
  std::wstring fixed = text;
  while (!fixed.empty() && IsSeparator(fixed.back())) fixed.pop_back();
  return fixed + L'\\';
}

FolderChooser::FolderChooser(HWND owner) : owner_(owner) {
  RegisterClassOnce();
  const SIZE size = WindowSizeFor(3645, 3090, kStyle, kExStyle);
  window_ = CreateWindowExW(kExStyle, kFolderChooserClass, L"ディレクトリの指定", kStyle, CW_USEDEFAULT,
                            CW_USEDEFAULT, size.cx, size.cy, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!window_) return;
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));

  // Made in tab order: path box, drives, O K, Cancel, directories.
  const HFONT gothic = WindowFont(kMsGothic, 9);
  const HFONT arial = WindowFont(kArial, 9);
  txtPath_ = MakeChild(window_, L"EDIT", L"txtPath", ES_AUTOHSCROLL | WS_TABSTOP | WS_BORDER, {120, 120, 3375, 270},
                       kTxtPathId);
  // The drop-down's height is that of its open list; the closed box takes the font's.
  drvDrive_ = MakeChild(window_, L"COMBOBOX", L"", CBS_DROPDOWNLIST | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP,
                        {120, 2160, 3315, 2400}, kDrvDriveId);
  HWND ok = MakeChild(window_, L"BUTTON", L"O K", BS_DEFPUSHBUTTON | WS_TABSTOP, {840, 2640, 1275, 375}, kCmdOkId);
  HWND cancel = MakeChild(window_, L"BUTTON", L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, {2220, 2640, 1215, 375},
                          kCmdCancelId);
  dirDir_ = MakeChild(window_, L"LISTBOX", L"", LBS_NOTIFY | LBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP | WS_BORDER,
                      {120, 540, 3375, 1500}, kDirDirId);
  for (HWND control : {txtPath_, drvDrive_, dirDir_}) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(gothic), FALSE);
  for (HWND control : {ok, cancel}) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(arial), FALSE);

  const CurrentFolderKept kept;
  wchar_t pattern[MAX_PATH] = L"*";
  DlgDirListComboBoxW(window_, pattern, kDrvDriveId, 0, DDL_DRIVES | DDL_EXCLUSIVE);
}

FolderChooser::~FolderChooser() {
  if (window_) DestroyWindow(window_);
}

std::optional<std::string> FolderChooser::Run(const std::optional<std::string>& start) {
  if (!window_) return std::nullopt;
  if (start) p_ = *start;
  swPath_ = false;
  Initialise();
  RECT frame;
  GetWindowRect(window_, &frame);
  const POINT at = CentredOn(owner_, SIZE{frame.right - frame.left, frame.bottom - frame.top});
  SetWindowPos(window_, HWND_TOP, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  {
    const OtherWindowsDisabled others(window_);
    done_ = false;
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    // Typing replaces the folder shown: the whole text is selected on entry.
    SetFocus(txtPath_);
    SendMessageW(txtPath_, EM_SETSEL, 0, -1);
    RunModal(window_, done_);
  }
  // Hidden after the others are enabled again, so the owner is the window activated.
  ShowWindow(window_, SW_HIDE);
  if (!swPath_) return std::nullopt;
  return Narrow(PathText());
}

void FolderChooser::Initialise() {
  const std::wstring handed = p_ ? Widen(*p_) : std::wstring();
  const std::wstring path = StartFolder(handed);
  if (!path.empty()) {
    SetPathText(path);
    SelectDriveOf(path);
    SetPath(path);
  } else {
    SetPath(SelectedDriveFolder());
    SetPathText(openFolder_);
  }
}

void FolderChooser::SetPath(const std::wstring& path) {
  // "C:" alone is drive C at that drive's current folder.
  std::wstring folder = path.size() == 2 && path[1] == L':' ? CurrentFolderOf(path[0]) : FullPath(path);
  if (folder.size() > 3 && IsSeparator(folder.back())) folder.pop_back();
  openFolder_ = folder;
  SendMessageW(dirDir_, LB_RESETCONTENT, 0, 0);
  std::wstring pattern = WithOneSeparator(folder) + L"*";
  if (pattern.size() >= MAX_PATH) return;  // the list takes no longer path; the box still shows it
  std::vector<wchar_t> buffer(pattern.begin(), pattern.end());
  buffer.resize(MAX_PATH, L'\0');
  const CurrentFolderKept kept;
  DlgDirListW(window_, buffer.data(), kDirDirId, 0, DDL_DIRECTORY | DDL_EXCLUSIVE);
}

void FolderChooser::SelectDriveOf(const std::wstring& path) {
  if (path.size() < 2 || path[1] != L':') return;
  const std::wstring entry = std::wstring(L"[-") + path[0] + L"-]";
  const LRESULT at = SendMessageW(drvDrive_, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                  reinterpret_cast<LPARAM>(entry.c_str()));
  if (at != CB_ERR) SendMessageW(drvDrive_, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
}

std::wstring FolderChooser::SelectedDriveFolder() const {
  wchar_t drive[MAX_PATH] = L"";
  if (!DlgDirSelectComboBoxExW(window_, drive, MAX_PATH, kDrvDriveId) && drive[0] == L'\0') {
    // No drive selected (or none listed): the program's current folder.
    return FullPath(L".");
  }
  return CurrentFolderOf(drive[0]);
}

std::wstring FolderChooser::ClickedFolder() const {
  wchar_t entry[MAX_PATH] = L"";
  // For a folder the entry comes back as "name\" (or "..\"), relative to the folder shown.
  DlgDirSelectExW(window_, entry, MAX_PATH, kDirDirId);
  if (entry[0] == L'\0') return openFolder_;
  std::wstring folder = FullPath(WithOneSeparator(openFolder_) + entry);
  if (folder.size() > 3 && IsSeparator(folder.back())) folder.pop_back();
  return folder;
}

void FolderChooser::SetPathText(const std::wstring& text) { SetWindowTextW(txtPath_, text.c_str()); }

std::wstring FolderChooser::PathText() const {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(txtPath_)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(txtPath_, text.data(), static_cast<int>(text.size()))));
  return text;
}

void FolderChooser::drvDrive_Change() {
  SetPath(SelectedDriveFolder());
  SetPathText(openFolder_);
}

void FolderChooser::dirDir_Click() { SetPathText(ClickedFolder()); }

void FolderChooser::dirDir_Open() {
  SetPath(ClickedFolder());
  SetPathText(openFolder_);
}

// Whoever changed the text, it ends with one "\" again; setting it runs this
// once more, which then finds nothing to do. The caret stays where it was, in
// front of the separator.
void FolderChooser::txtPath_Change() {
  const std::wstring text = PathText();
  const std::wstring fixed = WithOneSeparator(text);
  if (fixed == text) return;
  DWORD caret = 0;
  SendMessageW(txtPath_, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
  SetPathText(fixed);
  const auto at = static_cast<WPARAM>(std::min<std::size_t>(caret, fixed.size() - 1));
  SendMessageW(txtPath_, EM_SETSEL, at, static_cast<LPARAM>(at));
}

void FolderChooser::Close(bool chosen) {
  swPath_ = chosen;
  done_ = true;
}

LRESULT CALLBACK FolderChooser::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<FolderChooser*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  return self ? self->Handle(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT FolderChooser::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case DM_GETDEFID: return MAKELRESULT(kCmdOkId, DC_HASDEFID);
    case WM_CLOSE: Close(false); return 0;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const int code = HIWORD(wParam);
      if (id == kCmdOkId) Close(true);
      if (id == kCmdCancelId) Close(false);
      if (id == kTxtPathId && code == EN_CHANGE) txtPath_Change();
      if (id == kDrvDriveId && code == CBN_SELCHANGE) drvDrive_Change();
      if (id == kDirDirId && code == LBN_SELCHANGE) dirDir_Click();
      if (id == kDirDirId && code == LBN_DBLCLK) dirDir_Open();
      return 0;
    }
    default: return DefWindowProcW(window_, message, wParam, lParam);
  }
}

}  // namespace pelvaro::win32
