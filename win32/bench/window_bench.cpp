// The Windows program's figures, run under Wine by bench/run: the main window
// showing the 65,535 rows of a freshly loaded archive, and the sprite viewer
// stepping through 1,000 rows. A plain program, not a Google Benchmark one
// (there is none for the cross build): it appends its rows, tab-separated as
// bench/run's table takes them, to the file named last.
//
//   pelvaro_win32_bench.exe LARGE_ARCHIVE SMALL_ARCHIVE TABLE_FILE

#include "sff/load_sff.h"
#include "win32/main_window.h"
#include "win32/wide_text.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace pelvaro::win32 {
namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Every question answered OK, every file dialog cancelled: nothing here asks.
class SilentPrompts final : public Prompts {
 public:
  commands::Answer Message(HWND, const commands::Lines&, commands::MsgStyle) override {
    ++asked;
    return commands::Answer::kOk;
  }
  std::optional<std::string> FileDialog(HWND, const commands::FileRequest&) override { return std::nullopt; }
  int asked = 0;
};

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

struct Row {
  std::string figure;
  double measured = 0;
  double target = 0;
};

// Opening the archive is its load, then the list shown and painted. The
// load alone is timed in turns with it, and the figure is what the opening
// takes beyond the load: the fastest of each.
Row MainWindowFigure(const std::wstring& archive) {
  double fastestOpen = 1e9, fastestLoad = 1e9;
  for (int run = 0; run < 7; ++run) {
    {
      const auto start = Clock::now();
      auto loaded = sff::LoadSff(Narrow(archive), [] { return true; });
      fastestLoad = std::min(fastestLoad, MillisecondsSince(start));
      if (!loaded) throw std::runtime_error("the benchmark archive does not load");
    }
    SilentPrompts prompts;
    MainWindow window(prompts, "C:\\", [] {});
    ShowWindow(window.hwnd(), SW_SHOW);
    UpdateWindow(window.hwnd());
    Pump();
    const auto start = Clock::now();
    window.OpenSoon(archive);
    Pump();
    UpdateWindow(window.control(kLstFiles));
    fastestOpen = std::min(fastestOpen, MillisecondsSince(start));
    if (ListView_GetItemCount(window.control(kLstFiles)) != 65535 || prompts.asked != 0)
      throw std::runtime_error("the main window did not show the archive's rows");
  }
  return {"Win32 main window shows 65,535 loaded rows (under Wine), after the load", fastestOpen - fastestLoad, 100};
}

// As the Qt program's figure: the viewer opened by Enter on the first row of
// the 1,000-sprite archive, then Down pressed in the viewer for each next
// row: the list moves, the viewer decodes the row's sprite and paints it.
// Five passes, down the rows, up again, and so on, each step a sprite decoded
// anew; the figure is the fastest pass, as the other figures keep the fastest
// run, the one least disturbed by other work on the machine.
Row ViewerFigure(const std::wstring& archive) {
  SilentPrompts prompts;
  MainWindow window(prompts, "C:\\", [] {});
  ShowWindow(window.hwnd(), SW_SHOW);
  window.OpenSoon(archive);
  Pump();
  HWND list = window.control(kLstFiles);
  ListView_SetItemState(list, 0, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
  SetFocus(list);
  MSG enter{list, WM_KEYDOWN, VK_RETURN, 0, GetTickCount(), {}};
  if (!window.PreTranslate(enter)) {
    TranslateMessage(&enter);
    DispatchMessageW(&enter);
  }
  Pump();
  HWND viewer = window.viewerWindow();
  if (!viewer) throw std::runtime_error("Enter on the list did not open the viewer");
  constexpr int kSteps = 999;
  double fastestPerRow = 1e9;
  for (const WPARAM key : {VK_DOWN, VK_UP, VK_DOWN, VK_UP, VK_DOWN}) {
    const auto start = Clock::now();
    for (int step = 0; step < kSteps; ++step) {
      MSG press{viewer, WM_KEYDOWN, key, 0, GetTickCount(), {}};
      if (!window.PreTranslate(press)) {
        TranslateMessage(&press);
        DispatchMessageW(&press);
      }
      Pump();
      RedrawWindow(viewer, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    fastestPerRow = std::min(fastestPerRow, MillisecondsSince(start) / kSteps);
    const std::size_t expected = key == VK_DOWN ? kSteps : 0;
    if (window.CurrentRow() != std::optional<std::size_t>(expected))
      throw std::runtime_error("the list's current row did not follow the steps");
  }
  return {"Win32 sprite viewer steps through 1,000 rows (under Wine): decode and first paint, per row", fastestPerRow,
          16};
}

}  // namespace
}  // namespace pelvaro::win32

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fputs("usage: pelvaro_win32_bench LARGE_ARCHIVE SMALL_ARCHIVE TABLE_FILE\n", stderr);
    return 2;
  }
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  try {
    const std::vector<pelvaro::win32::Row> rows{pelvaro::win32::MainWindowFigure(argv[1]),
                                                pelvaro::win32::ViewerFigure(argv[2])};
    FILE* table = _wfopen(argv[3], L"ab");
    if (!table) throw std::runtime_error("cannot open the table file");
    for (const auto& row : rows)
      std::fprintf(table, "%s\t%.2f ms\t-\t-\t< %.0f ms\t%s\n", row.figure.c_str(), row.measured, row.target,
                   row.measured < row.target ? "yes" : "no");
    if (std::fclose(table) != 0) throw std::runtime_error("cannot write the table file");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pelvaro_win32_bench: %s\n", e.what());
    return 1;
  }
  return 0;
}
