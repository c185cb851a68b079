// Make Text through the real window: the save dialog's settings, the names of
// the two files, Cancel and failures.

#include "sff/message_box.h"
#include "tests/gui/gui_test_registry.h"
#include "tests/gui/gui_test_support.h"
#include "ui/frm_path.h"

#include <QLineEdit>
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
  void dialogProposesTheStemAndAsksBeforeReplacing() {
    ScriptedInteraction user;
    TempDir dir;
    app::frmMain window;
    OpenThroughWindow(window, user, dir, "USER.sff", ThreeSpriteArchive());
    user.fileAnswers.push_back(std::nullopt);
    window.cmdText->click();
    const ui::FileDialogRequest& r = user.fileDialogs.back();
    QCOMPARE(r.mode, ui::FileDialogMode::kSave);
    QCOMPARE(r.title, QStringLiteral("Act File Save"));
    QCOMPARE(r.fileName, QStringLiteral("USER_SFF.txt"));
    QCOMPARE(r.nameFilters, QStringList{QStringLiteral("txt Files(*.txt)")});
    QVERIFY(r.confirmOverwrite);
    QCOMPARE(window.cdl1.Flags, ui::cdl::kOverwritePrompt + ui::cdl::kHideReadOnly);
  }

  void cancelWritesNothing() {
    ScriptedInteraction user;
    TempDir dir, out;
    app::frmMain window;
    OpenThroughWindow(window, user, dir, "USER.sff", ThreeSpriteArchive());
    user.fileAnswers.push_back(std::nullopt);
    window.cmdText->click();
    QVERIFY(out.Entries().empty());
    QCOMPARE(dir.Entries(), std::vector<std::string>{"USER.sff"});
    QVERIFY(user.messages.empty());
    QVERIFY(!PointerOverridden());
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
    ScriptedInteraction user;
    TempDir dir, out;
    app::frmMain window;
    OpenThroughWindow(window, user, dir, "USER.sff", ThreeSpriteArchive());
    user.fileAnswers.push_back(Q(out.path()) + chosen);
    window.cmdText->click();
    std::vector<std::string> expected{batch.toStdString(), chosen.toStdString()};
    std::sort(expected.begin(), expected.end());
    QCOMPARE(out.Entries(), expected);
    // The batch names the text by its bare name (its bytes are CP932, so look for ASCII names only).
    const Bytes bat = ReadBytes(out.path() + batch.toStdString());
    const std::string batText(bat.begin(), bat.end());
    if (chosen.toLatin1() == chosen.toUtf8()) QVERIFY(batText.find("< " + chosen.toStdString() + " >") != std::string::npos);
    QCOMPARE(user.messages.size(), std::size_t{1});
    QCOMPARE(user.messages[0].text, kDone);
    QCOMPARE(user.messages[0].style, mb::kInformation);
    QVERIFY(!user.messages[0].busy);
    QVERIFY(!PointerOverridden());
  }

  void proposalComesFromTheStemOnEveryRun() {
    ScriptedInteraction user;
    TempDir dir, out;
    app::frmMain window;
    OpenThroughWindow(window, user, dir, "USER.sff", ThreeSpriteArchive());
    user.fileAnswers.push_back(Q(out / "another.txt"));
    window.cmdText->click();
    user.fileAnswers.push_back(std::nullopt);
    window.cmdText->click();
    QCOMPARE(user.fileDialogs.back().fileName, QStringLiteral("USER_SFF.txt"));
  }

  void dialogStartsInTheLastOutputFolder() {
    ScriptedInteraction user;
    TempDir dir, out;
    app::frmMain window;
    OpenThroughWindow(window, user, dir, "USER.sff", ThreeSpriteArchive());
    user.fileAnswers.push_back(std::nullopt);
    window.cmdText->click();
    QCOMPARE(user.fileDialogs.back().directory, Q(dir.path()));  // no export yet: where the archive came from

    user.modalScripts.push_back([&](QDialog& d) {
      auto& chooser = dynamic_cast<ui::frmPath&>(d);
      chooser.txtPath->setText(Q(out.path()));
      QTest::mouseClick(chooser.cmdOK, Qt::LeftButton);
    });
    window.cmdPCX->click();
    user.fileAnswers.push_back(std::nullopt);
    window.cmdText->click();
    QCOMPARE(user.fileDialogs.back().directory, Q(out.path()));
  }

  void failedWriteIsReportedWithTheStopIcon() {
    ScriptedInteraction user;
    TempDir dir, out;
    app::frmMain window;
    OpenThroughWindow(window, user, dir, "USER.sff", ThreeSpriteArchive());
    const QString target = Q(out / "missing") + QLatin1Char('/') + QStringLiteral("USER_SFF.txt");
    user.fileAnswers.push_back(target);
    window.cmdText->click();
    QCOMPARE(user.messages.size(), std::size_t{1});
    QCOMPARE(user.messages[0].style, mb::kStop);
    QVERIFY(user.messages[0].text.contains(target));
    QVERIFY(out.Entries().empty());
    QVERIFY(!PointerOverridden());
  }
};

PELVARO_GUI_TEST(MakeTextCommandTest);

#include "make_text_command_test.moc"
