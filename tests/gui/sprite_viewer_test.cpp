// The sprite viewer from the real main window.

#include "app/sprite_canvas.h"
#include "app/sprite_viewer.h"
#include "export/png_export.h"
#include "image/png_writer.h"
#include "tests/gui/gui_test_support.h"

#include <QAction>
#include <QClipboard>
#include <QScrollArea>
#include <QWheelEvent>

using namespace pelvaro;
using namespace pelvaro::testing;

namespace {

// USER.sff, shown: 1/0 (own palette, TestPalette(40), axis (1, 2)), 1/1 (shared, 5 x 2, axis (-30, 4)), 1/2
// (three planes, which the decoder refuses), 2/0 (linked to 1/1), and a header of zeros: 0/0 with no PCX name.
struct ViewerWindow {
  ViewerWindow() {
    const Palette own = TestPalette(40);
    const Bytes picture{0, 1, 2, 3, 4, 0, 5, 6, 7, 8, 0, 9};  // 4 x 3, index 0 at (0, 0), (1, 1) and (2, 2)
    Bytes threePlanes = MakePcx(4, 4, PatternPixels(4, 4, 8), nullptr);
    threePlanes.at(65) = 3;
    Bytes bytes = SffBuilder()
                      .ImageCount(5)
                      .Add({.group = 1, .item = 0, .axisX = 1, .axisY = 2, .payload = MakePcx(4, 3, picture, &own)})
                      .Add({.group = 1, .item = 1, .axisX = -30, .axisY = 4, .palFlag = 1,
                            .payload = MakePcx(5, 2, PatternPixels(5, 2, 2), nullptr)})
                      .Add({.group = 1, .item = 2, .palFlag = 1, .payload = threePlanes})
                      .Add({.group = 2, .item = 0, .link = 1, .palFlag = 1})
                      .Build();
    bytes.resize(bytes.size() + 32, 0);
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

QString Status(const QWidget& viewer) { return LabelText(viewer, "lblStatus"); }
QRgb Colour(int index) { return qRgb(index, 255 - index, 40 + index); }  // of TestPalette(40)

}  // namespace

class SpriteViewerTest : public QObject {
  Q_OBJECT

 private slots:
  // Opened by a double-click, the list's menu or Enter, it is one window that follows the list's current row and
  // every load; an undecodable row shows the decoder's reason inside, so no message box stops Up and Down.
  void followsTheListThroughEveryKindOfRowAndEveryLoad() {
    ViewerWindow w;
    QWidget* viewport = w.list().viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, w.RowCentre(1));
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, w.RowCentre(1));
    app::SpriteViewer& viewer = w.viewer();
    QVERIFY(viewer.isVisible());
    QCOMPARE(viewer.windowTitle(), QStringLiteral("USER_00001_00001.pcx - スプライトの表示"));
    viewer.close();

    emit w.list().customContextMenuRequested(w.RowCentre(0));
    Child<QWidget>(w.window, "mnuList").hide();
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
    QVERIFY(!Child<QAbstractButton>(viewer, "cmdSavePng").isEnabled());
    QVERIFY(!Child<QAbstractButton>(viewer, "cmdCopy").isEnabled());

    QTest::keyClick(&viewer, Qt::Key_Down);
    QCOMPARE(Status(viewer), QStringLiteral("4 行目（全 5 行）　グループ番号 2　イメージ番号 0　5 × 2 ピクセル　軸 (0, 0)"
                                            "　共有パレット　リンク先 2 行目"));
    QCOMPARE(viewer.windowTitle(), QStringLiteral("USER_00001_00001.pcx - スプライトの表示"));
    QTest::keyClick(&viewer, Qt::Key_Down);
    QTest::keyClick(&viewer, Qt::Key_Down);  // past the last row: stays there
    QCOMPARE(w.list().currentIndex().row(), 4);
    QCOMPARE(LabelText(viewer, "lblMessage"), QStringLiteral("この行には画像がありません。\nPCX名のない行です。"));
    QVERIFY(w.user.messages.empty());

    OpenThroughWindow(w.window, w.user, w.dir, "NEXT.sff",
                      SffBuilder().Add({.group = 7, .item = 3, .payload = MakePcx(1, 1, {1}, nullptr)}).Build());
    QCOMPARE(w.list().currentIndex().row(), 0);
    QCOMPARE(viewer.windowTitle(), QStringLiteral("NEXT_00007_00003.pcx - スプライトの表示"));
    QVERIFY(Status(viewer).startsWith(QStringLiteral("1 行目（全 1 行）　グループ番号 7　イメージ番号 3")));
    OpenThroughWindow(w.window, w.user, w.dir, "BAD.sff", Bytes(10, 0));
    QCOMPARE(w.user.messages.size(), std::size_t{1});  // the refusal, from the main window
    QCOMPARE(LabelText(viewer, "lblMessage"), QStringLiteral("表示するスプライトがありません。"));
    QCOMPARE(w.user.unscripted, 0);
  }

