// The desktop program's figure: the main window showing a freshly loaded table
// of 65,535 rows, from the model's reset to the end of the first paint, off
// screen. An absolute figure: there is no floor to hold it against.

#include "app/frm_main.h"
#include "bench/bench_archive.h"
#include "bench/figures.h"
#include "sff/load_sff.h"
#include "tests/support/test_view.h"
#include "text/native_path.h"
#include "ui/fonts.h"

#include <QApplication>
#include <QTreeView>

#include <utility>

namespace pelvaro::bench {
namespace {

// The rows reach the window's table as the loader leaves them: loaded once
// beside the window, then exchanged with its (empty) table inside the timed
// reset, which costs nothing, so the time is the model's and the list's alone.
void ShowLoadedTableFigure(benchmark::State& state) {
  const std::string path = CachedBenchArchive(CacheFolder(), static_cast<int>(state.range(0)));
  sff::SffState archive;
  testing::TestView loaded(text::GetFileName(path));
  if (sff::LoadSff(path, archive, loaded).status != sff::LoadStatus::kLoaded) {
    state.SkipWithError("the archive did not load");
    return;
  }
  benchmark::DoNotOptimize(loaded.table.HandleAt(1));

  app::frmMain window;
  window.show();
  QCoreApplication::processEvents();
  std::vector<double> seconds;
  for (auto _ : state) {
    const double s = SecondsOf([&] {
      window.BeginTableReset();
      std::swap(window.Table(), loaded.table);
      window.EndTableReset();
      // The reset posts the list's new layout; the first paint carries it out.
      QCoreApplication::processEvents();
      window.repaint();
    });
    seconds.push_back(s);
    state.SetIterationTime(s);
    // The paint must have laid the rows out: the first one stands at the top.
    if (window.lstFiles->model()->rowCount() != static_cast<int>(state.range(0)) ||
        window.lstFiles->indexAt(QPoint(2, 2)).row() != 0)
      state.SkipWithError("the list does not show the loaded rows");
    // Back to an empty list, untimed, for the next run.
    window.BeginTableReset();
    std::swap(window.Table(), loaded.table);
    window.EndTableReset();
    QCoreApplication::processEvents();
    window.repaint();
  }
  PublishAbsolute(state, "Main window shows 65,535 loaded rows", seconds, 100);
}

BENCHMARK(ShowLoadedTableFigure)
    ->Arg(kLargeArchiveSprites)
    ->Iterations(15)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pelvaro::bench

int main(int argc, char** argv) {
  // Measured off screen, whether or not a display is at hand.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  pelvaro::ui::InstallFontSubstitutes();
  return pelvaro::bench::RunBenchmarks(argc, argv);
}
