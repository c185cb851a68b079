// The sprite viewer from the real main window.

#include "app/sprite_canvas.h"
#include "app/sprite_viewer.h"
#include "export/png_export.h"
#include "image/png_writer.h"
#include "tests/gui/gui_test_support.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QMenu>
#include <QScrollArea>
#include <QToolButton>
#include <QWheelEvent>

using namespace pelvaro;
using namespace pelvaro::testing;

namespace {

const Palette kOwnPalette = TestPalette(40);

// USER.sff, shown: rows 1/0 (own palette, the palette source, axis (1, 2)),
// 1/1 (shared, 5 x 2, axis (-30, 4)), 1/2 (three planes, which the decoder
// refuses), 2/0 (linked to 1/1), and 0/0, never reached by the chain: no image.
struct ViewerWindow {
  ViewerWindow() {
    // 4 x 3, index 0 at (0, 0), (1, 1) and (2, 2).
    const Bytes picture{0, 1, 2, 3, 4, 0, 5, 6, 7, 8, 0, 9};
    Bytes threePlanes = MakePcx(4, 4, PatternPixels(4, 4, 8), nullptr);
    threePlanes.at(65) = 3;
    SffBuilder b;
    b.ImageCount(5);
    b.Add({.group = 1, .item = 0, .axisX = 1, .axisY = 2, .palFlag = 0, .payload = MakePcx(4, 3, picture, &kOwnPalette)});
    b.Add({.group = 1, .item = 1, .axisX = -30, .axisY = 4, .palFlag = 1,
           .payload = MakePcx(5, 2, PatternPixels(5, 2, 2), nullptr)});
    b.Add({.group = 1, .item = 2, .palFlag = 1, .payload = threePlanes});
    b.Add({.group = 2, .item = 0, .link = 1, .palFlag = 1});
    Bytes bytes = b.Build();
    bytes.resize(bytes.size() + 32, 0);  // the fifth subfile header, all zeros
    OpenThroughWindow(window, user, dir, "USER.sff", bytes);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) throw std::runtime_error("the main window was not shown");
  }

  QTreeView& list() { return Child<QTreeView>(window, "lstFiles"); }
  QPoint RowCentre(int row) { return list().visualRect(list().model()->index(row, 1)).center(); }
  app::SpriteViewer& viewer() { return Child<app::SpriteViewer>(window, "frmSpriteViewer"); }
  app::SpriteViewer& OpenOn(int row) {  // by Enter
    list().setCurrentIndex(list().model()->index(row, 1));
    QTest::keyClick(&list(), Qt::Key_Return);
    return viewer();
  }

  ScriptedInteraction user;
  TempDir dir, out;
  app::frmMain window;
};

// A click on the viewer's button or check box `name`.
void Press(const QWidget& viewer, const char* name) {
  QTest::mouseClick(&Child<QAbstractButton>(viewer, name), Qt::LeftButton);
}

QString Status(const QWidget& viewer) { return LabelText(viewer, "lblStatus"); }
int Zoom(const QWidget& viewer) { return Child<app::SpriteCanvas>(viewer, "picSprite").zoom(); }

// The canvas as drawn, and the screen pixel at the centre of sprite pixel (x, y).
QImage Drawn(const QWidget& viewer) { return Child<app::SpriteCanvas>(viewer, "picSprite").grab().toImage(); }
QPoint ScreenOf(const QWidget& viewer, int x, int y) {
  const auto& canvas = Child<app::SpriteCanvas>(viewer, "picSprite");
  return canvas.PictureOrigin() + QPoint(x, y) * canvas.zoom() + QPoint(canvas.zoom() / 2, canvas.zoom() / 2);
}

QRgb Colour(const Palette& palette, int index) {
  const auto at = static_cast<std::size_t>(index) * 3;
  return qRgb(palette[at], palette[at + 1], palette[at + 2]);
}

}  // namespace

class SpriteViewerTest : public QObject {
  Q_OBJECT

