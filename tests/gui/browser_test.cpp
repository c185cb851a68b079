// The browser in the viewer window, driven from the real main window: the
// filter and its count, go to, a selection and its export, Cancel in the
// progress window, and the window's remembered place.

#include "app/sprite_viewer.h"
#include "export/pcx_export.h"
#include "tests/gui/gui_test_support.h"
#include "ui/progress_window.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QSettings>

using namespace pelvaro;
using namespace pelvaro::testing;

namespace {

// Groups 0 (items 0..3, item 2 linked to item 1), 5 (item 0) and 7 (items 0, 1): display rows 0..6.
Bytes SevenSprites() {
  const Palette palette = TestPalette(5);
  SffBuilder b;
  for (std::uint16_t i = 0; i < 4; ++i) {
    if (i == 2) {
      b.Add({.group = 0, .item = 2, .link = 1, .payload = {}});
      continue;
    }
    b.Add({.group = 0, .item = i, .axisX = std::int16_t(i), .payload = MakePcx(3, 2, PatternPixels(3, 2, i), &palette)});
  }
  b.Add({.group = 5, .item = 0, .payload = MakePcx(2, 2, PatternPixels(2, 2, 9), &palette)})
      .Add({.group = 7, .item = 0, .payload = MakePcx(1, 4, PatternPixels(1, 4, 7), &palette)})
      .Add({.group = 7, .item = 1, .payload = MakePcx(4, 1, PatternPixels(4, 1, 8), &palette)});
  return b.Build();
}

struct BrowserWindow {
  BrowserWindow() {
    OpenThroughWindow(window, user, dir, "USER.sff", SevenSprites());
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) throw std::runtime_error("the main window was not shown");
    auto& list = Child<QTreeView>(window, "lstFiles");
    list.setCurrentIndex(list.model()->index(0, 1));
    QTest::keyClick(&list, Qt::Key_Return);
  }
  app::SpriteViewer& viewer() { return Child<app::SpriteViewer>(window, "frmSpriteViewer"); }
  QTreeView& items() { return Child<QTreeView>(viewer(), "lstItems"); }
  int CurrentMainRow() { return Child<QTreeView>(window, "lstFiles").currentIndex().row(); }

  ScriptedInteraction user;
  TempDir dir, out;
  app::frmMain window;
};

void TypeInto(QLineEdit& field, const QString& text) {
  field.setFocus();
  field.selectAll();
  if (text.isEmpty()) {
    QTest::keyClick(&field, Qt::Key_Delete);
  } else {
    QTest::keyClicks(&field, text);
  }
}

}  // namespace

class BrowserTest : public QObject {
  Q_OBJECT

