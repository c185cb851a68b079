// The desktop program's figures, off screen: the main window's list showing a
// loaded archive of 65,535 rows, from the model's reset to the end of the first
// paint (cells are worked out when the list asks for them, so only the rows on
// screen are formatted); the sprite viewer stepping through 1,000 rows, each
// decoded and painted; the browser's filter field taking one keystroke over
// 65,535 rows; and the thumbnails of a group of 200 sprites, every one decoded
// and painted. Absolute figures: there is no floor to hold them against.

#include "app/browser_models.h"
#include "app/frm_main.h"
#include "app/sprite_table_model.h"
#include "bench/bench_archive.h"
#include "bench/figures.h"
#include "sff/load_sff.h"
#include "ui/fonts.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
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

void Press(QWidget* widget, Qt::Key key, const QString& text = {}) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QCoreApplication::sendEvent(widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QCoreApplication::sendEvent(widget, &release);
}

// The viewer opened on the first row of the 1,000-sprite archive by Enter in
// the list, then Down pressed in the viewer for each next row: the list moves,
// the viewer decodes the row's sprite and shows it, fitted to the window. A
// step is timed from the key to the end of the viewer's paint, the events the
// step posted (the list's repaint) included. The figure is the time per row.
void StepThroughViewerFigure(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  app::frmMain window;
  window.show();
  window.OpenSff(CachedBenchArchive(CacheFolder(), rows));
  auto* list = window.findChild<QTreeView*>(QStringLiteral("lstFiles"));
  if (!window.archive() || !list || list->model()->rowCount() != rows) {
    state.SkipWithError("the archive is not listed");
    return;
  }
  list->setCurrentIndex(list->model()->index(0, 1));
  Press(list, Qt::Key_Return);
  auto* viewer = window.findChild<QWidget*>(QStringLiteral("frmSpriteViewer"));
  if (!viewer || !viewer->isVisible()) {
    state.SkipWithError("Enter did not open the viewer");
    return;
  }
  QCoreApplication::processEvents();
  std::vector<double> perRow;
  for (auto _ : state) {
    list->setCurrentIndex(list->model()->index(0, 1));
    QCoreApplication::processEvents();
    const double s = SecondsOf([&] {
      for (int row = 1; row < rows; ++row) {
        Press(viewer, Qt::Key_Down);
        viewer->repaint();
        QCoreApplication::processEvents();
      }
    });
    if (list->currentIndex().row() != rows - 1) state.SkipWithError("Down did not reach the last row");
    perRow.push_back(s / (rows - 1));
    state.SetIterationTime(s);
  }
  PublishAbsolute(state, "Sprite viewer steps through 1,000 rows: decode and first paint, per row", perRow, 16);
}

// The viewer opened on the 65,535-row archive, then one key typed into its
// filter field: the filter is read, the rows kept, the groups counted and the
// browser's lists and count redrawn. The field holds "5000-599"; each step
// types the last "9" and is timed from the key to the end of the repaint, and
// Backspace (untimed) takes it away again.
void FilterKeystrokeFigure(benchmark::State& state) {
  app::frmMain window;
  window.show();
  window.OpenSff(CachedBenchArchive(CacheFolder(), static_cast<int>(state.range(0))));
  auto* list = window.findChild<QTreeView*>(QStringLiteral("lstFiles"));
  if (!window.archive() || !list) {
    state.SkipWithError("the archive is not listed");
    return;
  }
  list->setCurrentIndex(list->model()->index(0, 1));
  Press(list, Qt::Key_Return);
  auto* viewer = window.findChild<QWidget*>(QStringLiteral("frmSpriteViewer"));
  auto* filter = viewer ? viewer->findChild<QLineEdit*>(QStringLiteral("txtFilter")) : nullptr;
  if (!filter) {
    state.SkipWithError("the viewer has no filter field");
    return;
  }
  filter->setFocus();
  filter->setText(QStringLiteral("5000-599"));
  QCoreApplication::processEvents();
  std::vector<double> seconds;
  for (auto _ : state) {
    const double s = SecondsOf([&] {
      Press(filter, Qt::Key_9, QStringLiteral("9"));
      viewer->repaint();
      QCoreApplication::processEvents();
    });
    if (filter->text() != QStringLiteral("5000-5999")) state.SkipWithError("the key did not reach the filter field");
    seconds.push_back(s);
    state.SetIterationTime(s);
    Press(filter, Qt::Key_Backspace);
    QCoreApplication::processEvents();
  }
  PublishAbsolute(state, "Browser filter field, one keystroke over 65,535 rows, lists redrawn", seconds, 16);
}

// A group of 200 sprites of the bench archive's sizes, shown in a thumbnail
// grid large enough to hold them all: from the model's reload to the end of
// the paint, every thumbnail decoded, framed on its axis and drawn.
void GroupThumbnailsFigure(benchmark::State& state) {
  constexpr int kSprites = 200;
  testing::SffBuilder b;
  const testing::Palette palette = testing::TestPalette(0);
  for (int i = 0; i < kSprites; ++i) {
    const int width = 40 + (i * 37) % 80;
    const int height = 48 + (i * 53) % 72;
    b.Add({.group = 7,
           .item = static_cast<std::uint16_t>(i),
           .axisX = static_cast<std::int16_t>(width / 2),
           .axisY = static_cast<std::int16_t>(height),
           .payload = testing::MakePcx(width, height, testing::PatternPixels(width, height, i), &palette)});
  }
  const std::string path = CacheFolder() + "/GROUP200.sff";
  testing::WriteBytes(path, b.Build());
  auto loaded = sff::LoadSff(path, [] { return false; });
  if (!loaded) {
    state.SkipWithError("the archive did not load");
    return;
  }
  commands::BrowserState browser;
  browser.Reset(&*loaded);
  browser.ChooseGroup(7);
  app::GroupRowsModel model(nullptr);
  QListView grid;
  grid.setViewMode(QListView::IconMode);
  grid.setFlow(QListView::LeftToRight);
  grid.setWrapping(true);
  grid.setResizeMode(QListView::Adjust);
  grid.setUniformItemSizes(true);
  grid.setIconSize(QSize(app::GroupRowsModel::kThumbnailSize, app::GroupRowsModel::kThumbnailSize));
  grid.setModel(&model);
  grid.resize(1920, 1200);
  grid.show();
  QCoreApplication::processEvents();
  std::vector<double> seconds;
  for (auto _ : state) {
    const double s = SecondsOf([&] {
      model.Reload(&browser);  // drops the thumbnails made before
      QCoreApplication::processEvents();
      grid.repaint();
    });
    if (model.rowCount() != kSprites) state.SkipWithError("the group does not hold its sprites");
    // The last thumbnail must have been on screen, so every one was drawn.
    if (!grid.viewport()->rect().intersects(grid.visualRect(model.index(kSprites - 1, 0))))
      state.SkipWithError("the grid does not show the whole group");
    seconds.push_back(s);
    state.SetIterationTime(s);
  }
  PublishAbsolute(state, "Browser thumbnails of a group of 200 sprites, decoded and drawn", seconds, 100);
}

BENCHMARK(StepThroughViewerFigure)
    ->Arg(kSmallArchiveSprites)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK(FilterKeystrokeFigure)
    ->Arg(kLargeArchiveSprites)
    ->Iterations(15)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK(GroupThumbnailsFigure)->Iterations(9)->UseManualTime()->Unit(benchmark::kMillisecond);

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
