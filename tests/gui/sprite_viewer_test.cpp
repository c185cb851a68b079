// The sprite viewer from the real main window.

#include "app/sprite_canvas.h"
#include "app/sprite_viewer.h"
#include "export/png_export.h"
#include "image/png_writer.h"
#include "tests/gui/gui_test_support.h"
#include "tests/support/system_reasons.h"

#include <QCheckBox>
#include <QClipboard>
#include <QScrollArea>
#include <QToolButton>

using namespace pelvaro;
using namespace pelvaro::testing;

namespace {

const Palette kOwnPalette = TestPalette(40);
// 4 x 3, index 0 at (0, 0), (1, 1) and (2, 2).
const Bytes kPicture{0, 1, 2, 3, 4, 0, 5, 6, 7, 8, 0, 9};

// A picture of 24-bit colour (three planes), which the decoder refuses.
Bytes ThreePlanePcx() {
  Bytes file = MakePcx(4, 4, PatternPixels(4, 4, 8), nullptr);
  file.at(65) = 3;
  return file;
}

const QString kThreePlaneReason = QStringLiteral(
    "PCX画像を読み込めません。\n1 ピクセル 8 ビット、3 プレーンの画像（フルカラー）には対応していません。\n"
    "読み込めるのは 256 色（8 ビット、1 プレーン）の画像だけです。");

// USER.sff, shown: rows 1/0 (own palette, the palette source, axis (1, 2)),
// 1/1 (shared, 5 x 2, axis (-3, 4)), 1/2 (three planes), 2/0 (linked to 1/1),
// and 0/0, never reached by the chain: no image.
struct ViewerWindow {
  ViewerWindow() {
    SffBuilder b;
    b.ImageCount(5);
    b.Add({.group = 1, .item = 0, .axisX = 1, .axisY = 2, .palFlag = 0, .payload = MakePcx(4, 3, kPicture, &kOwnPalette)});
    b.Add({.group = 1, .item = 1, .axisX = -3, .axisY = 4, .palFlag = 1,
           .payload = MakePcx(5, 2, PatternPixels(5, 2, 2), nullptr)});
    b.Add({.group = 1, .item = 2, .palFlag = 1, .payload = ThreePlanePcx()});
    b.Add({.group = 2, .item = 0, .link = 1, .palFlag = 1});
    Bytes bytes = b.Build();
    bytes.resize(bytes.size() + 32, 0);
    OpenThroughWindow(window, user, dir, "USER.sff", bytes);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) throw std::runtime_error("the main window was not shown");
  }

  QTreeView& list() { return Child<QTreeView>(window, "lstFiles"); }
  int currentRow() { return list().currentIndex().row(); }
  void SelectRow(int row) { list().setCurrentIndex(list().model()->index(row, 1)); }
  QPoint RowCentre(int row) { return list().visualRect(list().model()->index(row, 1)).center(); }

  // The viewer, after it has been opened.
  app::SpriteViewer& viewer() { return Child<app::SpriteViewer>(window, "frmSpriteViewer"); }
  app::SpriteViewer& OpenOn(int row) {
    SelectRow(row);
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
bool ShowsMessage(const QWidget& viewer) { return Child<QLabel>(viewer, "lblMessage").isVisible(); }

void CtrlWheel(QWidget& viewer, int angle) {
  QWidget* viewport = Child<QScrollArea>(viewer, "scrSprite").viewport();
  const QPointF at(viewport->rect().center());
  QWheelEvent wheel(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton, Qt::ControlModifier,
                    Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(viewport, &wheel);
}

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
  // A double-click and Enter both open it; it is one window, which follows
  // the list's current row however that is chosen, Up and Down from either.
  void opensByDoubleClickAndEnterAndFollowsTheList() {
    ViewerWindow w;
    QWidget* viewport = w.list().viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, w.RowCentre(1));
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, w.RowCentre(1));
    app::SpriteViewer& viewer = w.viewer();
    QVERIFY(viewer.isVisible());
    QCOMPARE(viewer.windowTitle(), QStringLiteral("USER_00001_00001.pcx - スプライトの表示"));
    viewer.close();

    w.OpenOn(0);
    QCOMPARE(w.window.findChildren<app::SpriteViewer*>().size(), 1);
    QCOMPARE(Status(viewer), QStringLiteral("1 行目（全 5 行）　グループ番号 1　イメージ番号 0　4 × 3 ピクセル　軸 (1, 2)"
                                            "　共有パレット"));
    QTest::keyClick(&w.list(), Qt::Key_Down);
    QVERIFY(Status(viewer).startsWith(QStringLiteral("2 行目")));
    // The linked row names the row whose image it shows.
    QTest::keyClick(&viewer, Qt::Key_Down);
    QTest::keyClick(&viewer, Qt::Key_Down);
    QCOMPARE(Status(viewer), QStringLiteral("4 行目（全 5 行）　グループ番号 2　イメージ番号 0　5 × 2 ピクセル　軸 (0, 0)"
                                            "　共有パレット　リンク先 2 行目"));
    QCOMPARE(viewer.windowTitle(), QStringLiteral("USER_00001_00001.pcx - スプライトの表示"));
    // The last row has no image; Down there stays on it.
    QTest::keyClick(&viewer, Qt::Key_Down);
    QTest::keyClick(&viewer, Qt::Key_Down);
    QCOMPARE(w.currentRow(), 4);
    QCOMPARE(LabelText(viewer, "lblMessage"), QStringLiteral("この行には画像がありません。\nPCX名のない行です。"));
    QVERIFY(w.user.messages.empty());
    QCOMPARE(w.user.unscripted, 0);
  }

