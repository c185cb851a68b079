// Save All PCX (through the real folder chooser) and Make Text from the real window.

#include "tests/gui/gui_test_support.h"
#include "tests/support/system_reasons.h"

#include <QDir>
#include <QLineEdit>

using namespace pelvaro;
using namespace pelvaro::testing;

class ExportCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  // A typed folder not there yet is made, parents and all, and the chooser reopens there; Esc after an earlier O K
  // must not count as another O K. A folder under a regular file cannot be made, nor a file written there: the stop
  // icon, the path and the system's words; that folder was confirmed all the same, so Make Text's dialog starts there.
  void eachCommandWritesOrSaysWhyNot() {
    OpenedWindow w;
    const auto choose = [](const QString& folder) {
      return [folder](QDialog& chooser) {
        Child<QLineEdit>(chooser, "txtPath").setText(folder);
        Click(chooser, "cmdOK");
      };
    };
    QString folder = QDir::toNativeSeparators(Q(w.out / "new/deeper/"));
    w.user.modalScripts.push_back(choose(folder));
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

    w.user.messages.clear();
    w.user.fileAnswers.push_back(Q(w.out / "foo.txt"));
    Click(w.window, "cmdText");
    QCOMPARE(w.user.fileDialogs.back().fileName, QStringLiteral("USER_SFF.txt"));
    QCOMPARE(w.out.Entries(), (std::vector<std::string>{"foo.txt", "fooBuild.bat", "new"}));
    VerifyOneMessage(w.user, ui::MsgStyle::kInformation,
                     QStringLiteral("SFF 作成用テキストファイル、及びバッチファイルが出力されました。"));

    w.user.messages.clear();
    WriteBytes(w.out / "file", Bytes{1});
    folder = QDir::toNativeSeparators(Q(w.out / "file/sub/"));
    w.user.modalScripts.push_back(choose(folder));
    Click(w.window, "cmdPCX");
    const QString reason = Q(PathThroughFileReason());
    VerifyOneMessage(w.user, ui::MsgStyle::kStop, QStringLiteral("出力フォルダを作成できません。\r\n") + folder + "\r\n" + reason);

    w.user.messages.clear();
    w.user.fileAnswers.push_back(folder + "USER_SFF.txt");
    Click(w.window, "cmdText");
    QCOMPARE(w.user.fileDialogs.back().directory, folder);
    VerifyOneMessage(w.user, ui::MsgStyle::kStop,
                     QStringLiteral("ファイルを書き込めません。\r\n") + folder + "USER_SFF.txt\r\n" + reason);
    QCOMPARE(w.out.Entries(), (std::vector<std::string>{"file", "foo.txt", "fooBuild.bat", "new"}));
    QCOMPARE(w.user.unscripted, 0);
  }
};

PELVARO_GUI_TEST(ExportCommandsTest);

#include "export_commands_test.moc"
