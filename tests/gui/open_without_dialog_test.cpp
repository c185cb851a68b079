// Opening an archive without Open SFF's dialog: named on the command line or
// dropped onto the window. Both end in the same load as the dialog (the label,
// the palette question, the refusal); every other drop changes nothing.

#include "app/start_options.h"
#include "tests/gui/gui_test_support.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <tuple>

using namespace pelvaro;
using namespace pelvaro::testing;

namespace {

using Action = app::StartOptions::Action;

// One sprite, 7/3, in shared palette mode unless asked otherwise.
Bytes OneSprite(std::uint8_t paletteType = 1) {
  SffBuilder b;
  b.PaletteType(paletteType)
      .Add({.group = 7, .item = 3, .palFlag = 0, .payload = MakePcx(2, 2, PatternPixels(2, 2, 9), nullptr)});
  return b.Build();
}

// Drags `paths` over the list and drops them even if refused on entering;
// Shift proposes Move, as a file manager often does. Gives whether the enter
// and the drop were taken and what the source is told to do with its file.
using Drop = std::tuple<bool, bool, Qt::DropAction>;
const Drop kTaken{true, true, Qt::CopyAction}, kRefused{false, false, Qt::IgnoreAction};
Drop DropFiles(app::frmMain& window, const std::vector<std::string>& paths) {
  QMimeData data;
  QList<QUrl> urls;
  for (const std::string& path : paths) urls.push_back(QUrl::fromLocalFile(Q(path)));
  data.setUrls(urls);
  const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
  QWidget* target = Child<QTreeView>(window, "lstFiles").viewport();
  const QPoint at = target->rect().center();
  QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, Qt::ShiftModifier);
  QApplication::sendEvent(target, &enter);
  QDropEvent drop(QPointF(at), offered, &data, Qt::LeftButton, Qt::ShiftModifier);
  QApplication::sendEvent(target, &drop);
  QTest::qWait(20);  // the load comes from the event loop, after the drop has ended
  return {enter.isAccepted(), drop.isAccepted(), drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction};
}

}  // namespace

class OpenWithoutDialogTest : public QObject {
  Q_OBJECT

 private slots:
  // --help and --version are answered before Qt has taken its own options out,
  // so they must be found among them; after "--" every word is a file.
  void argumentsNameOneArchiveOrAskForAnAnswer() {
    const struct {
      std::vector<std::string> args;
      Action action;
      std::string archive;
    } cases[] = {
        {{"/tmp/USER.sff"}, Action::kShowWindow, "/tmp/USER.sff"},
        {{"--help"}, Action::kHelp, ""},
        {{"--", "--help"}, Action::kShowWindow, "--help"},
        {{"A.sff", "B.sff"}, Action::kUsageError, ""},
    };
    for (const auto& c : cases) {
      const app::StartOptions options = app::ParseStartArguments(c.args);
      QCOMPARE(options.action, c.action);
      QCOMPARE(Q(options.archive), Q(c.archive));
      QCOMPARE(options.error.empty(), c.action != Action::kUsageError);
    }
  }

  // A file argument opens once the window is on screen, not before. A drop
  // gets Open's palette question, and Open's refusal for a file gone between
  // the drag and the load, which drops the archive before.
  void argumentAndDropLoadAsOpenSffDoes() {
    ScriptedInteraction user;
    TempDir dir;
    WriteBytes(dir / "テスト.sff", OneSprite());
    app::frmMain window;
    app::ShowMainWindow(window, app::ParseStartArguments({dir / "テスト.sff"}));
    QVERIFY(window.isVisible());
    QCOMPARE(LabelText(window, "lblSffName"), QString());
    QTRY_COMPARE(LabelText(window, "lblSffName"), QStringLiteral("テスト.sff"));
    QCOMPARE(ListRows(window).at(0).at(6), QStringLiteral("テスト_00007_00003.pcx"));
    QVERIFY(user.fileDialogs.empty() && user.messages.empty());

    WriteBytes(dir / "OTHER.sff", OneSprite(0));
    user.messageAnswers = {ui::Answer::kYes};
    // Never Move: the file manager keeps its file.
    QCOMPARE(DropFiles(window, {dir / "OTHER.sff"}), kTaken);
    QTRY_COMPARE(LabelText(window, "lblSffName"), QStringLiteral("OTHER.sff"));
    QCOMPARE(user.messages.at(0).style, ui::MsgStyle::kYesNoStopDefaultNo);

    user.messages.clear();
    QCOMPARE(DropFiles(window, {dir / "GONE.sff"}), kTaken);
    QTRY_COMPARE(user.messages.size(), std::size_t{1});
    VerifyOneMessage(user, ui::MsgStyle::kStop,
                     Q("ファイルを読み込めません。\r\n" + dir / "GONE.sff" + "\r\n" + std::strerror(ENOENT)), true);
    QCOMPARE(user.messages[0].listRows, 0);
    VerifyNothingShown(window);
    QCOMPARE(user.unscripted, 0);
  }

  // A folder named like an archive or two archives at once: not taken, and
  // the open archive, the files and the user are left alone.
  void everyOtherDropChangesNothing() {
    OpenedWindow w;
    std::filesystem::create_directory(w.dir / "FOLDER.sff");
    WriteBytes(w.dir / "SECOND.sff", OneSprite());
    WriteBytes(w.dir / "THIRD.sff", OneSprite());
    QCOMPARE(DropFiles(w.window, {w.dir / "FOLDER.sff"}), kRefused);
    QCOMPARE(DropFiles(w.window, {w.dir / "SECOND.sff", w.dir / "THIRD.sff"}), kRefused);
    QCOMPARE(LabelText(w.window, "lblSffName"), QStringLiteral("USER.sff"));
    QCOMPARE(ListRows(w.window).size(), std::size_t{3});
    QVERIFY(w.user.messages.empty());
    QCOMPARE(w.dir.Entries(), (std::vector<std::string>{"FOLDER.sff", "SECOND.sff", "THIRD.sff", "USER.sff"}));
  }
};

PELVARO_GUI_TEST(OpenWithoutDialogTest);

#include "open_without_dialog_test.moc"
