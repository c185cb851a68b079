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
}

class SavePcxCommandTest : public QObject {
  Q_OBJECT

 private slots:
  void cancelWritesNothingAndKeepsTheFolder() {
    OpenedWindow w;
    w.user.modalScripts.push_back(CancelChooser());
    w.window.cmdPCX->click();
    QCOMPARE(w.user.modalShowings, 1);
    QVERIFY(w.out.Entries().empty());
    QVERIFY(w.user.messages.empty());
    QCOMPARE(w.window.OutputFolder, std::string());
    QVERIFY(!PointerOverridden());
  }

  void okWritesEveryRowThenSaysSoOnce() {
    OpenedWindow w;
    w.user.modalScripts.push_back(ChooseFolder(w.out.path()));
    w.window.cmdPCX->click();
    QCOMPARE(w.out.Entries(), (std::vector<std::string>{"USER_00000_00000.pcx", "USER_00000_00001.pcx",
                                                        "USER_09000_00000.pcx"}));
    VerifyOneMessage(w.user, mb::kInformation, kDone);
    QCOMPARE(w.user.messages[0].text, kDone);
    QCOMPARE(w.window.OutputFolder, w.out.path());
    // The shared palette follows the sprite that uses it.
    QCOMPARE(ReadBytes(w.out / "USER_00000_00001.pcx").size(),
             MakePcx(4, 2, PatternPixels(4, 2, 2), nullptr).size() + 768);
  }

  void chooserIsMadeOnceAndOpensAtTheLastFolder() {
    OpenedWindow w;
    w.user.modalScripts.push_back(ChooseFolder(w.out.path()));
    w.window.cmdPCX->click();
    ui::frmPath* first = w.window.PathChooser();
    QVERIFY(first && !first->isVisible());

    QString seen;
    w.user.modalScripts.push_back(CancelChooser(&seen));
    w.window.cmdPCX->click();
    QCOMPARE(w.window.PathChooser(), first);
    QCOMPARE(seen, Q(w.out.path()));
    QCOMPARE(QDir(first->dirDir->Path()), QDir(Q(w.out.path())));
    // Cancel after an earlier O K: the caller finds False and writes nothing more.
    QCOMPARE(first->swPath, ui::frmPath::kFalse);
    QCOMPARE(w.user.messages.size(), std::size_t{1});
  }

  void closingTheChooserCountsAsCancel() {
    OpenedWindow w;
    TempDir other;
    w.user.modalScripts.push_back(ChooseFolder(w.out.path()));
    w.window.cmdPCX->click();
    w.user.modalScripts.push_back([&](QDialog& d) {
      dynamic_cast<ui::frmPath&>(d).txtPath->setText(Q(other.path()));
      d.close();
    });
    w.window.cmdPCX->click();
    QVERIFY(other.Entries().empty());
    QCOMPARE(w.window.OutputFolder, w.out.path());
    QCOMPARE(w.user.messages.size(), std::size_t{1});
  }

  void failingFolderIsReportedAndThePointerRestored() {
    OpenedWindow w;
    const QString missing = Q(w.out / "missing") + QDir::separator();
    w.user.modalScripts.push_back(ChooseFolder(missing));
    w.window.cmdPCX->click();
    VerifyOneMessage(w.user, mb::kStop, QStringLiteral("ファイルを書き込めません。"));
    QVERIFY(w.user.messages[0].text.contains(missing));
    QVERIFY(w.out.Entries().empty());
    // The folder was confirmed, so it is kept for the next use.
    QCOMPARE(Q(w.window.OutputFolder), missing);
  }

  void rowsWithoutANameAreReportedOnASecondLine() {
    OpenedWindow w;
    w.window.BeginTableReset();
    w.window.Table().SetText(w.window.Table().HandleAt(2), sff::SpriteTable::kPcxName, "");
    w.window.EndTableReset();
    w.user.modalScripts.push_back(ChooseFolder(w.out.path()));
    w.window.cmdPCX->click();
    QCOMPARE(w.out.Entries().size(), std::size_t{2});
    QCOMPARE(w.user.messages.size(), std::size_t{1});
    QCOMPARE(w.user.messages[0].text, kDone + QStringLiteral("\r\n") + Q(exporter::SkippedRowsMessage(1)));
  }

  void progressWindowChangesNothingOfTheOutcome() {
    SffBuilder b;
    for (std::uint16_t item = 0; item < 40; ++item)
      b.Add({.group = 5, .item = item, .palFlag = 0, .payload = MakePcx(2, 2, PatternPixels(2, 2, item), nullptr)});
    OpenedWindow w(b.Build(), "MANY.sff");
    w.window.SetProgressDelay(std::chrono::milliseconds(0));
    w.user.modalScripts.push_back(ChooseFolder(w.out.path()));
    w.window.cmdPCX->click();
    QCOMPARE(w.out.Entries().size(), std::size_t{40});
    QCOMPARE(w.user.messages.size(), std::size_t{1});
    QCOMPARE(w.user.messages[0].text, kDone);
    QVERIFY(!PointerOverridden());
  }
};

PELVARO_GUI_TEST(SavePcxCommandTest);

#include "save_pcx_command_test.moc"