  // Fitted at first; +, -, 1:1 and Ctrl+wheel pick a zoom kept until Fit.
  void zoomFitsTheWindowUntilOneIsPicked() {
    ViewerWindow w;
    app::SpriteViewer& viewer = w.OpenOn(1);
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    viewer.resize(500, 360);
    QCoreApplication::processEvents();
    auto& canvas = Child<app::SpriteCanvas>(viewer, "picSprite");
    auto& area = Child<QScrollArea>(viewer, "scrSprite");
    // 5 x 2 with the axis at (-3, 4): an area of 8 x 5 sprite pixels.
    const QSize room = area.maximumViewportSize();
    const int fitted = std::min((room.width() - 16) / 8, (room.height() - 16) / 5);
    QCOMPARE(Zoom(viewer), std::min(fitted, 32));
    QVERIFY(Child<QToolButton>(viewer, "cmdFitWindow").isChecked());
    viewer.resize(400, 300);
    QCoreApplication::processEvents();
    QVERIFY(Zoom(viewer) < fitted);

    Press(viewer, "cmdActualSize");
    QCOMPARE(Zoom(viewer), 1);
    QVERIFY(!Child<QToolButton>(viewer, "cmdFitWindow").isChecked());
    for (Qt::Key key : {Qt::Key_Plus, Qt::Key_Plus, Qt::Key_Plus, Qt::Key_Minus}) QTest::keyClick(&viewer, key);
    Press(viewer, "cmdZoomIn");
    QCOMPARE(Zoom(viewer), 4);
    CtrlWheel(viewer, 120);
    QCOMPARE(Zoom(viewer), 6);
    CtrlWheel(viewer, -120);
    Press(viewer, "cmdZoomOut");
    QCOMPARE(Zoom(viewer), 3);
    // A picked zoom stays from row to row.
    QTest::keyClick(&viewer, Qt::Key_Up);
    QCOMPARE(canvas.ContentSize(), QSize(4 * 3 + 16, 3 * 3 + 16));
    Press(viewer, "cmdFitWindow");
    QVERIFY(Zoom(viewer) > 3);
    QCOMPARE(LabelText(viewer, "lblZoom"), QString::number(Zoom(viewer)) + QStringLiteral(" 倍"));
  }

  // Index 0 over the checkerboard or in its colour; the axis crosshair or none.
  void togglesTurnTransparencyAndTheAxisOff() {
    ViewerWindow w;
    app::SpriteViewer& viewer = w.OpenOn(0);
    Press(viewer, "cmdActualSize");
    for (int i = 0; i < 3; ++i) QTest::keyClick(&viewer, Qt::Key_Plus);  // zoom 4
    QCOMPARE(Zoom(viewer), 4);

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
    QVERIFY(!Child<QCheckBox>(viewer, "chkTransparent").isChecked());
    drawn = Drawn(viewer);
    QCOMPARE(shown(0, 0), Colour(kOwnPalette, 0));
    QCOMPARE(drawn.pixel(1, axis.y()), app::SpriteCanvas::kBackground);
    QCOMPARE(drawn.pixel(axis.x(), 1), app::SpriteCanvas::kBackground);
    // Both stay off from row to row.
    QTest::keyClick(&viewer, Qt::Key_Down);
    QVERIFY(!Child<QCheckBox>(viewer, "chkAxis").isChecked());
  }

