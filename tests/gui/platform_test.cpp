// The platform layer under the windows: message boxes by style value, the
// file dialog control, the busy pointer, the progress window and real modal
// showings.

#include "sff/message_box.h"
#include "tests/gui/gui_test_registry.h"
#include "tests/gui/scripted_interaction.h"
#include "ui/busy_pointer.h"
#include "ui/common_dialog.h"
#include "ui/frm_about.h"
#include "ui/frm_path.h"
#include "ui/interaction.h"
#include "ui/message_box.h"
#include "ui/progress_window.h"

#include <QApplication>
#include <QIcon>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace pelvaro;
using namespace pelvaro::testing;

namespace {

// Runs `act` on the modal window once the real event loop shows it.
void WhenModalShows(std::function<void(QWidget&)> act) {
  QTimer::singleShot(0, [act = std::move(act)] {
    QWidget* modal = QApplication::activeModalWidget();
    QVERIFY(modal);
    act(*modal);
  });
}

}  // namespace

class PlatformTest : public QObject {
  Q_OBJECT

 private slots:
  void messageBoxStyles_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("defaultButton");
    QTest::newRow("64") << 64 << int(QMessageBox::Information) << int(QMessageBox::Ok) << int(QMessageBox::Ok);
    QTest::newRow("16") << 16 << int(QMessageBox::Critical) << int(QMessageBox::Ok) << int(QMessageBox::Ok);
    QTest::newRow("276") << 276 << int(QMessageBox::Critical) << int(QMessageBox::Yes | QMessageBox::No)
                         << int(QMessageBox::No);
    QTest::newRow("36") << 36 << int(QMessageBox::Question) << int(QMessageBox::Yes | QMessageBox::No)
                        << int(QMessageBox::Yes);
  }

  void messageBoxStyles() {
    QFETCH(int, style);
    QFETCH(int, icon);
    QFETCH(int, buttons);
    QFETCH(int, defaultButton);
    const auto box = ui::MakeMessageBox(nullptr, QStringLiteral("一行目\r\n<b>二行目</b>"), style);
    QCOMPARE(box->windowTitle(), QStringLiteral("Korvane"));
    QCOMPARE(int(box->icon()), icon);
    QCOMPARE(int(box->standardButtons()), buttons);
    QCOMPARE(int(box->standardButton(box->defaultButton())), defaultButton);
    QCOMPARE(box->text(), QStringLiteral("一行目\n<b>二行目</b>"));
    QCOMPARE(box->textFormat(), Qt::PlainText);
  }

  void messageBoxAnswersComeFromTheButtonPressed() {
    WhenModalShows([](QWidget& w) { QTest::keyClick(&w, Qt::Key_Return); });
    QCOMPARE(ui::MsgBox(nullptr, "終了しますか？", mb::kYesNoQuestion), mb::kAnswerYes);
    WhenModalShows([](QWidget& w) { QTest::keyClick(&w, Qt::Key_Return); });
    QCOMPARE(ui::MsgBox(nullptr, "続行しますか？", mb::kYesNoStopDefaultNo), mb::kAnswerNo);
    WhenModalShows([](QWidget& w) { QTest::keyClick(&w, Qt::Key_Escape); });
    QCOMPARE(ui::MsgBox(nullptr, "終了しますか？", mb::kYesNoQuestion), mb::kAnswerNo);
    WhenModalShows([](QWidget& w) { QTest::keyClick(&w, Qt::Key_Return); });
    QCOMPARE(ui::MsgBox(nullptr, "全PCXが出力されました。", mb::kInformation), mb::kAnswerOk);
  }

  void boxOverABusyCommandShowsTheArrow() {
    const ui::BusyPointer busy;
    WhenModalShows([](QWidget& w) {
      QVERIFY(QGuiApplication::overrideCursor());
      QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::ArrowCursor);
      QTest::keyClick(&w, Qt::Key_Return);
    });
    ui::MsgBox(nullptr, "x", mb::kInformation);
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  }

  void fileDialogFilters() {
    QCOMPARE(ui::CommonDialog::NameFilters("Sff Files (*.sff)|*.sff|"), QStringList{"Sff Files (*.sff)"});
    QCOMPARE(ui::CommonDialog::NameFilters("txt Files(*.txt)|*.txt|"), QStringList{"txt Files(*.txt)"});
    QCOMPARE(ui::CommonDialog::NameFilters("Images|*.pcx;*.bmp|All|*.*"),
             (QStringList{"Images (*.pcx *.bmp)", "All (*.*)"}));
    QCOMPARE(ui::CommonDialog::NameFilters(""), QStringList{});
  }

  void fileDialogCancelIsAFailureOnlyWhenAskedFor() {
    ScriptedInteraction user;
    ui::CommonDialog cdl1(nullptr);
    cdl1.FileName = "USER.sff";
    user.fileAnswers.push_back(std::nullopt);
    cdl1.ShowOpen();  // no exception: the name stays
    QCOMPARE(cdl1.FileName, std::string("USER.sff"));
    cdl1.CancelError = true;
    user.fileAnswers.push_back(std::nullopt);
    QVERIFY_THROWS_EXCEPTION(ui::DialogCancelled, cdl1.ShowOpen());
    // The chosen path comes back whole, and the next dialog starts in its folder.
    user.fileAnswers.push_back(QStringLiteral("/a/b/c.sff"));
    cdl1.ShowOpen();
    QCOMPARE(cdl1.FileName, std::string("/a/b/c.sff"));
    QCOMPARE(cdl1.Request(ui::FileDialogMode::kSave).directory, QStringLiteral("/a/b/"));
    cdl1.InitDir = "/out/";
    QCOMPARE(cdl1.Request(ui::FileDialogMode::kSave).directory, QStringLiteral("/out/"));
  }

  void progressWindowWaitsForItsDelay() {
    QWidget parent;
    {
      ui::ProgressWindow slow(&parent, "…", std::chrono::hours(1));
      for (int i = 1; i <= 10; ++i) slow.Step(i, 10);
      QVERIFY(!slow.Dialog());
    }
    ui::ProgressWindow progress(&parent, "…", std::chrono::milliseconds(0));
    progress.Step(1, 10);
    QVERIFY(progress.Dialog());
    QVERIFY(progress.Dialog()->isVisible());
    QCOMPARE(progress.Dialog()->maximum(), 10);
    QCOMPARE(progress.Dialog()->value(), 1);
    QTest::keyClick(progress.Dialog(), Qt::Key_Escape);
    QVERIFY(progress.Dialog()->isVisible());
    progress.Step(10, 10);
    QCOMPARE(progress.Dialog()->value(), 10);
  }

  // The desktop's own modal showings end when the window hides or closes.
  void realModalShowingsReturn() {
    ui::frmPath chooser;
    WhenModalShows([](QWidget& w) {
      auto& c = dynamic_cast<ui::frmPath&>(w);
      QTest::mouseClick(c.cmdOK, Qt::LeftButton);
    });
    ui::CurrentInteraction().RunModal(chooser);
    QCOMPARE(chooser.swPath, ui::frmPath::kTrue);
    QVERIFY(!chooser.isVisible());

    QPointer<ui::frmAbout> about = new ui::frmAbout(QIcon());
    WhenModalShows([](QWidget& w) { QTest::keyClick(&w, Qt::Key_Return); });
    ui::CurrentInteraction().RunModal(*about);
    QVERIFY(!about);  // destroyed by its closing
  }
};

PELVARO_GUI_TEST(PlatformTest);

#include "platform_test.moc"
