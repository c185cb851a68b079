// The main window: its fonts, the list over the loaded table, and the About
// and Exit commands.

#include "sff/message_box.h"
#include "tests/gui/gui_test_registry.h"
#include "tests/gui/gui_test_support.h"
#include "ui/frm_about.h"
#include "ui/frm_path.h"

#include <QApplication>
#include <QFontInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QPointer>
#include <QTest>

using namespace pelvaro;
using namespace pelvaro::testing;

namespace {

int LiveAboutBoxes() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  int n = 0;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (dynamic_cast<ui::frmAbout*>(w)) ++n;
  return n;
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  // The Windows fonts the window names must resolve to installed look-alikes.
  void fontsResolveToInstalledSubstitutes() {
#ifndef Q_OS_WIN
    app::frmMain window;
    QCOMPARE(QFontInfo(window.cmdSffOpen->font()).family(), QStringLiteral("Liberation Sans"));
    QCOMPARE(QFontInfo(window.lblSffName->font()).family(), QStringLiteral("IPAPGothic"));
    ui::frmPath chooser;
    QCOMPARE(QFontInfo(chooser.txtPath->font()).family(), QStringLiteral("IPAGothic"));
#endif
  }

  void listShowsTheTableInDisplayOrder() {
    OpenedWindow w;
    const auto rows = ListRows(w.window);
    QCOMPARE(rows.size(), std::size_t{3});
    QCOMPARE(rows[0][6], QStringLiteral("USER_09000_00000.pcx"));
    QCOMPARE(rows[2][6], QStringLiteral("USER_00000_00001.pcx"));
    for (std::size_t r = 0; r < 3; ++r)
      for (std::size_t c = 0; c < 7; ++c) QCOMPARE(rows[r][c], Q(w.window.Table().Text(int(r) + 1, int(c))));
  }

  void aboutBoxIsFilledAnewOnEveryShowing() {
    ScriptedInteraction user;
    app::frmMain window;
    std::vector<QPointer<ui::frmAbout>> shown;
    auto look = [&](bool byEnter) {
      return [&shown, byEnter](QDialog& d) {
        auto* about = dynamic_cast<ui::frmAbout*>(&d);
        QVERIFY(about);
        shown.emplace_back(about);
        QCOMPARE(about->windowTitle(), QStringLiteral("Pelvaro のﾊﾞｰｼﾞｮﾝ情報"));
        QCOMPARE(about->lblVer->text(), QStringLiteral("Version 0.11β"));
        QCOMPARE(about->lblAppName->text(), QStringLiteral("Pelvaro"));
        QVERIFY(!about->Label2->text().isEmpty());
        if (byEnter) {
          QTest::keyClick(about, Qt::Key_Return);
        } else {
          QTest::mouseClick(about->cmdOK, Qt::LeftButton);
        }
      };
    };
    user.modalScripts.push_back(look(false));
    user.modalScripts.push_back(look(true));
    window.cmdAbout->click();
    QCOMPARE(LiveAboutBoxes(), 0);
    window.cmdAbout->click();
    QCOMPARE(LiveAboutBoxes(), 0);
    QCOMPARE(user.modalShowings, 2);
    QCOMPARE(shown.size(), std::size_t{2});
    QVERIFY(!shown[0] && !shown[1]);
    QCOMPARE(user.unscripted, 0);
  }

  void exitAsksAndNoChangesNothing() {
    OpenedWindow opened;
    auto& [user, dir, out, window] = opened;
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    const auto before = ListRows(window);

    user.messageAnswers.push_back(mb::kAnswerNo);
    QTest::keyClick(&window, Qt::Key_X, Qt::AltModifier);
    // An access key presses its button visibly, so the click comes a moment later.
    QTRY_COMPARE(user.messages.size(), std::size_t{1});
    QCOMPARE(user.messages[0].text, QStringLiteral("終了しますか？"));
    QCOMPARE(user.messages[0].style, mb::kYesNoQuestion);
    QCOMPARE(user.endRequests, 0);
    QVERIFY(window.isVisible());
    QCOMPARE(ListRows(window), before);
    QCOMPARE(window.lblSffName->text(), QStringLiteral("USER.sff"));
    QCOMPARE(window.lblImage->text(), QStringLiteral("3"));

    user.messageAnswers.push_back(mb::kAnswerYes);
    window.cmdEnd->click();
    QCOMPARE(user.endRequests, 1);
    QCOMPARE(user.unscripted, 0);
  }

  void closeBoxEndsWithoutTheQuestion() {
    ScriptedInteraction user;
    app::frmMain window;
    window.show();
    QVERIFY(window.close());
    QVERIFY(user.messages.empty());
    QVERIFY(!window.isVisible());
  }

  void commandsNeedAnArchive() {
    ScriptedInteraction user;
    app::frmMain window;
    window.cmdPCX->click();
    window.cmdText->click();
    QCOMPARE(user.modalShowings, 0);
    QVERIFY(user.fileDialogs.empty());
    QVERIFY(user.messages.empty());
    QVERIFY(window.PathChooser() == nullptr);
  }
};

PELVARO_GUI_TEST(MainWindowTest);

#include "main_window_test.moc"
