// The desktop program's figure: the main window's list showing a loaded
// archive of 65,535 rows, from the model's reset to the end of the first
// paint, off screen. Cells are worked out when the list asks for them, so only
// the rows on screen are formatted. An absolute figure: there is no floor to
// hold it against.

#include "app/frm_main.h"
#include "app/sprite_table_model.h"
#include "bench/bench_archive.h"
#include "bench/figures.h"
#include "sff/load_sff.h"
#include "ui/fonts.h"

#include <QApplication>
#include <QTreeView>

namespace pelvaro::bench {
namespace {

// The archive is loaded once beside the window and handed to the list's own
// model inside the timed reset, so the time is the model's and the list's
// alone; loading has figures of its own.
void ShowLoadedArchiveFigure(benchmark::State& state) {
  const std::string path = CachedBenchArchive(CacheFolder(), static_cast<int>(state.range(0)));
  auto loaded = sff::LoadSff(path, [] { return false; });
  if (!loaded) {
    state.SkipWithError("the archive did not load");
    return;
  }
  const sff::Archive& archive = *loaded;

  app::frmMain window;
  window.show();
  QCoreApplication::processEvents();
  auto* list = window.findChild<QTreeView*>(QStringLiteral("lstFiles"));
  auto* model = list ? dynamic_cast<app::SpriteTableModel*>(list->model()) : nullptr;
  if (!model) {
    state.SkipWithError("the main window has no sprite list");
    return;
  }
  const auto show = [&](const sff::Archive* shown) {
    model->SetArchive(shown);
    // The reset posts the list's new layout; the first paint carries it out.
    QCoreApplication::processEvents();
    window.repaint();
  };
  std::vector<double> seconds;
  for (auto _ : state) {
    const double s = SecondsOf([&] { show(&archive); });
    seconds.push_back(s);
    state.SetIterationTime(s);
    // The paint must have laid the rows out: the first one stands at the top.
    if (model->rowCount() != static_cast<int>(state.range(0)) || list->indexAt(QPoint(2, 2)).row() != 0)
      state.SkipWithError("the list does not show the loaded rows");
    show(nullptr);  // back to an empty list, untimed, for the next run
  }
  PublishAbsolute(state, "Main window shows 65,535 loaded rows", seconds, 100);
}

BENCHMARK(ShowLoadedArchiveFigure)
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
