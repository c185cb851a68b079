// The dialogs on their own: the folder chooser's O K and Cancel, and real
// message boxes (title, answers, the pointer over a busy command).

#include "tests/gui/gui_test_support.h"
#include "ui/directory_list.h"
#include "ui/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

using namespace pelvaro;
using namespace pelvaro::testing;

namespace {

// Presses `key` on the modal window once the real event loop shows it, noting
// what it showed first: a failed check in there would leave the window open.
struct PressWhenShown {
  QString title, text;
  Qt::TextFormat format = Qt::AutoText;
  Qt::CursorShape pointer = Qt::BlankCursor;
  explicit PressWhenShown(Qt::Key key) {
    QTimer::singleShot(0, [this, key] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal) return;
      title = modal->windowTitle();
      if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        text = box->text();
        format = box->textFormat();
      }
      if (QGuiApplication::overrideCursor()) pointer = QGuiApplication::overrideCursor()->shape();
      QTest::keyClick(modal, key);
    });
  }
};

}  // namespace

class DialogsTest : public QObject {
  Q_OBJECT

 private slots:
  // A typed folder is taken as it is, even one that does not exist yet.
  void okReturnsTheTypedFolderAndEscReturnsNothing() {
    TempDir dir;
    ui::frmPath chooser;
    chooser.show();
    const QString typed = QDir::toNativeSeparators(Q(dir / "not/there/"));
    chooser.txtPath->setText(typed);
    QTest::mouseClick(chooser.cmdOK, Qt::LeftButton);
    QCOMPARE(chooser.swPath, ui::frmPath::kTrue);
    QVERIFY(!chooser.isVisible());
    QCOMPARE(chooser.txtPath->text(), typed);

    chooser.show();
    QTest::keyClick(&chooser, Qt::Key_Escape);
    QCOMPARE(chooser.swPath, ui::frmPath::kFalse);
    QVERIFY(!chooser.isVisible());
  }

  void rootAsStartFolderOpensTheRoot() {
#ifdef Q_OS_WIN
    QSKIP("\"C:\\\" loses its separator and names the drive's current folder, as drives do there");
#endif
    ui::frmPath chooser;
    chooser.p = QDir::toNativeSeparators(QDir::rootPath()).toStdString();
    chooser.show();
    QCOMPARE(chooser.txtPath->text(), QDir::toNativeSeparators(QDir::rootPath()));
    QCOMPARE(QDir(chooser.dirDir->Path()), QDir::root());
  }

  // Enter takes the default button: Yes for a question, No for the stop-icon question.
  void messageBoxAnswersComeFromTheButtonPressed() {
    PressWhenShown enter(Qt::Key_Return);
    QCOMPARE(ui::MsgBox(nullptr, "一行目\r\n<b>二行目</b>", mb::kYesNoQuestion), mb::kAnswerYes);
    QCOMPARE(enter.title, QStringLiteral("Korvane"));
    QCOMPARE(enter.text, QStringLiteral("一行目\n<b>二行目</b>"));
    QCOMPARE(enter.format, Qt::PlainText);
    PressWhenShown enterOnStop(Qt::Key_Return);
    QCOMPARE(ui::MsgBox(nullptr, "続行しますか？", mb::kYesNoStopDefaultNo), mb::kAnswerNo);
    PressWhenShown esc(Qt::Key_Escape);
    QCOMPARE(ui::MsgBox(nullptr, "終了しますか？", mb::kYesNoQuestion), mb::kAnswerNo);
  }

  void boxOverABusyCommandShowsTheArrow() {
    const ui::BusyPointer busy;
    PressWhenShown enter(Qt::Key_Return);
    ui::MsgBox(nullptr, "x", mb::kInformation);
    QCOMPARE(enter.pointer, Qt::ArrowCursor);
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  }
};

PELVARO_GUI_TEST(DialogsTest);

#include "dialogs_test.moc"
