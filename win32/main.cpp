// Pelvaro on Windows: shows the main window, with the archive named on the
// command line opened in it once it shows.

#include "export/atomic_file.h"
#include "export/definition_text.h"
#include "win32/main_window.h"
#include "win32/prompts.h"
#include "win32/start_arguments.h"

#include <windows.h>
#include <commctrl.h>

#include <vector>

namespace {

std::wstring FullPath(const std::wstring& path) {
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  full.resize(GetFullPathNameW(path.c_str(), size, full.data(), nullptr));
  return full;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  // A program ended mid-export (a logout, a kill) leaves no temporary file.
  pelvaro::exporter::RemoveTemporaryFilesOnTermination();

  pelvaro::win32::SystemPrompts prompts;
  pelvaro::win32::MainWindow window(prompts, pelvaro::exporter::ProgramFolder(), [] { PostQuitMessage(0); });
  if (!window.hwnd()) return 1;
  ShowWindow(window.hwnd(), show);
  UpdateWindow(window.hwnd());

  const auto start = pelvaro::win32::ParseStartArguments(pelvaro::win32::ProcessArguments());
  if (start.tooMany) {
    // Which of them was meant is not guessed: none is opened.
    prompts.Message(window.hwnd(), {"開くファイルは 1 つだけ指定してください。"}, pelvaro::commands::MsgStyle::kStop);
  } else if (start.archive) {
    // The window is on screen first, so any question about the archive comes over it.
    window.OpenSoon(FullPath(*start.archive));
  }

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (window.PreTranslate(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
