// The main window loading an archive: by Open SFF, and by a file argument or a drop through the same load.

#include "app/start_options.h"
#include "tests/gui/gui_test_support.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <tuple>

using namespace pelvaro;
using namespace pelvaro::testing;

namespace {

std::vector<std::vector<QString>> ListRows(const app::frmMain& window) {
  const QAbstractItemModel* model = Child<QTreeView>(window, "lstFiles").model();
  std::vector<std::vector<QString>> rows(static_cast<std::size_t>(model->rowCount()));
  for (int r = 0; r < model->rowCount(); ++r)
    for (int c = 0; c < model->columnCount(); ++c) rows[std::size_t(r)].push_back(model->index(r, c).data().toString());
  return rows;
}

void VerifyNothingShown(const app::frmMain& window) {
  QVERIFY(window.archive() == nullptr);
  QCOMPARE(ListRows(window).size(), std::size_t{0});
  QCOMPARE(LabelText(window, "lblSffName"), QString());
  QCOMPARE(LabelText(window, "lblImage"), QString());
}

Bytes OneSprite(std::uint8_t paletteType = 1) {
  const Bytes pcx = MakePcx(2, 2, {1, 2, 3, 4}, nullptr);
  return SffBuilder().PaletteType(paletteType).Add({.group = 7, .item = 3, .payload = pcx}).Build();
}

// Drops `paths` on the list even if refused on entering, with Shift proposing Move as file managers often do.
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

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  // The palette source 0/0 uses the shared palette once loaded; the portrait heads the list, as it heads the export.
  // A header click must not re-sort it.
  void headerClicksKeepTheLoadersOrder() {
    OpenedWindow w;
    QCOMPARE(LabelText(w.window, "lblSffName"), QStringLiteral("USER.sff"));
    QCOMPARE(LabelText(w.window, "lblImage"), QStringLiteral("3"));
    const std::vector<std::vector<QString>> rows{
        {"01", "9000", "0", "0", " 0000000000", "2", "USER_09000_00000.pcx"},
        {"02", "0", "0", "1", "00000000000", "0", "USER_00000_00000.pcx"},
        {"03", "0", "1", "1", "00000000001", "1", "USER_00000_00001.pcx"}};
    QCOMPARE(ListRows(w.window), rows);
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    QHeaderView* header = Child<QTreeView>(w.window, "lstFiles").header();
    for (int column : {1, 6, 6}) {
      const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
      QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
      QCOMPARE(ListRows(w.window), rows);
    }
  }

  // Asked while the archive is being read, so under the busy pointer, with the archive before still shown. No drops
  // that archive and loads nothing; Yes loads.
  void paletteQuestionDecidesTheLoad() {
    OpenedWindow w;
    const Bytes other = OneSprite(0);
    w.user.messageAnswers = {ui::Answer::kNo, ui::Answer::kYes};
    OpenThroughWindow(w.window, w.user, w.dir, "OTHER.sff", other);
    VerifyOneMessage(w.user, ui::MsgStyle::kYesNoStopDefaultNo,
                     QStringLiteral("このSFFファイルは共有パレットモードではありません。\n"
                                    "このSFFを正しくデコードすることは出来ません。\n\n"
                                    "デコード結果から、正しくSFFを再構築出来る保証はありません。\n処理を続行しますか？"),
                     true);
    QCOMPARE(w.user.messages[0].listRows, 3);
    VerifyNothingShown(w.window);

    OpenThroughWindow(w.window, w.user, w.dir, "OTHER.sff", other);
    QCOMPARE(w.user.messages.size(), std::size_t{2});
    QCOMPARE(LabelText(w.window, "lblSffName"), QStringLiteral("OTHER.sff"));
    QCOMPARE(ListRows(w.window).size(), std::size_t{1});
    QCOMPARE(w.user.unscripted, 0);
  }

  // A file argument opens once the window is on screen, not before; after "--" every word is a file, and one window
  // holds one archive. A drop gets Open's palette question, and Open's refusal for a file gone since the drag; a
  // folder named like an archive or two archives at once are not taken and change nothing.
  void argumentAndDropLoadAsOpenSffDoes() {
    QCOMPARE(Q(app::ParseStartArguments({"--", "--help"}).archive), QStringLiteral("--help"));
    QCOMPARE(app::ParseStartArguments({"A.sff", "B.sff"}).action, app::StartOptions::Action::kUsageError);
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
    QCOMPARE(DropFiles(window, {dir / "OTHER.sff"}), kTaken);  // never Move: the file manager keeps its file
    QTRY_COMPARE(LabelText(window, "lblSffName"), QStringLiteral("OTHER.sff"));
    QCOMPARE(user.messages.at(0).style, ui::MsgStyle::kYesNoStopDefaultNo);
    std::filesystem::create_directory(dir / "FOLDER.sff");
    WriteBytes(dir / "THIRD.sff", OneSprite());
    QCOMPARE(DropFiles(window, {dir / "FOLDER.sff"}), kRefused);
    QCOMPARE(DropFiles(window, {dir / "テスト.sff", dir / "THIRD.sff"}), kRefused);
    QCOMPARE(LabelText(window, "lblSffName"), QStringLiteral("OTHER.sff"));
    QCOMPARE(user.messages.size(), std::size_t{1});

    user.messages.clear();
    QCOMPARE(DropFiles(window, {dir / "GONE.sff"}), kTaken);
    QTRY_COMPARE(user.messages.size(), std::size_t{1});
    VerifyOneMessage(user, ui::MsgStyle::kStop,
                     Q("ファイルを読み込めません。\n" + dir / "GONE.sff" + "\n" + std::strerror(ENOENT)), true);
    QCOMPARE(user.messages[0].listRows, 0);
    VerifyNothingShown(window);
    QCOMPARE(user.unscripted, 0);
  }
};

PELVARO_GUI_TEST(MainWindowTest);

#include "main_window_test.moc"
