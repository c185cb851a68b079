// Save All PCX (through the real folder chooser) and Make Text from the real window.

#include "tests/gui/gui_test_support.h"
#include "tests/support/system_reasons.h"

using namespace pelvaro;
using namespace pelvaro::testing;

namespace {

// Types `folder` into the chooser and presses O K.
std::function<void(QDialog&)> ChooseFolder(const QString& folder) {
  return [folder](QDialog& d) {
    auto& chooser = dynamic_cast<ui::frmPath&>(d);
    chooser.txtPath->setText(folder);
    QTest::mouseClick(chooser.cmdOK, Qt::LeftButton);
  };
}

}  // namespace

class ExportCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void savePcxWritesEveryRowAndALaterCancelNothing() {
    OpenedWindow w;
    w.user.modalScripts.push_back(ChooseFolder(Q(w.out.path())));
    w.window.cmdPCX->click();
    QCOMPARE(w.out.Entries(), (std::vector<std::string>{"USER_00000_00000.pcx", "USER_00000_00001.pcx",
                                                        "USER_09000_00000.pcx"}));
    VerifyOneMessage(w.user, mb::kInformation, QStringLiteral("全PCXが出力されました。"));
    QCOMPARE(w.window.OutputFolder, w.out.path());

    // The chooser reopens at that folder; Cancel after an earlier O K must not
    // be read as another O K.
    QString seen;
    w.user.modalScripts.push_back([&seen](QDialog& d) {
      auto& chooser = dynamic_cast<ui::frmPath&>(d);
      seen = chooser.txtPath->text();
      QTest::mouseClick(chooser.cmdCancel, Qt::LeftButton);
    });
    w.window.cmdPCX->click();
    QCOMPARE(seen, Q(w.out.path()));
    QCOMPARE(w.user.messages.size(), std::size_t{1});
    QCOMPARE(w.user.unscripted, 0);
  }

  // The folder was confirmed, so it is kept for the next use even though nothing could be written.
  void savePcxWriteFailureIsReported() {
    OpenedWindow w;
    WriteBytes(w.out / "file", Bytes{1});
    const QString folder = Q(w.out / "file") + QDir::separator();
    w.user.modalScripts.push_back(ChooseFolder(folder));
    w.window.cmdPCX->click();
    VerifyOneMessage(w.user, mb::kStop,
                     QStringLiteral("ファイルを書き込めません。\r\n") + folder +
                         QStringLiteral("USER_09000_00000.pcx\r\n") + Q(PathThroughFileReason()));
    QCOMPARE(w.out.Entries(), std::vector<std::string>{"file"});
    QCOMPARE(Q(w.window.OutputFolder), folder);
  }

  // The names themselves are MakeTextNames' (definition_text_test.cpp); here
  // the command proposes the stem's, writes both files and says so once.
  void makeTextWritesTheTextAndItsBatchFile() {
    OpenedWindow w;
    w.user.fileAnswers.push_back(Q(w.out / "foo.txt"));
    w.window.cmdText->click();
    const ui::FileDialogRequest& r = w.user.fileDialogs.back();
    QCOMPARE(r.mode, ui::FileDialogMode::kSave);
    QCOMPARE(r.fileName, QStringLiteral("USER_SFF.txt"));
    QCOMPARE(r.directory, Q(w.dir.path()));  // no export yet: where the archive came from
    QCOMPARE(w.out.Entries(), (std::vector<std::string>{"foo.txt", "fooBuild.bat"}));
    const Bytes bat = ReadBytes(w.out / "fooBuild.bat");
    QVERIFY(std::string(bat.begin(), bat.end()).find("< foo.txt >") != std::string::npos);
    VerifyOneMessage(w.user, mb::kInformation,
                     QStringLiteral("SFF 作成用テキストファイル、及びバッチファイルが出力されました。"));
  }

  void makeTextWriteFailureIsReported() {
    OpenedWindow w;
    WriteBytes(w.out / "file", Bytes{1});
    const std::string target = w.out / "file/USER_SFF.txt";
    w.user.fileAnswers.push_back(Q(target));
    w.window.cmdText->click();
    VerifyOneMessage(w.user, mb::kStop, Q("ファイルを書き込めません。\r\n" + target + "\r\n" + PathThroughFileReason()));
    QCOMPARE(w.out.Entries(), std::vector<std::string>{"file"});
  }
};

PELVARO_GUI_TEST(ExportCommandsTest);

#include "export_commands_test.moc"
