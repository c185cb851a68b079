// The main window as drawn: geometry, fonts, the list's columns and the tab
// order; and the About and Exit commands.

#include "sff/message_box.h"
#include "tests/gui/gui_test_registry.h"
#include "tests/gui/gui_test_support.h"
#include "ui/frm_about.h"
#include "ui/frm_path.h"

#include <QApplication>
#include <QFontInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

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
  // One table of every control: where it stands (twips / 15) and its caption.
  void windowAndControlsStandWhereTheyAreDrawn() {
    app::frmMain window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Pelvaro"));
    QCOMPARE(window.size(), QSize(425, 209));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    const Qt::WindowFlags flags = window.windowFlags();
    QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(window.windowIcon().availableSizes().contains(QSize(48, 48)));
    const struct {
      QWidget* widget;
      QRect rect;
      const char* caption;  // buttons only
    } placed[] = {
        {window.cmdSffOpen, {8, 8, 89, 17}, "Open &SFF"},   {window.lblSffName, {104, 8, 169, 17}, nullptr},
        {window.lstFiles, {8, 32, 409, 145}, nullptr},       {window.cmdPCX, {8, 184, 97, 17}, "Save &All PCX"},
        {window.cmdText, {112, 184, 97, 17}, "Make &Text"},  {window.cmdAbout, {400, 8, 17, 17}, "&?"},
        {window.cmdEnd, {360, 184, 57, 17}, "E&xit"},        {window.lblImage, {344, 8, 49, 17}, nullptr},
    };
    for (const auto& p : placed) {
      QCOMPARE(p.widget->geometry(), p.rect);
      if (auto* b = qobject_cast<QPushButton*>(p.widget)) {
        QCOMPARE(b->text(), QString::fromUtf8(p.caption));
        QVERIFY2(!b->isDefault() && !b->autoDefault(), p.caption);
      }
    }
    // The caption may borrow width from the gap before the count, never overlap it.
    QCOMPARE(window.Label4->text(), QStringLiteral("Image Count"));
    QCOMPARE(window.Label4->pos(), QPoint(280, 8));
    QCOMPARE(window.Label4->height(), 14);
    QVERIFY(window.Label4->geometry().right() < window.lblImage->x());
    QVERIFY(window.Label4->fontMetrics().horizontalAdvance(window.Label4->text()) <= window.Label4->width());
  }

  void fontsAreMappedToMetricCompatibleOnes() {
    app::frmMain window;
    QCOMPARE(window.font().family(), QStringLiteral("Arial"));
    QCOMPARE(window.font().pointSizeF(), 9.0);
    QCOMPARE(window.cmdSffOpen->font().pointSizeF(), 8.25);
    QCOMPARE(window.lstFiles->font().pointSizeF(), 8.25);
    QCOMPARE(window.lblSffName->font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
    QCOMPARE(window.lblImage->font().pointSizeF(), 9.0);
#ifndef Q_OS_WIN
    QCOMPARE(QFontInfo(window.cmdSffOpen->font()).family(), QStringLiteral("Liberation Sans"));
    QCOMPARE(QFontInfo(window.lblSffName->font()).family(), QStringLiteral("IPAPGothic"));
    QCOMPARE(QFontInfo(QFont(QStringLiteral("MS PGothic"))).family(), QStringLiteral("IPAPGothic"));
    ui::frmPath chooser;
    QCOMPARE(QFontInfo(chooser.txtPath->font()).family(), QStringLiteral("IPAGothic"));
    QCOMPARE(QFontInfo(QFont(QStringLiteral("MS Gothic"))).family(), QStringLiteral("IPAGothic"));
#endif
  }

  void tabOrderSkipsTheLabels() {
    app::frmMain window;
    QList<QWidget*> order;
    QWidget* w = window.cmdSffOpen;
    do {
      if (w->parentWidget() == &window && (w->focusPolicy() & Qt::TabFocus)) order << w;
      w = w->nextInFocusChain();
    } while (w != window.cmdSffOpen);
    const QList<QWidget*> expected{window.cmdSffOpen, window.lstFiles, window.cmdPCX,
                                   window.cmdText,    window.cmdAbout, window.cmdEnd};
    QCOMPARE(order, expected);
    QCOMPARE(window.lblSffName->focusPolicy(), Qt::NoFocus);
    QCOMPARE(window.lblImage->focusPolicy(), Qt::NoFocus);
  }

  void emptyWindowShowsFiveCaptionsAndNoRows() {
    app::frmMain window;
    QCOMPARE(window.lblSffName->text(), QString());
    QCOMPARE(window.lblImage->text(), QString());
    QCOMPARE(window.lstFiles->model()->rowCount(), 0);
    const QHeaderView* header = window.lstFiles->header();
    QCOMPARE(header->minimumSectionSize(), 0);
    const int widths[] = {0, 60, 60, 53, 0, 47, 167};
    QStringList visible;
    for (int c = 0; c < 7; ++c) {
      QCOMPARE(header->sectionSize(c), widths[c]);
      if (header->sectionSize(c) > 0) visible << window.lstFiles->model()->headerData(c, Qt::Horizontal).toString();
    }
    QCOMPARE(visible, (QStringList{"GroupNo", "ItemNo", "PalType", "P.Pos", "PCX Name"}));
    QCOMPARE(window.lstFiles->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("SortNo"));
    QCOMPARE(window.lstFiles->model()->headerData(4, Qt::Horizontal).toString(), QStringLiteral("SortKey"));
    QVERIFY(!header->sectionsClickable());
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
        QCOMPARE(about->pctIcon->pixmap().size(), QSize(48, 48));
        QCOMPARE(about->size(), QSize(394, 81));
        QCOMPARE(about->cmdOK->geometry(), QRect(304, 48, 73, 25));
        QVERIFY(about->cmdOK->isDefault());
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

  void versionTextJoinsMinorAndRevision() {
    QCOMPARE(ui::frmAbout::VersionText(1, 0, 2), QStringLiteral("Version 1.02β"));
    QCOMPARE(ui::frmAbout::VersionText(2, 10, 0), QStringLiteral("Version 2.100β"));
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
