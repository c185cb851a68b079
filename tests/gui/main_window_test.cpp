// The main window through its Open command: the loaded archive as the list's
// Qt model shows it, the palette question, a declined load and refusals.

#include "tests/gui/gui_test_support.h"

#include <QHeaderView>

#include <cerrno>
#include <cstring>

using namespace pelvaro;
using namespace pelvaro::testing;

namespace {

// One sprite in an archive that is not in shared palette mode.
Bytes NotSharedPaletteArchive() {
  SffBuilder b;
  b.PaletteType(0).Add({.group = 1, .palFlag = 0, .payload = MakePcx(2, 2, PatternPixels(2, 2, 5), nullptr)});
  return b.Build();
}

const QString kPaletteQuestion = QStringLiteral(
    "このSFFファイルは共有パレットモードではありません。\r\nこのSFFを正しくデコードすることは出来ません。\r\n\r\n"
    "デコード結果から、正しくSFFを再構築出来る保証はありません。\r\n処理を続行しますか？");

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void listShowsTheArchiveInTheLoadersOrder() {
    OpenedWindow w;
    QCOMPARE(LabelText(w.window, "lblSffName"), QStringLiteral("USER.sff"));
    QCOMPARE(LabelText(w.window, "lblImage"), QStringLiteral("3"));
    // The palette source 0/0 uses the shared palette once loaded; the portrait heads the list.
    QCOMPARE(ListRows(w.window), (std::vector<std::vector<QString>>{
                                     {"01", "9000", "0", "0", " 0000000000", "2", "USER_09000_00000.pcx"},
                                     {"02", "0", "0", "1", "00000000000", "0", "USER_00000_00000.pcx"},
                                     {"03", "0", "1", "1", "00000000001", "1", "USER_00000_00001.pcx"},
                                 }));
  }


  // The loader's order is the export order; a header click must not re-sort it.
  void headerClicksKeepTheLoadersOrder() {
    OpenedWindow w;
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    const auto before = ListRows(w.window);
    QHeaderView* header = Child<QTreeView>(w.window, "lstFiles").header();
    for (int column : {1, 6, 6}) {
      const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
      QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
      QCOMPARE(ListRows(w.window), before);
    }
  }

  // Asked while the archive is being read, so under the busy pointer, with the
  // archive before still shown. No drops that archive and loads nothing; Yes loads.
  void paletteQuestionDecidesTheLoad() {
    OpenedWindow w;
    w.user.messageAnswers = {ui::Answer::kNo, ui::Answer::kYes};
    OpenThroughWindow(w.window, w.user, w.dir, "OTHER.sff", NotSharedPaletteArchive());
    VerifyOneMessage(w.user, ui::MsgStyle::kYesNoStopDefaultNo, kPaletteQuestion, true);
    QCOMPARE(w.user.messages[0].listRows, 3);
    VerifyNothingShown(w.window);

    OpenThroughWindow(w.window, w.user, w.dir, "OTHER.sff", NotSharedPaletteArchive());
    QCOMPARE(w.user.messages.size(), std::size_t{2});
    QCOMPARE(LabelText(w.window, "lblSffName"), QStringLiteral("OTHER.sff"));
    QCOMPARE(ListRows(w.window).size(), std::size_t{1});
    QCOMPARE(w.user.unscripted, 0);
  }

  // A file gone before it is read: the stop icon, and the archive before is dropped.
  void openRefusalEmptiesTheWindow() {
    OpenedWindow w;
    w.user.fileAnswers.push_back(Q(w.dir / "GONE.sff"));
    Click(w.window, "cmdSffOpen");
    VerifyOneMessage(w.user, ui::MsgStyle::kStop,
                     Q("ファイルを読み込めません。\r\n" + w.dir / "GONE.sff" + "\r\n" + std::strerror(ENOENT)), true);
    QCOMPARE(w.user.messages[0].listRows, 0);
    VerifyNothingShown(w.window);
  }
};

PELVARO_GUI_TEST(MainWindowTest);

#include "main_window_test.moc"
