// Make Text through the real window: the save dialog's settings, the names of
// the two files, Cancel and failures.

#include "sff/message_box.h"
#include "tests/gui/gui_test_registry.h"
#include "tests/gui/gui_test_support.h"

#include <QPushButton>
#include <QTest>


using namespace pelvaro;
using namespace pelvaro::testing;

namespace {
const QString kDone = QStringLiteral("SFF 作成用テキストファイル、及びバッチファイルが出力されました。");
}

class MakeTextCommandTest : public QObject {
  Q_OBJECT

 private slots:
  // Cancel writes nothing; the proposal is the stem's on every run.
  void dialogProposesTheStemAndCancelWritesNothing() {
    OpenedWindow w;
    w.user.fileAnswers.push_back(std::nullopt);
    w.window.cmdText->click();
    const ui::FileDialogRequest& r = w.user.fileDialogs.back();
    QCOMPARE(r.mode, ui::FileDialogMode::kSave);
    QCOMPARE(r.title, QStringLiteral("Act File Save"));
    QCOMPARE(r.fileName, QStringLiteral("USER_SFF.txt"));
    QCOMPARE(r.nameFilters, QStringList{QStringLiteral("txt Files(*.txt)")});
    QVERIFY(r.confirmOverwrite);
    QCOMPARE(w.window.cdl1.Flags, ui::cdl::kOverwritePrompt + ui::cdl::kHideReadOnly);
    QCOMPARE(w.dir.Entries(), std::vector<std::string>{"USER.sff"});
    QVERIFY(w.user.messages.empty());
    QVERIFY(!PointerOverridden());

    w.user.fileAnswers.push_back(Q(w.out / "another.txt"));
    w.window.cmdText->click();
    w.user.fileAnswers.push_back(std::nullopt);
    w.window.cmdText->click();
    QCOMPARE(w.user.fileDialogs.back().fileName, QStringLiteral("USER_SFF.txt"));
  }

  // The names themselves are MakeTextNames' (definition_text_test.cpp); here
  // the command writes both files under them and says so once.
  void okWritesTheTextAndItsBatchFile() {
    OpenedWindow w;
    w.user.fileAnswers.push_back(Q(w.out / "foo.txt"));
    w.window.cmdText->click();
    QCOMPARE(w.out.Entries(), (std::vector<std::string>{"foo.txt", "fooBuild.bat"}));
    const Bytes bat = ReadBytes(w.out / "fooBuild.bat");
    QVERIFY(std::string(bat.begin(), bat.end()).find("< foo.txt >") != std::string::npos);
    VerifyOneMessage(w.user, mb::kInformation, kDone);
    QCOMPARE(w.user.messages[0].text, kDone);
  }

  void dialogStartsInTheLastOutputFolder() {
    OpenedWindow w;
    w.user.fileAnswers.push_back(std::nullopt);
    w.window.cmdText->click();
    QCOMPARE(w.user.fileDialogs.back().directory, Q(w.dir.path()));  // no export yet: where the archive came from
    w.user.modalScripts.push_back(ChooseFolder(w.out.path()));
    w.window.cmdPCX->click();
    w.user.fileAnswers.push_back(std::nullopt);
    w.window.cmdText->click();
    QCOMPARE(w.user.fileDialogs.back().directory, Q(w.out.path()));
  }

  void failedWriteIsReportedWithTheStopIcon() {
    OpenedWindow w;
    const QString target = Q(w.out / "missing") + QStringLiteral("/USER_SFF.txt");
    w.user.fileAnswers.push_back(target);
    w.window.cmdText->click();
    VerifyOneMessage(w.user, mb::kStop, QStringLiteral("ファイルを書き込めません。"));
    QVERIFY(w.user.messages[0].text.contains(target));
    QVERIFY(w.out.Entries().empty());
  }
};

PELVARO_GUI_TEST(MakeTextCommandTest);

#include "make_text_command_test.moc"
