// Save All PCX (through the real folder chooser) and Make Text from the real window.

#include "tests/gui/gui_test_support.h"
#include "tests/support/system_reasons.h"

using namespace pelvaro;
using namespace pelvaro::testing;

namespace {

// Types `folder` into the chooser and presses O K.
std::function<void(QDialog&)> ChooseFolder(const QString& folder) {
  return [folder](QDialog& chooser) {
    Child<QLineEdit>(chooser, "txtPath").setText(folder);
    Click(chooser, "cmdOK");
  };
}

}  // namespace

class ExportCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  // A typed folder that is not there yet is made, parents and all, and every
  // row written into it. The chooser reopens there; Esc after an earlier O K
  // must not be read as another O K, which would export again and say so.
  void savePcxMakesATypedFolderThatIsNotThereYet() {
    OpenedWindow w;
    const QString folder = QDir::toNativeSeparators(Q(w.out / "new/deeper/"));
    w.user.modalScripts.push_back(ChooseFolder(folder));
    Click(w.window, "cmdPCX");
    QCOMPARE(EntriesOf(w.out / "new/deeper"),
             (std::vector<std::string>{"USER_00000_00000.pcx", "USER_00000_00001.pcx", "USER_09000_00000.pcx"}));
    VerifyOneMessage(w.user, ui::MsgStyle::kInformation, QStringLiteral("全PCXが出力されました。"));

    QString seen;
    w.user.modalScripts.push_back([&seen](QDialog& chooser) {
      seen = Child<QLineEdit>(chooser, "txtPath").text();
      QTest::keyClick(&chooser, Qt::Key_Escape);
    });
    Click(w.window, "cmdPCX");
    QCOMPARE(seen, folder);
    QCOMPARE(w.user.messages.size(), std::size_t{1});
    QCOMPARE(w.user.unscripted, 0);
  }

  // A folder under a regular file cannot be made: the stop icon with the
  // folder and the system's words, and nothing is written. The folder was
  // confirmed all the same, so Make Text's dialog starts there.
  void savePcxFolderThatCannotBeMadeIsReported() {
    OpenedWindow w;
    WriteBytes(w.out / "file", Bytes{1});
    const QString folder = QDir::toNativeSeparators(Q(w.out / "file/sub/"));
    w.user.modalScripts.push_back(ChooseFolder(folder));
    Click(w.window, "cmdPCX");
    VerifyOneMessage(w.user, ui::MsgStyle::kStop,
                     QStringLiteral("出力フォルダを作成できません。\r\n") + folder + "\r\n" + Q(PathThroughFileReason()));
    QCOMPARE(w.out.Entries(), std::vector<std::string>{"file"});

    Click(w.window, "cmdText");  // no path scripted: Cancel
    QCOMPARE(w.user.fileDialogs.back().directory, folder);
  }

  // The names themselves are MakeTextNames' (definition_text_test.cpp); here
  // the command proposes the stem's, writes both files and says so once.
  void makeTextWritesTheTextAndItsBatchFile() {
    OpenedWindow w;
    w.user.fileAnswers.push_back(Q(w.out / "foo.txt"));
    Click(w.window, "cmdText");
    QCOMPARE(w.user.fileDialogs.back().fileName, QStringLiteral("USER_SFF.txt"));
    QCOMPARE(w.out.Entries(), (std::vector<std::string>{"foo.txt", "fooBuild.bat"}));
    VerifyOneMessage(w.user, ui::MsgStyle::kInformation,
                     QStringLiteral("SFF 作成用テキストファイル、及びバッチファイルが出力されました。"));
  }

  void makeTextWriteFailureIsReported() {
    OpenedWindow w;
    WriteBytes(w.out / "file", Bytes{1});
    const std::string target = w.out / "file/USER_SFF.txt";
    w.user.fileAnswers.push_back(Q(target));
    Click(w.window, "cmdText");
    VerifyOneMessage(w.user, ui::MsgStyle::kStop,
                     Q("ファイルを書き込めません。\r\n" + target + "\r\n" + PathThroughFileReason()));
    QCOMPARE(w.out.Entries(), std::vector<std::string>{"file"});
  }
};

PELVARO_GUI_TEST(ExportCommandsTest);

#include "export_commands_test.moc"
