// The main window through its Open command: the loaded table as the list's Qt
// model shows it, the palette question and a refusal.

#include "sff/load_sff.h"
#include "tests/gui/gui_test_support.h"

#include <QHeaderView>

#include <cerrno>
#include <cstring>

using namespace pelvaro;
using namespace pelvaro::testing;

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void listShowsTheTableAndANewLoadReplacesIt() {
    OpenedWindow w;
    QCOMPARE(w.window.lblSffName->text(), QStringLiteral("USER.sff"));
    QCOMPARE(w.window.lblImage->text(), QStringLiteral("3"));
    auto rows = ListRows(w.window);
    QCOMPARE(rows.size(), std::size_t{3});
    QCOMPARE(rows[1], (std::vector<QString>{"02", "0", "0", "1", "00000000000", "0", "USER_00000_00000.pcx"}));
    for (std::size_t r = 0; r < 3; ++r)
      for (std::size_t c = 0; c < 7; ++c) QCOMPARE(rows[r][c], Q(w.window.Table().Text(int(r) + 1, int(c))));

    SffBuilder b;
    b.Add({.group = 7, .item = 3, .palFlag = 0, .payload = MakePcx(2, 2, PatternPixels(2, 2, 9), nullptr)});
    OpenThroughWindow(w.window, w.user, w.dir, "テスト.sff", b.Build());
    QCOMPARE(w.user.fileDialogs.back().directory, Q(w.dir.path()));  // opens where the last archive was
    QCOMPARE(w.window.lblSffName->text(), QStringLiteral("テスト.sff"));
    QCOMPARE(w.window.lblImage->text(), QStringLiteral("1"));
    rows = ListRows(w.window);
    QCOMPARE(rows.size(), std::size_t{1});
    QCOMPARE(rows[0][6], QStringLiteral("テスト_00007_00003.pcx"));
    QVERIFY(w.user.messages.empty());
  }

  // The loader's order is the export order; a header click must not re-sort it.
  void headerClicksKeepTheLoadersOrder() {
    OpenedWindow w;
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    const auto before = ListRows(w.window);
    QHeaderView* header = w.window.lstFiles->header();
    for (int column : {1, 6, 6}) {
      const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
      QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
      QCOMPARE(ListRows(w.window), before);
    }
  }

  // Asked while the archive is being read, so under the busy pointer; No loads nothing.
  void paletteQuestionDecidesTheLoad() {
    ScriptedInteraction user;
    TempDir dir;
    app::frmMain window;
    SffBuilder b;
    b.PaletteType(0).Add({.group = 1, .palFlag = 0, .payload = MakePcx(2, 2, PatternPixels(2, 2, 5), nullptr)});
    user.messageAnswers = {mb::kAnswerNo, mb::kAnswerYes};
    OpenThroughWindow(window, user, dir, "OTHER.sff", b.Build());
    QCOMPARE(user.messages.size(), std::size_t{1});
    QCOMPARE(user.messages[0].style, mb::kYesNoStopDefaultNo);
    QCOMPARE(user.messages[0].text, Q(sff::kSharedPaletteWarning));
    QVERIFY(user.messages[0].busy);
    QCOMPARE(window.lblSffName->text(), QString());
    QCOMPARE(window.lstFiles->model()->rowCount(), 0);
    QVERIFY(!PointerOverridden());

    OpenThroughWindow(window, user, dir, "OTHER.sff", b.Build());
    QCOMPARE(user.messages.size(), std::size_t{2});
    QCOMPARE(window.lblSffName->text(), QStringLiteral("OTHER.sff"));
    QCOMPARE(window.lstFiles->model()->rowCount(), 1);
    QCOMPARE(user.unscripted, 0);
  }

  // A file gone before it is read: the stop icon, and the archive before is dropped.
  void openRefusalEmptiesTheWindow() {
    OpenedWindow w;
    w.user.fileAnswers.push_back(Q(w.dir / "GONE.sff"));
    w.window.cmdSffOpen->click();
    VerifyOneMessage(w.user, mb::kStop,
                     Q("ファイルを読み込めません。\r\n" + w.dir / "GONE.sff" + "\r\n" + std::strerror(ENOENT)), true);
    QCOMPARE(w.window.lblSffName->text(), QString());
    QCOMPARE(w.window.lblImage->text(), QString());
    QCOMPARE(w.window.lstFiles->model()->rowCount(), 0);
  }
};

PELVARO_GUI_TEST(MainWindowTest);

#include "main_window_test.moc"
