// Save All PCX through the real window and the real folder chooser.

#include "export/pcx_export.h"
#include "sff/message_box.h"
#include "tests/gui/gui_test_registry.h"
#include "tests/gui/gui_test_support.h"
#include "ui/directory_list.h"
#include "ui/frm_path.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <chrono>

using namespace pelvaro;
using namespace pelvaro::testing;

namespace {

const QString kDone = QStringLiteral("全PCXが出力されました。");

ScriptedInteraction::ModalScript ChooseFolder(const QString& folder) {
  return [folder](QDialog& d) {
    auto& chooser = dynamic_cast<ui::frmPath&>(d);
    chooser.txtPath->setText(folder);
    QTest::mouseClick(chooser.cmdOK, Qt::LeftButton);
  };
}

ScriptedInteraction::ModalScript CancelChooser(QString* seenPath = nullptr) {
  return [seenPath](QDialog& d) {
    auto& chooser = dynamic_cast<ui::frmPath&>(d);
    if (seenPath) *seenPath = chooser.txtPath->text();
    QTest::mouseClick(chooser.cmdCancel, Qt::LeftButton);
  };
}

}  // namespace

class SavePcxCommandTest : public QObject {
  Q_OBJECT

 private slots:
  void cancelWritesNothingAndKeepsTheFolder() {
    ScriptedInteraction user;
    TempDir dir, out;
    app::frmMain window;
    OpenThroughWindow(window, user, dir, "USER.sff", ThreeSpriteArchive());
    user.modalScripts.push_back(CancelChooser());
    window.cmdPCX->click();
    QCOMPARE(user.modalShowings, 1);
    QVERIFY(out.Entries().empty());
    QVERIFY(user.messages.empty());
    QCOMPARE(window.OutputFolder, std::string());
    QVERIFY(!PointerOverridden());
  }

  void okWritesEveryRowThenSaysSoOnce() {
    ScriptedInteraction user;
    TempDir dir, out;
    app::frmMain window;
    OpenThroughWindow(window, user, dir, "USER.sff", ThreeSpriteArchive());
    user.modalScripts.push_back(ChooseFolder(Q(out.path())));
    window.cmdPCX->click();
    QCOMPARE(out.Entries(), (std::vector<std::string>{"USER_00000_00000.pcx", "USER_00000_00001.pcx",
                                                      "USER_09000_00000.pcx"}));
    QCOMPARE(user.messages.size(), std::size_t{1});
    QCOMPARE(user.messages[0].text, kDone);
    QCOMPARE(user.messages[0].style, mb::kInformation);
    QVERIFY(!user.messages[0].busy);
    QCOMPARE(window.OutputFolder, out.path());
    QVERIFY(!PointerOverridden());
    // The shared palette follows the sprite that uses it.
    QCOMPARE(ReadBytes(out / "USER_00000_00001.pcx").size(), MakePcx(4, 2, PatternPixels(4, 2, 2), nullptr).size() + 768);
  }

  void chooserIsMadeOnceAndOpensAtTheLastFolder() {
    ScriptedInteraction user;
    TempDir dir, out;
    app::frmMain window;
    OpenThroughWindow(window, user, dir, "USER.sff", ThreeSpriteArchive());
    user.modalScripts.push_back(ChooseFolder(Q(out.path())));
    window.cmdPCX->click();
    ui::frmPath* first = window.PathChooser();
    QVERIFY(first && !first->isVisible());

    QString seen;
    user.modalScripts.push_back(CancelChooser(&seen));
    window.cmdPCX->click();
    QCOMPARE(window.PathChooser(), first);
    QCOMPARE(seen, Q(out.path()));
    QCOMPARE(QDir(first->dirDir->Path()), QDir(Q(out.path())));
    // Cancel after an earlier O K: the caller finds False and writes nothing more.
    QCOMPARE(first->swPath, ui::frmPath::kFalse);
    QCOMPARE(user.messages.size(), std::size_t{1});
  }

  void closingTheChooserCountsAsCancel() {
    ScriptedInteraction user;
    TempDir dir, out, other;
    app::frmMain window;
    OpenThroughWindow(window, user, dir, "USER.sff", ThreeSpriteArchive());
    user.modalScripts.push_back(ChooseFolder(Q(out.path())));
    window.cmdPCX->click();
    user.modalScripts.push_back([&](QDialog& d) {
      auto& chooser = dynamic_cast<ui::frmPath&>(d);
      chooser.txtPath->setText(Q(other.path()));
      chooser.close();
    });
    window.cmdPCX->click();
    QVERIFY(other.Entries().empty());
    QCOMPARE(window.OutputFolder, out.path());
    QCOMPARE(user.messages.size(), std::size_t{1});
  }

  void failingFolderIsReportedAndThePointerRestored() {
    ScriptedInteraction user;
    TempDir dir, out;
    app::frmMain window;
    OpenThroughWindow(window, user, dir, "USER.sff", ThreeSpriteArchive());
    const QString missing = Q(out / "missing") + QDir::separator();
    user.modalScripts.push_back(ChooseFolder(missing));
    window.cmdPCX->click();
    QCOMPARE(user.messages.size(), std::size_t{1});
    QCOMPARE(user.messages[0].style, mb::kStop);
    QVERIFY(user.messages[0].text.startsWith(QStringLiteral("ファイルを書き込めません。")));
    QVERIFY(user.messages[0].text.contains(missing));
    QVERIFY(!user.messages[0].busy);
    QVERIFY(!PointerOverridden());
    QVERIFY(out.Entries().empty());
    // The folder was confirmed, so it is kept for the next use.
    QCOMPARE(Q(window.OutputFolder), missing);
  }

  void rowsWithoutANameAreReportedOnASecondLine() {
    ScriptedInteraction user;
    TempDir dir, out;
    app::frmMain window;
    OpenThroughWindow(window, user, dir, "USER.sff", ThreeSpriteArchive());
    window.BeginTableReset();
    window.Table().SetText(window.Table().HandleAt(2), sff::SpriteTable::kPcxName, "");
    window.EndTableReset();
    user.modalScripts.push_back(ChooseFolder(Q(out.path())));
    window.cmdPCX->click();
    QCOMPARE(out.Entries().size(), std::size_t{2});
    QCOMPARE(user.messages.size(), std::size_t{1});
    QCOMPARE(user.messages[0].text, kDone + QStringLiteral("\r\n") + Q(exporter::SkippedRowsMessage(1)));
  }

  void progressWindowChangesNothingOfTheOutcome() {
    ScriptedInteraction user;
    TempDir dir, out;
    app::frmMain window;
    window.SetProgressDelay(std::chrono::milliseconds(0));
    SffBuilder b;
    for (std::uint16_t item = 0; item < 40; ++item)
      b.Add({.group = 5, .item = item, .palFlag = 0, .payload = MakePcx(2, 2, PatternPixels(2, 2, item), nullptr)});
    OpenThroughWindow(window, user, dir, "MANY.sff", b.Build());
    user.modalScripts.push_back(ChooseFolder(Q(out.path())));
    window.cmdPCX->click();
    QCOMPARE(out.Entries().size(), std::size_t{40});
    QCOMPARE(user.messages.size(), std::size_t{1});
    QCOMPARE(user.messages[0].text, kDone);
    QVERIFY(!PointerOverridden());
  }
};

PELVARO_GUI_TEST(SavePcxCommandTest);

#include "save_pcx_command_test.moc"