  // Fitted at first, the axis included; 1:1, +, - and Ctrl+wheel pick a zoom kept from row to row until Fit. Index 0
  // is shown over the checkerboard or in its colour, the axis crosshair drawn or not, both choices kept too.
  void zoomAndTogglesAreKeptFromRowToRow() {
    ViewerWindow w;
    app::SpriteViewer& viewer = w.OpenOn(1);
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    // 5 x 2 with the axis at (-30, 4): an area of 35 x 5 sprite pixels, in a margin of 8.
    const QSize room = Child<QScrollArea>(viewer, "scrSprite").maximumViewportSize();
    const int fitted = std::min((room.width() - 16) / 35, (room.height() - 16) / 5);
    app::SpriteCanvas& canvas = Child<app::SpriteCanvas>(viewer, "picSprite");
    QCOMPARE(canvas.zoom(), fitted);
    QVERIFY(Child<QAbstractButton>(viewer, "cmdFitWindow").isChecked());
    viewer.resize(viewer.width() - 200, viewer.height() - 200);
    QCoreApplication::processEvents();
    QVERIFY(canvas.zoom() < fitted);

    Click(viewer, "cmdActualSize");
    QCOMPARE(canvas.zoom(), 1);
    QVERIFY(!Child<QAbstractButton>(viewer, "cmdFitWindow").isChecked());
    for (Qt::Key key : {Qt::Key_Plus, Qt::Key_Plus, Qt::Key_Plus, Qt::Key_Minus}) QTest::keyClick(&viewer, key);
    for (const char* button : {"cmdZoomIn", "cmdZoomIn", "cmdZoomOut"}) Click(viewer, button);
    QCOMPARE(canvas.zoom(), 4);
    QWidget* port = Child<QScrollArea>(viewer, "scrSprite").viewport();
    for (const auto& [notch, held] : {std::pair{120, Qt::ControlModifier}, std::pair{120, Qt::ControlModifier},
                                      std::pair{-120, Qt::ControlModifier}, std::pair{120, Qt::NoModifier}}) {
      QWheelEvent wheel(QPointF(5, 5), port->mapToGlobal(QPointF(5, 5)), {}, QPoint(0, notch), Qt::NoButton, held,
                        Qt::NoScrollPhase, false);
      QCoreApplication::sendEvent(port, &wheel);
    }
    QTest::keyClick(&viewer, Qt::Key_Up);
    QCOMPARE(canvas.ContentSize(), QSize(4 * 6 + 16, 3 * 6 + 16));

    QImage drawn = canvas.grab().toImage();
    const auto screen = [&](int x, int y) { return canvas.PictureOrigin() + QPoint(x, y) * 6 + QPoint(3, 3); };
    const auto shown = [&](int x, int y) { return drawn.pixel(screen(x, y)) | 0xFF000000u; };
    const QRgb checker = shown(0, 0);
    QVERIFY(checker == app::SpriteCanvas::kCheckerLight || checker == app::SpriteCanvas::kCheckerDark);
    QCOMPARE(shown(3, 0), Colour(3));
    const QPoint axis = screen(1, 2);  // its row and column run across the margin
    QVERIFY(drawn.pixel(1, axis.y()) != app::SpriteCanvas::kBackground);
    QVERIFY(drawn.pixel(axis.x(), 1) != app::SpriteCanvas::kBackground);
    Click(viewer, "chkTransparent");
    Click(viewer, "chkAxis");
    drawn = canvas.grab().toImage();
    QCOMPARE(shown(0, 0), Colour(0));
    QCOMPARE(drawn.pixel(1, axis.y()), app::SpriteCanvas::kBackground);
    QCOMPARE(drawn.pixel(axis.x(), 1), app::SpriteCanvas::kBackground);

    Click(viewer, "cmdFitWindow");
    QVERIFY(canvas.zoom() > 6);
    QCOMPARE(LabelText(viewer, "lblZoom"), QString::number(canvas.zoom()) + QStringLiteral(" 倍"));
    QTest::keyClick(&viewer, Qt::Key_Down);
    QVERIFY(!Child<QAbstractButton>(viewer, "chkTransparent").isChecked());
    QVERIFY(!Child<QAbstractButton>(viewer, "chkAxis").isChecked());
  }

  // Save as PNG proposes the row's PNG name and writes the row's PNG; the open archive as the name is refused.
  // Copy gives the picture with index 0 transparent.
  void saveAndCopyTakeTheRowsPicture() {
    ViewerWindow w;
    app::SpriteViewer& viewer = w.OpenOn(1);
    w.user.fileAnswers = {Q(w.out / "mine.png"), Q(w.dir / "USER.sff")};
    Click(viewer, "cmdSavePng");
    const ui::FileDialogRequest& request = w.user.fileDialogs.back();
    QCOMPARE(request.mode, ui::FileDialogMode::kSave);
    QCOMPARE(request.fileName, QStringLiteral("USER_00001_00001.png"));
    QVERIFY(request.confirmOverwrite);
    const sff::Archive& archive = *w.window.archive();
    const Bytes written = ReadBytes(w.out / "mine.png");
    const image::IndexedImage decoded = *exporter::DecodeSprite(archive, archive.RecordOfRow(1));
    QCOMPARE(std::string(written.begin(), written.end()), image::EncodeIndexedPng(decoded, image::kPngLevel));
    QVERIFY(w.user.messages.empty());
    Click(viewer, "cmdSavePng");
    VerifyOneMessage(w.user, ui::MsgStyle::kStop,
                     Q("ファイルを書き込めません。\n" + w.dir / "USER.sff" +
                       "\n開いているSFFファイルそのものなので、上書きできません。"));

    QTest::keyClick(&viewer, Qt::Key_Up);
    Click(viewer, "cmdCopy");
    const QImage copied = QGuiApplication::clipboard()->image();
    QCOMPARE(copied.size(), QSize(4, 3));
    QCOMPARE(qAlpha(copied.pixel(1, 1)), 0);
    QCOMPARE(copied.pixel(3, 2), Colour(9));
  }
};

PELVARO_GUI_TEST(SpriteViewerTest);

#include "sprite_viewer_test.moc"