  // Save as PNG proposes the row's PNG name and writes what the PNG export
  // writes for it; a failure is told with the stop icon; Cancel does nothing.
  void saveWritesThePngOfTheRowAndReportsAFailure() {
    ViewerWindow w;
    app::SpriteViewer& viewer = w.OpenOn(1);
    w.user.fileAnswers.push_back(Q(w.out / "mine.png"));
    Press(viewer, "cmdSavePng");
    const ui::FileDialogRequest& request = w.user.fileDialogs.back();
    QCOMPARE(request.mode, ui::FileDialogMode::kSave);
    QCOMPARE(request.fileName, QStringLiteral("USER_00001_00001.png"));
    QVERIFY(request.confirmOverwrite);
    const sff::Archive& archive = *w.window.archive();
    const auto decoded = exporter::DecodeSprite(archive, archive.RecordOfRow(1));
    QVERIFY(decoded.has_value());
    const std::string expected = image::EncodeIndexedPng(*decoded, image::kPngLevel);
    const Bytes written = ReadBytes(w.out / "mine.png");
    QCOMPARE(std::string(written.begin(), written.end()), expected);
    QVERIFY(w.user.messages.empty());

    WriteBytes(w.out / "file", Bytes{1});
    const std::string target = w.out / "file/x.png";
    w.user.fileAnswers.push_back(Q(target));
    Press(viewer, "cmdSavePng");
    VerifyOneMessage(w.user, ui::MsgStyle::kStop,
                     Q("ファイルを書き込めません。\r\n" + target + "\r\n" + PathThroughFileReason()));
    QCOMPARE(w.out.Entries(), (std::vector<std::string>{"file", "mine.png"}));
  }

  // The open archive, chosen as the PNG's name, is refused and stays whole.
  void saveNeverReplacesTheOpenArchive() {
    ViewerWindow w;
    app::SpriteViewer& viewer = w.OpenOn(0);
    const Bytes original = ReadBytes(w.dir / "USER.sff");
    w.user.fileAnswers.push_back(Q(w.dir / "USER.sff"));
    Press(viewer, "cmdSavePng");
    VerifyOneMessage(w.user, ui::MsgStyle::kStop,
                     Q("ファイルを書き込めません。\r\n" + w.dir / "USER.sff" +
                       "\r\n開いているSFFファイルそのものなので、上書きできません。"));
    QCOMPARE(ReadBytes(w.dir / "USER.sff"), original);
  }

  // Copy puts the picture on the clipboard with its colours, index 0 transparent.
  void copyPutsThePictureOnTheClipboard() {
    ViewerWindow w;
    app::SpriteViewer& viewer = w.OpenOn(0);
    QGuiApplication::clipboard()->clear();
    Press(viewer, "cmdCopy");
    const QImage copied = QGuiApplication::clipboard()->image();
    QCOMPARE(copied.size(), QSize(4, 3));
    QCOMPARE(qAlpha(copied.pixel(1, 1)), 0);
    QCOMPARE(copied.pixel(3, 2), Colour(kOwnPalette, 9));
  }

  // A sprite that cannot be decoded shows the decoder's reason in the viewer;
  // no message box stops the stepping, and there is nothing to save or copy.
  void anUndecodableRowShowsItsReasonInside() {
    ViewerWindow w;
    app::SpriteViewer& viewer = w.OpenOn(2);
    QVERIFY(ShowsMessage(viewer));
    QCOMPARE(LabelText(viewer, "lblMessage"), kThreePlaneReason);
    QCOMPARE(Status(viewer), QStringLiteral("3 行目（全 5 行）　グループ番号 1　イメージ番号 2　読み込めない画像"
                                            "　軸 (0, 0)　パレットなし"));
    QVERIFY(!Child<QPushButton>(viewer, "cmdSavePng").isEnabled());
    QVERIFY(!Child<QPushButton>(viewer, "cmdCopy").isEnabled());
    QVERIFY(w.user.messages.empty());
  }

  // A new archive puts an open viewer on its first row; a refused one leaves
  // it with nothing to show.
  void aNewLoadMovesTheViewerAlong() {
    ViewerWindow w;
    app::SpriteViewer& viewer = w.OpenOn(3);
    SffBuilder b;
    b.Add({.group = 7, .item = 3, .palFlag = 0, .payload = MakePcx(2, 2, PatternPixels(2, 2, 9), &kOwnPalette)});
    OpenThroughWindow(w.window, w.user, w.dir, "NEXT.sff", b.Build());
    QCOMPARE(w.currentRow(), 0);
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
