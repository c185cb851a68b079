// The main window through its Open command: the loaded archive as the list's
// Qt model shows it, and the palette question deciding the load.

#include "tests/gui/gui_test_support.h"

#include <QHeaderView>

using namespace pelvaro;
using namespace pelvaro::testing;

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  // The palette source 0/0 uses the shared palette once loaded; the portrait
  // heads the list. That order is the export order: a header click must not re-sort it.
  void headerClicksKeepTheLoadersOrder() {
    OpenedWindow w;
    QCOMPARE(LabelText(w.window, "lblSffName"), QStringLiteral("USER.sff"));
    QCOMPARE(LabelText(w.window, "lblImage"), QStringLiteral("3"));
    const std::vector<std::vector<QString>> rows{
        {"01", "9000", "0", "0", " 0000000000", "2", "USER_09000_00000.pcx"},
        {"02", "0", "0", "1", "00000000000", "0", "USER_00000_00000.pcx"},
        {"03", "0", "1", "1", "00000000001", "1", "USER_00000_00001.pcx"}};
    QCOMPARE(ListRows(w.window), rows);
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    QHeaderView* header = Child<QTreeView>(w.window, "lstFiles").header();
    for (int column : {1, 6, 6}) {
      const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
      QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
      QCOMPARE(ListRows(w.window), rows);
    }
  }

  // Asked while the archive is being read, so under the busy pointer, with the
  // archive before still shown. No drops that archive and loads nothing; Yes loads.
  void paletteQuestionDecidesTheLoad() {
    OpenedWindow w;
    SffBuilder b;
    b.PaletteType(0).Add({.group = 1, .palFlag = 0, .payload = MakePcx(2, 2, PatternPixels(2, 2, 5), nullptr)});
    w.user.messageAnswers = {ui::Answer::kNo, ui::Answer::kYes};
    OpenThroughWindow(w.window, w.user, w.dir, "OTHER.sff", b.Build());
    VerifyOneMessage(w.user, ui::MsgStyle::kYesNoStopDefaultNo,
                     QStringLiteral("このSFFファイルは共有パレットモードではありません。\r\n"
                                    "このSFFを正しくデコードすることは出来ません。\r\n\r\n"
                                    "デコード結果から、正しくSFFを再構築出来る保証はありません。\r\n処理を続行しますか？"),
                     true);
    QCOMPARE(w.user.messages[0].listRows, 3);
    VerifyNothingShown(w.window);

    w.user.fileAnswers.push_back(Q(w.dir / "OTHER.sff"));
    Click(w.window, "cmdSffOpen");
    QCOMPARE(w.user.messages.size(), std::size_t{2});
    QCOMPARE(LabelText(w.window, "lblSffName"), QStringLiteral("OTHER.sff"));
    QCOMPARE(ListRows(w.window).size(), std::size_t{1});
    QCOMPARE(w.user.unscripted, 0);
  }
};

PELVARO_GUI_TEST(MainWindowTest);

#include "main_window_test.moc"
