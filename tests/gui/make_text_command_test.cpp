// Make Text through the real window: the save dialog's settings, the names of
// the two files, Cancel and failures.

#include "sff/message_box.h"
#include "tests/gui/gui_test_registry.h"
#include "tests/gui/gui_test_support.h"

#include <QPushButton>
#include <QTest>

#include <algorithm>

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

  void batchNameIsDerivedFromTheChosenName_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("batch");
    QTest::newRow("proposal") << "USER_SFF.txt" << "USER_SFFBuild.bat";
    QTest::newRow("other name") << "foo.txt" << "fooBuild.bat";
    QTest::newRow("five-letter extension") << "data.text" << "data.Build.bat";
    QTest::newRow("four bytes") << "abcd" << "Build.bat";
    QTest::newRow("full-width") << "テスト.txt" << "テストBuild.bat";
  }

  void batchNameIsDerivedFromTheChosenName() {
    QFETCH(QString, chosen);
    QFETCH(QString, batch);
    OpenedWindow w;
    w.user.fileAnswers.push_back(Q(w.out.path()) + chosen);
    w.window.cmdText->click();
    std::vector<std::string> expected{batch.toStdString(), chosen.toStdString()};
    std::sort(expected.begin(), expected.end());
    QCOMPARE(w.out.Entries(), expected);
    // The batch names the text by its bare name (its bytes are CP932, so look for ASCII names only).
    const Bytes bat = ReadBytes(w.out.path() + batch.toStdString());
    const std::string batText(bat.begin(), bat.end());
    if (chosen.toLatin1() == chosen.toUtf8()) QVERIFY(batText.find("< " + chosen.toStdString() + " >") != std::string::npos);
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
