// The export buttons wired to their commands, through the real folder chooser and file dialog requests.

#include "tests/gui/gui_test_support.h"

#include "ui/file_dialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

using namespace pelvaro;
using namespace pelvaro::testing;

class ExportCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  // The clicks reach the commands, and the commands' requests reach the widgets: the real folder chooser comes up with
  // its path box selected, so what the user types replaces the folder shown (never lands at its end); the files go
  // where typed, the message box shows the command's message, and Make Text's dialog carries the overwrite question.
  void clicksReachTheCommandsAndRequestsTheWidgets() {
    OpenedWindow w;
    const QString folder = QDir::toNativeSeparators(Q(w.out / "new"));
    w.user.modalScripts.push_back([&](QDialog& chooser) {
      auto& path = Child<QLineEdit>(chooser, "txtPath");
      QVERIFY(!path.text().isEmpty());
      QCOMPARE(path.selectedText(), path.text());
      QTest::keyClicks(&path, folder);
      Click(chooser, "cmdOK");
    });
    Click(w.window, "cmdPCX");
    QCOMPARE(EntriesOf(w.out / "new"),
             (std::vector<std::string>{"USER_00000_00000.pcx", "USER_00000_00001.pcx", "USER_09000_00000.pcx"}));
    VerifyOneMessage(w.user, ui::MsgStyle::kInformation, QStringLiteral("全PCXが出力されました。"));

    w.user.messages.clear();
    w.user.fileAnswers.push_back(Q(w.out / "foo.txt"));
    Click(w.window, "cmdText");
    const ui::FileDialogRequest& save = w.user.fileDialogs.back();
    QCOMPARE(save.fileName, QStringLiteral("USER_SFF.txt"));
    QVERIFY(save.confirmOverwrite);
    QCOMPARE(save.directory, folder + QDir::separator());
    QCOMPARE(w.out.Entries(), (std::vector<std::string>{"foo.txt", "fooBuild.bat", "new"}));
    VerifyOneMessage(w.user, ui::MsgStyle::kInformation,
                     QStringLiteral("SFF 作成用テキストファイル、及びバッチファイルが出力されました。"));
    QCOMPARE(w.user.unscripted, 0);
  }

  // The real save dialog made from Make Text's request asks before a file
  // that is there already is chosen: No keeps the dialog open, Yes takes it.
  void makeTextsDialogAsksBeforeAnExistingFile() {
    OpenedWindow w;
    Click(w.window, "cmdText");  // cancelled: no answer scripted
    ui::FileDialogRequest request = w.user.fileDialogs.back();
    request.directory = Q(w.out.path());
    const Bytes old{'o', 'l', 'd'};
    WriteBytes(w.out / "USER_SFF.txt", old);
    const auto dialog = ui::MakeFileDialog(nullptr, request);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->show();
    auto& name = Child<QLineEdit>(*dialog, "fileNameEdit");
    QCOMPARE(name.text(), QStringLiteral("USER_SFF.txt"));
    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
      QString asked;
      QTimer::singleShot(0, [&] {
        auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!question) return;
        asked = question->text();
        question->button(answer)->click();
      });
      QTest::keyClick(&name, Qt::Key_Return);
      QVERIFY2(asked.contains(QStringLiteral("USER_SFF.txt")), "no question before replacing the file");
      QCOMPARE(dialog->isVisible(), answer == QMessageBox::No);
    }
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(ReadBytes(w.out / "USER_SFF.txt"), old);
  }
};

PELVARO_GUI_TEST(ExportCommandsTest);

#include "export_commands_test.moc"