 private slots:
  // The filter keeps its rows' numbers and names and moves the list's current row onto what it keeps; an unreadable
  // term is marked and hides nothing; Ctrl+G goes to a row the filter hid by clearing the filter.
  void filterAndGoTo() {
    BrowserWindow w;
    app::SpriteViewer& viewer = w.viewer();
    QCOMPARE(LabelText(viewer, "lblCount"), QStringLiteral("7 / 7"));
    QCOMPARE(Child<QTreeView>(viewer, "lstGroups").model()->rowCount(), 3);
    QCOMPARE(w.items().model()->rowCount(), 4);

    auto& filter = Child<QLineEdit>(viewer, "txtFilter");
    QVERIFY(filter.placeholderText().contains(QStringLiteral("5000-5999")));
    TypeInto(filter, QStringLiteral("7"));
    QCOMPARE(LabelText(viewer, "lblCount"), QStringLiteral("2 / 7"));
    QCOMPARE(Child<QTreeView>(viewer, "lstGroups").model()->rowCount(), 1);
    QCOMPARE(w.items().model()->index(1, 3).data().toString(), QStringLiteral("USER_00007_00001.pcx"));
    QCOMPARE(w.items().model()->index(1, 0).data().toString(), QStringLiteral("07"));
    QCOMPARE(w.CurrentMainRow(), 5);

    QTest::keyClicks(&filter, QStringLiteral(" 7x"));
    QCOMPARE(LabelText(viewer, "lblCount"), QStringLiteral("2 / 7"));
    QCOMPARE(filter.property("unreadableTerms").toStringList(), QStringList{QStringLiteral("7x")});

    QApplication::setActiveWindow(&viewer);  // the window shortcuts work in the active window
    QTest::keyClick(&viewer, Qt::Key_G, Qt::ControlModifier);
    auto& goTo = Child<QLineEdit>(viewer, "txtGoTo");
    QCOMPARE(viewer.focusWidget(), &goTo);
    QTest::keyClicks(&goTo, QStringLiteral("0,3"));
    QTest::keyClick(&goTo, Qt::Key_Return);
    QCOMPARE(filter.text(), QString());
    QCOMPARE(w.CurrentMainRow(), 3);
    QCOMPARE(w.items().currentIndex().row(), 3);
    QTest::keyClick(&viewer, Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(viewer.focusWidget(), &filter);
    QCOMPARE(w.user.unscripted, 0);
  }

  // Ctrl-clicks select across the list and the thumbnails alike; the selection's export writes Save All's files for
  // those rows byte for byte, the linked row under its target's name, and says where and how many.
  void selectionExportsSaveAllsFiles() {
    BrowserWindow w;
    app::SpriteViewer& viewer = w.viewer();
    QTreeView& items = w.items();
    const auto rowCentre = [&](int row) { return items.visualRect(items.model()->index(row, 0)).center(); };
    QTest::mouseClick(items.viewport(), Qt::LeftButton, {}, rowCentre(0));
    QTest::mouseClick(items.viewport(), Qt::LeftButton, Qt::ControlModifier, rowCentre(2));
    QCOMPARE(Child<QListView>(viewer, "lstThumbs").selectionModel()->selectedRows().size(), 2);
    QVERIFY(!items.model()->index(0, 0).data(Qt::DecorationRole).isNull());

    TempDir all;
    QVERIFY(exporter::ExportAllPcx(all.path(), *w.window.archive()));
    const QString folder = Q(w.out / "chosen");
    w.user.modalScripts.push_back([&](QDialog& chooser) {
      QTest::keyClicks(&Child<QLineEdit>(chooser, "txtPath"), folder);
      Click(chooser, "cmdOK");
    });
    Child<QAction>(viewer, "mnuSelectionPcx").trigger();
    const std::vector<std::string> names{"USER_00000_00000.pcx", "USER_00000_00001.pcx"};
    QCOMPARE(EntriesOf(w.out / "chosen"), names);
    for (const std::string& name : names) QCOMPARE(ReadBytes(w.out / ("chosen/" + name)), ReadBytes(all / name));
    VerifyOneMessage(w.user, ui::MsgStyle::kInformation,
                     QStringLiteral("PCXファイルを出力しました。\n出力先: ") + folder +
                         QStringLiteral("/\n2 個のファイルを出力しました。"));
    QCOMPARE(w.user.unscripted, 0);
  }

  // Cancel, by its button or Esc, is what the next step reports; the work goes on to that step, never further.
  void progressCancelStopsAtTheNextStep() {
    for (const bool byEscape : {false, true}) {
      ui::ProgressWindow progress(nullptr, QStringLiteral("PCXファイルを出力しています…"), true,
                                  std::chrono::milliseconds(0));
      QVERIFY(progress.Step(1, 10));
      QProgressDialog* dialog = nullptr;
      for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* found = qobject_cast<QProgressDialog*>(top); found && found->isVisible()) dialog = found;
      QVERIFY(dialog != nullptr);
      if (byEscape) {
        QTest::keyClick(dialog, Qt::Key_Escape);
      } else {
        QPushButton* cancel = dialog->findChild<QPushButton*>();
        QVERIFY(cancel != nullptr);
        QCOMPARE(cancel->text(), QStringLiteral("キャンセル"));
        QTest::mouseClick(cancel, Qt::LeftButton);
      }
      QVERIFY(!progress.Step(2, 10));
    }
  }

  // A place remembered on a screen that is gone is not used: the window opens beside the main window inside the
  // screen. A place on a screen that exists is given back.
  void rememberedPlaceOnlyWhereAScreenIs() {
    QSettings(QStringLiteral("Pelvaro"), QStringLiteral("pelvaro"))
        .setValue(QStringLiteral("browser/geometry"), QRect(20000, 15000, 700, 500));
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    {
      BrowserWindow w;
      const QRect placed = w.viewer().frameGeometry();
      QVERIFY2(area.contains(placed), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(placed.x()).arg(placed.y())
                                                     .arg(placed.width()).arg(placed.height())));
      w.viewer().setGeometry(area.x() + 30, area.y() + 40, 640, 420);
      w.viewer().close();
    }
    BrowserWindow again;
    QCOMPARE(again.viewer().geometry(), QRect(area.x() + 30, area.y() + 40, 640, 420));
  }
};

PELVARO_GUI_TEST(BrowserTest);

#include "browser_test.moc"