 private slots:
  // A double-click, the list's menu and Enter (every other test) open it; it
  // is one window, which follows the list's current row however that is
  // chosen, Up and Down from either. An undecodable row shows the decoder's
  // reason inside, so no message box stops the stepping.
  void opensFromTheListAndStepsThroughEveryKindOfRow() {
    ViewerWindow w;
    QWidget* viewport = w.list().viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, w.RowCentre(1));
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, w.RowCentre(1));
    app::SpriteViewer& viewer = w.viewer();
    QVERIFY(viewer.isVisible());
    QCOMPARE(viewer.windowTitle(), QStringLiteral("USER_00001_00001.pcx - スプライトの表示"));
    viewer.close();

    emit w.list().customContextMenuRequested(w.RowCentre(0));
    Child<QMenu>(w.window, "mnuList").hide();
    Child<QAction>(w.window, "mnuShowSprite").trigger();
    QVERIFY(viewer.isVisible());
    QCOMPARE(w.window.findChildren<app::SpriteViewer*>().size(), 1);
    QCOMPARE(Status(viewer), QStringLiteral("1 行目（全 5 行）　グループ番号 1　イメージ番号 0　4 × 3 ピクセル　軸 (1, 2)"
                                            "　共有パレット"));
    QTest::keyClick(&w.list(), Qt::Key_Down);
    QVERIFY(Status(viewer).startsWith(QStringLiteral("2 行目")));

    QTest::keyClick(&viewer, Qt::Key_Down);
    QVERIFY(Child<QLabel>(viewer, "lblMessage").isVisible());
    QVERIFY(LabelText(viewer, "lblMessage").startsWith(QStringLiteral("PCX画像を読み込めません。\n1 ピクセル 8 ビット、3 プレーン")));
    QCOMPARE(Status(viewer), QStringLiteral("3 行目（全 5 行）　グループ番号 1　イメージ番号 2　読み込めない画像"
                                            "　軸 (0, 0)　パレットなし"));
    QVERIFY(!Child<QPushButton>(viewer, "cmdSavePng").isEnabled());
    QVERIFY(!Child<QPushButton>(viewer, "cmdCopy").isEnabled());

    // The linked row names the row whose image it shows.
    QTest::keyClick(&viewer, Qt::Key_Down);
    QCOMPARE(Status(viewer), QStringLiteral("4 行目（全 5 行）　グループ番号 2　イメージ番号 0　5 × 2 ピクセル　軸 (0, 0)"
                                            "　共有パレット　リンク先 2 行目"));
    QCOMPARE(viewer.windowTitle(), QStringLiteral("USER_00001_00001.pcx - スプライトの表示"));
    // The last row has no image; Down there stays on it.
    QTest::keyClick(&viewer, Qt::Key_Down);
    QTest::keyClick(&viewer, Qt::Key_Down);
    QCOMPARE(w.list().currentIndex().row(), 4);
    QCOMPARE(LabelText(viewer, "lblMessage"), QStringLiteral("この行には画像がありません。\nPCX名のない行です。"));
    QVERIFY(w.user.messages.empty());
    QCOMPARE(w.user.unscripted, 0);
  }

  // Fitted at first, the axis included; 1:1, + and - pick a zoom kept from
  // row to row until Fit.
  void zoomFitsTheWindowUntilOneIsPicked() {
    ViewerWindow w;
    app::SpriteViewer& viewer = w.OpenOn(1);
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    // 5 x 2 with the axis at (-30, 4): an area of 35 x 5 sprite pixels, in a margin of 8.
    const QSize room = Child<QScrollArea>(viewer, "scrSprite").maximumViewportSize();
    const int fitted = std::min((room.width() - 16) / 35, (room.height() - 16) / 5);
    QCOMPARE(Zoom(viewer), fitted);
    QVERIFY(Child<QToolButton>(viewer, "cmdFitWindow").isChecked());
    viewer.resize(400, 300);
    QCoreApplication::processEvents();
    QVERIFY(Zoom(viewer) < fitted);

    Press(viewer, "cmdActualSize");
    QCOMPARE(Zoom(viewer), 1);
    QVERIFY(!Child<QToolButton>(viewer, "cmdFitWindow").isChecked());
    for (Qt::Key key : {Qt::Key_Plus, Qt::Key_Plus, Qt::Key_Plus, Qt::Key_Minus}) QTest::keyClick(&viewer, key);
    Press(viewer, "cmdZoomIn");
    Press(viewer, "cmdZoomIn");
    QCOMPARE(Zoom(viewer), 6);
    // The wheel zooms with Ctrl held, one step a notch, and scrolls without it.
    QWidget* port = Child<QScrollArea>(viewer, "scrSprite").viewport();
    for (const auto& [notch, held] : {std::pair{120, Qt::ControlModifier}, std::pair{-120, Qt::ControlModifier},
                                      std::pair{-120, Qt::ControlModifier}, std::pair{120, Qt::NoModifier}}) {
      QWheelEvent wheel(QPointF(5, 5), port->mapToGlobal(QPointF(5, 5)), {}, QPoint(0, notch), Qt::NoButton, held,
                        Qt::NoScrollPhase, false);
      QCoreApplication::sendEvent(port, &wheel);
    }
    QCOMPARE(Zoom(viewer), 4);
    Press(viewer, "cmdZoomIn");
    Press(viewer, "cmdZoomOut");
    QTest::keyClick(&viewer, Qt::Key_Up);
    QCOMPARE(Child<app::SpriteCanvas>(viewer, "picSprite").ContentSize(), QSize(4 * 4 + 16, 3 * 4 + 16));
    Press(viewer, "cmdFitWindow");
    QVERIFY(Zoom(viewer) > 4);
    QCOMPARE(LabelText(viewer, "lblZoom"), QString::number(Zoom(viewer)) + QStringLiteral(" 倍"));
  }

  // Copy gives the picture with index 0 transparent. In the viewer index 0 is
  // over the checkerboard or in its colour, the axis crosshair drawn or not;
  // both choices stay from row to row.
  void copyAndTheTogglesOfTransparencyAndTheAxis() {
    ViewerWindow w;
    app::SpriteViewer& viewer = w.OpenOn(0);
    QGuiApplication::clipboard()->clear();
    Press(viewer, "cmdCopy");
    const QImage copied = QGuiApplication::clipboard()->image();
    QCOMPARE(copied.size(), QSize(4, 3));
    QCOMPARE(qAlpha(copied.pixel(1, 1)), 0);
    QCOMPARE(copied.pixel(3, 2), Colour(kOwnPalette, 9));

    Press(viewer, "cmdActualSize");
    for (int i = 0; i < 3; ++i) QTest::keyClick(&viewer, Qt::Key_Plus);  // zoom 4
    QImage drawn = Drawn(viewer);
    const auto shown = [&](int x, int y) { return drawn.pixel(ScreenOf(viewer, x, y)) | 0xFF000000u; };
    const QRgb checker = shown(0, 0);
    QVERIFY(checker == app::SpriteCanvas::kCheckerLight || checker == app::SpriteCanvas::kCheckerDark);
    QCOMPARE(shown(3, 0), Colour(kOwnPalette, 3));
    // The axis (1, 2): its row and column are drawn across the margin.
    const QPoint axis = ScreenOf(viewer, 1, 2);
    QVERIFY(drawn.pixel(1, axis.y()) != app::SpriteCanvas::kBackground);
    QVERIFY(drawn.pixel(axis.x(), 1) != app::SpriteCanvas::kBackground);

    Press(viewer, "chkTransparent");
    Press(viewer, "chkAxis");
    drawn = Drawn(viewer);
    QCOMPARE(shown(0, 0), Colour(kOwnPalette, 0));
    QCOMPARE(drawn.pixel(1, axis.y()), app::SpriteCanvas::kBackground);
    QCOMPARE(drawn.pixel(axis.x(), 1), app::SpriteCanvas::kBackground);
    QTest::keyClick(&viewer, Qt::Key_Down);
    QVERIFY(!Child<QCheckBox>(viewer, "chkTransparent").isChecked());
    QVERIFY(!Child<QCheckBox>(viewer, "chkAxis").isChecked());
  }

  // Save as PNG proposes the row's PNG name and writes what the PNG export
  // writes for it. The open archive, chosen as the name, is refused with the
  // stop icon and stays whole.
  void saveWritesThePngOfTheRowAndReportsAFailure() {
    ViewerWindow w;
    app::SpriteViewer& viewer = w.OpenOn(1);
    w.user.fileAnswers = {Q(w.out / "mine.png"), Q(w.dir / "USER.sff")};
    Press(viewer, "cmdSavePng");
    const ui::FileDialogRequest& request = w.user.fileDialogs.back();
    QCOMPARE(request.mode, ui::FileDialogMode::kSave);
    QCOMPARE(request.fileName, QStringLiteral("USER_00001_00001.png"));
    QVERIFY(request.confirmOverwrite);
    const sff::Archive& archive = *w.window.archive();
    const auto decoded = exporter::DecodeSprite(archive, archive.RecordOfRow(1));
    QVERIFY(decoded.has_value());
    const Bytes written = ReadBytes(w.out / "mine.png");
    QCOMPARE(std::string(written.begin(), written.end()), image::EncodeIndexedPng(*decoded, image::kPngLevel));
    QVERIFY(w.user.messages.empty());

    const Bytes original = ReadBytes(w.dir / "USER.sff");
    Press(viewer, "cmdSavePng");
    VerifyOneMessage(w.user, ui::MsgStyle::kStop,
                     Q("ファイルを書き込めません。\r\n" + w.dir / "USER.sff" +
                       "\r\n開いているSFFファイルそのものなので、上書きできません。"));
    QCOMPARE(ReadBytes(w.dir / "USER.sff"), original);
  }

  // A new archive puts an open viewer on its first row; a refused one leaves
  // it with nothing to show.
  void aNewLoadMovesTheViewerAlong() {
    ViewerWindow w;
    app::SpriteViewer& viewer = w.OpenOn(3);
    SffBuilder b;
    b.Add({.group = 7, .item = 3, .palFlag = 0, .payload = MakePcx(2, 2, PatternPixels(2, 2, 9), &kOwnPalette)});
    OpenThroughWindow(w.window, w.user, w.dir, "NEXT.sff", b.Build());
    QCOMPARE(w.list().currentIndex().row(), 0);
    QCOMPARE(viewer.windowTitle(), QStringLiteral("NEXT_00007_00003.pcx - スプライトの表示"));
    QVERIFY(Status(viewer).startsWith(QStringLiteral("1 行目（全 1 行）　グループ番号 7　イメージ番号 3")));

    OpenThroughWindow(w.window, w.user, w.dir, "BAD.sff", Bytes(10, 0));
    QCOMPARE(w.user.messages.size(), std::size_t{1});  // the refusal, from the main window
    QCOMPARE(LabelText(viewer, "lblMessage"), QStringLiteral("表示するスプライトがありません。"));
    QVERIFY(!Child<QPushButton>(viewer, "cmdSavePng").isEnabled());
  }
};

PELVARO_GUI_TEST(SpriteViewerTest);

#include "sprite_viewer_test.moc"
