// Open SFF through the real window: what Cancel leaves alone, the labels and
// list after a load, the palette question and refusals.

#include "sff/message_box.h"
#include "tests/gui/gui_test_registry.h"
#include "tests/gui/gui_test_support.h"
#include "text/native_path.h"

#include <QPushButton>
#include <QTest>
#include <QTreeView>

using namespace pelvaro;
using namespace pelvaro::testing;

namespace {

Bytes NotSharedPaletteArchive() {
  SffBuilder b;
  b.PaletteType(0);
  b.Add({.group = 1, .item = 0, .palFlag = 0, .payload = MakePcx(2, 2, PatternPixels(2, 2, 5), nullptr)});
  return b.Build();
}

}  // namespace

class OpenCommandTest : public QObject {
  Q_OBJECT

 private slots:
  // A load fills both labels and the list; a cancelled Open leaves them alone.
  void loadFillsBothLabelsAndTheListAndCancelKeepsThem() {
    OpenedWindow w;
    QCOMPARE(w.window.lblSffName->text(), QStringLiteral("USER.sff"));
    QCOMPARE(w.window.lblImage->text(), QStringLiteral("3"));
    QCOMPARE(w.window.State().SffBase, std::string("USER"));
    QCOMPARE(w.window.State().SpriteInfo.size(), std::size_t{3});
    const auto rows = ListRows(w.window);
    QCOMPARE(rows.size(), std::size_t{3});
    QCOMPARE(rows[1], (std::vector<QString>{"02", "0", "0", "1", "00000000000", "0", "USER_00000_00000.pcx"}));
    QVERIFY(w.user.messages.empty());
    QVERIFY(!PointerOverridden());

    const auto bytes = w.window.State().SffBytes;
    w.user.fileAnswers.push_back(std::nullopt);
    w.window.cmdSffOpen->click();
    // The next dialog starts where this archive was found.
    QCOMPARE(w.user.fileDialogs.back().directory, Q(w.dir.path()));
    QCOMPARE(w.window.lblSffName->text(), QStringLiteral("USER.sff"));
    QCOMPARE(w.window.lblImage->text(), QStringLiteral("3"));
    QCOMPARE(ListRows(w.window), rows);
    QVERIFY(w.window.State().SffBytes == bytes);
    QCOMPARE(w.window.State().SffBase, std::string("USER"));
    QVERIFY(w.user.messages.empty());
    QVERIFY(!PointerOverridden());
  }

  void secondArchiveReplacesTheFirst() {
    OpenedWindow w;
    SffBuilder b;
    b.Add({.group = 7, .item = 3, .palFlag = 0, .payload = MakePcx(2, 2, PatternPixels(2, 2, 9), nullptr)});
    OpenThroughWindow(w.window, w.user, w.dir, "テスト.sff", b.Build());
    QCOMPARE(w.window.lblSffName->text(), QStringLiteral("テスト.sff"));
    QCOMPARE(w.window.lblImage->text(), QStringLiteral("1"));
    QCOMPARE(w.window.State().SffBase, std::string("テスト"));
    const auto rows = ListRows(w.window);
    QCOMPARE(rows.size(), std::size_t{1});
    QCOMPARE(rows[0][6], QStringLiteral("テスト_00007_00003.pcx"));
  }

  void paletteQuestionIsAskedUnderTheBusyPointer() {
    ScriptedInteraction user;
    TempDir dir;
    app::frmMain window;
    OpenThroughWindow(window, user, dir, "OTHER.sff", NotSharedPaletteArchive(), mb::kAnswerNo);
    QCOMPARE(user.messages.size(), std::size_t{1});
    QCOMPARE(user.messages[0].style, mb::kYesNoStopDefaultNo);
    QVERIFY(user.messages[0].text.startsWith(QStringLiteral("このSFFファイルは共有パレットモードではありません。")));
    QVERIFY(user.messages[0].busy);
    QCOMPARE(window.lblSffName->text(), QString());
    QCOMPARE(window.lblImage->text(), QString());
    QCOMPARE(window.lstFiles->model()->rowCount(), 0);
    QVERIFY(!PointerOverridden());

    OpenThroughWindow(window, user, dir, "OTHER.sff", NotSharedPaletteArchive(), mb::kAnswerYes);
    QCOMPARE(window.lblSffName->text(), QStringLiteral("OTHER.sff"));
    QCOMPARE(window.lstFiles->model()->rowCount(), 1);
    QVERIFY(!PointerOverridden());
    QCOMPARE(user.unscripted, 0);
  }

  // A damaged archive, or one gone before it is read: one stop-icon message,
  // and nothing of the archive before stays.
  void refusalsEmptyTheWindowWithTheStopIcon() {
    OpenedWindow w;
    SffBuilder broken;
    broken.ImageCount(99).Add({.group = 1, .payload = MakePcx(2, 2, PatternPixels(2, 2, 1), nullptr)});
    OpenThroughWindow(w.window, w.user, w.dir, "BROKEN.sff", broken.Build());
    w.user.fileAnswers.push_back(Q(w.dir / "GONE.sff"));
    w.window.cmdSffOpen->click();
    QCOMPARE(w.user.messages.size(), std::size_t{2});
    QCOMPARE(w.user.messages[0].style, mb::kStop);
    QVERIFY(w.user.messages[0].text.contains(QStringLiteral("SFFファイルが壊れているため、読み込めません。")));
    QCOMPARE(w.user.messages[1].style, mb::kStop);
    QVERIFY(w.user.messages[1].text.contains(Q(w.dir / "GONE.sff")));
    QCOMPARE(w.window.lblSffName->text(), QString());
    QCOMPARE(w.window.lblImage->text(), QString());
    QCOMPARE(w.window.lstFiles->model()->rowCount(), 0);
    QVERIFY(w.window.State().SpriteInfo.empty());
    QVERIFY(!PointerOverridden());
  }
};

PELVARO_GUI_TEST(OpenCommandTest);

#include "open_command_test.moc"
