// The dialogs on their own: the folder chooser's O K and Cancel, and real
// message boxes (title, answers, the pointer over a busy command).

#include "tests/gui/gui_test_support.h"
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
    Child<QLineEdit>(chooser, "txtPath").setText(typed);
    Click(chooser, "cmdOK");
    QVERIFY(chooser.swPath);
    QVERIFY(!chooser.isVisible());
    QCOMPARE(Q(chooser.Folder()), typed);

    chooser.show();
    QTest::keyClick(&chooser, Qt::Key_Escape);
    QVERIFY(!chooser.swPath);
    QVERIFY(!chooser.isVisible());
  }

  // The path box keeps exactly one separator at its end, however the text came.
  void folderEndsWithOneSeparator() {
    TempDir dir;
    ui::frmPath chooser;
    chooser.show();
    auto& path = Child<QLineEdit>(chooser, "txtPath");
    const QString bare = QDir::toNativeSeparators(Q(dir / "a"));
    for (const QString& typed : {bare, bare + QDir::separator(), bare + QDir::separator() + QDir::separator()}) {
      path.setText(typed);
      QCOMPARE(Q(chooser.Folder()), bare + QDir::separator());
    }
  }

  // Enter takes the default button: Yes for a question, No for the stop-icon question.
  void messageBoxAnswersComeFromTheButtonPressed() {
    PressWhenShown enter(Qt::Key_Return);
    QCOMPARE(ui::MsgBox(nullptr, QStringLiteral("一行目\r\n<b>二行目</b>"), ui::MsgStyle::kYesNoQuestion),
             ui::Answer::kYes);
    QCOMPARE(enter.title, QStringLiteral("Korvane"));
    QCOMPARE(enter.text, QStringLiteral("一行目\n<b>二行目</b>"));
    QCOMPARE(enter.format, Qt::PlainText);
    PressWhenShown enterOnStop(Qt::Key_Return);
    QCOMPARE(ui::MsgBox(nullptr, QStringLiteral("続行しますか？"), ui::MsgStyle::kYesNoStopDefaultNo), ui::Answer::kNo);
    PressWhenShown esc(Qt::Key_Escape);
    QCOMPARE(ui::MsgBox(nullptr, QStringLiteral("終了しますか？"), ui::MsgStyle::kYesNoQuestion), ui::Answer::kNo);
    PressWhenShown enterOnOk(Qt::Key_Return);
    QCOMPARE(ui::MsgBox(nullptr, QStringLiteral("x"), ui::MsgStyle::kInformation), ui::Answer::kOk);
  }

  void boxOverABusyCommandShowsTheArrow() {
    const ui::BusyPointer busy;
    PressWhenShown enter(Qt::Key_Return);
    ui::MsgBox(nullptr, QStringLiteral("x"), ui::MsgStyle::kInformation);
    QCOMPARE(enter.pointer, Qt::ArrowCursor);
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  }
};

PELVARO_GUI_TEST(DialogsTest);

#include "dialogs_test.moc"
