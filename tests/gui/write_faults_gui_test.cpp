// Real write faults met by the Save All PCX and Make Text commands: a full
// disk, a folder moved away during the export, a directory where a file should
// go, a path through a regular file. Each ends with one stop-icon message that
// names the file and the reason, shown after the pointer is back to normal;
// files finished before stay whole and no temporary file is left.

#include "sff/message_box.h"
#include "tests/gui/gui_test_registry.h"
#include "tests/gui/gui_test_support.h"
#include "tests/support/load_archive.h"
#include "tests/support/small_disk.h"
#include "tests/support/system_reasons.h"
#include "text/native_path.h"
#include "ui/frm_path.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>

using namespace pelvaro;
using namespace pelvaro::testing;

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kDiskCapacity = 64 * 1024;

fs::path Native(const std::string& path) { return fs::path(text::ToNativePath(path)); }

// The one message of a failed write: stop icon, the heading, the file, the
// reason (compared where the system words it as the C library does).
void VerifyWriteFailure(const ScriptedInteraction& user, const std::string& path, const std::string& reason) {
  const QString head = QStringLiteral("ファイルを書き込めません。\r\n") + Q(path) + QStringLiteral("\r\n");
  VerifyOneMessage(user, mb::kStop, head);
  if (!reason.empty()) QCOMPARE(user.messages[0].text, head + Q(reason));
}

// Runs an action once, when the export's progress window first shows: that is
// after the first row has been written, with the others still to come.
class OnProgressShown final : public QObject {
 public:
  explicit OnProgressShown(std::function<void()> action) : action_(std::move(action)) {
    qApp->installEventFilter(this);
  }
  ~OnProgressShown() override { qApp->removeEventFilter(this); }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (action_ && event->type() == QEvent::Show && qobject_cast<QProgressDialog*>(watched)) {
      auto action = std::move(action_);
      action_ = nullptr;
      action();
    }
    return false;
  }

 private:
  std::function<void()> action_;
};

}  // namespace

class WriteFaultsGuiTest : public QObject {
  Q_OBJECT

 private slots:
  void fullDiskDuringSaveAllPcx() {
    OpenedWindow w(FourSprites(4 * kDiskCapacity));
    SmallDisk disk(kDiskCapacity);
    if (disk.kind() == SmallDisk::Kind::kUnavailable) QSKIP("no way to make a small disk here");
    WriteBytes(disk / "USER_00001_00002.pcx", Bytes(50, 9));  // an older file under the name that does not fit
    w.user.modalScripts.push_back(ChooseFolder(disk.path()));
    w.window.cmdPCX->click();
    VerifyWriteFailure(w.user, disk / "USER_00001_00002.pcx", disk.Reason());
    QCOMPARE(ReadBytes(disk / "USER_00001_00000.pcx").size(), std::size_t{800});
    QCOMPARE(ReadBytes(disk / "USER_00001_00001.pcx").size(), std::size_t{1000 + 768});
    QCOMPARE(ReadBytes(disk / "USER_00001_00002.pcx"), Bytes(50, 9));
    QCOMPARE(disk.Entries(),
             (std::vector<std::string>{"USER_00001_00000.pcx", "USER_00001_00001.pcx", "USER_00001_00002.pcx"}));
  }

  void folderMovedAwayDuringSaveAllPcx() {
    OpenedWindow w(FourSprites(100));
    w.window.SetProgressDelay(std::chrono::milliseconds(0));
    const std::string folder = text::WithTrailingSeparator(w.out / "pcx");
    const std::string moved = text::WithTrailingSeparator(w.out / "moved");
    fs::create_directory(Native(folder));
    w.user.modalScripts.push_back(ChooseFolder(folder));
    const OnProgressShown moveAway([&] { fs::rename(Native(folder), Native(moved)); });
    w.window.cmdPCX->click();
    VerifyWriteFailure(w.user, folder + "USER_00001_00001.pcx", std::strerror(ENOENT));
    QCOMPARE(w.out.Entries(), std::vector<std::string>{"moved"});
    QCOMPARE(EntriesOf(moved), std::vector<std::string>{"USER_00001_00000.pcx"});
    QCOMPARE(ReadBytes(moved + "USER_00001_00000.pcx").size(), std::size_t{800});
  }

  void directoryInAPcxFilesPlace() {
    OpenedWindow w(FourSprites(10));
    fs::create_directory(Native(w.out / "USER_00001_00001.pcx"));
    w.user.modalScripts.push_back(ChooseFolder(w.out.path()));
    w.window.cmdPCX->click();
    VerifyWriteFailure(w.user, w.out / "USER_00001_00001.pcx", std::strerror(EISDIR));
    QCOMPARE(ReadBytes(w.out / "USER_00001_00000.pcx").size(), std::size_t{800});
    QCOMPARE(w.out.Entries(), (std::vector<std::string>{"USER_00001_00000.pcx", "USER_00001_00001.pcx"}));
  }

  void fullDiskDuringMakeText() {
    OpenedWindow w(ManySprites(600, 0));
    SmallDisk disk(16 * 1024);
    if (disk.kind() == SmallDisk::Kind::kUnavailable) QSKIP("no way to make a small disk here");
    w.user.fileAnswers.push_back(Q(disk / "USER_SFF.txt"));
    w.window.cmdText->click();
    VerifyWriteFailure(w.user, disk / "USER_SFF.txt", disk.Reason());
    QVERIFY(disk.Entries().empty());
  }

  void directoryInTheDefinitionTextsPlace() {
    OpenedWindow w(FourSprites(10));
    fs::create_directory(Native(w.out / "USER_SFF.txt"));
    w.user.fileAnswers.push_back(Q(w.out / "USER_SFF.txt"));
    w.window.cmdText->click();
    VerifyWriteFailure(w.user, w.out / "USER_SFF.txt", std::strerror(EISDIR));
    QCOMPARE(w.out.Entries(), std::vector<std::string>{"USER_SFF.txt"});  // no batch file beside it
  }

  void pathThroughARegularFile() {
    OpenedWindow w(FourSprites(10));
    WriteBytes(w.out / "file", Bytes(3, 7));
    const std::string through = w.out / "file" + text::kPathSeparator;
    w.user.modalScripts.push_back(ChooseFolder(through));
    w.window.cmdPCX->click();
    VerifyWriteFailure(w.user, through + "USER_00001_00000.pcx", PathThroughFileReason());
    w.user.messages.clear();
    w.user.fileAnswers.push_back(Q(through + "USER_SFF.txt"));
    w.window.cmdText->click();
    VerifyWriteFailure(w.user, through + "USER_SFF.txt", PathThroughFileReason());
    QCOMPARE(ReadBytes(w.out / "file"), Bytes(3, 7));
    QCOMPARE(w.out.Entries(), std::vector<std::string>{"file"});
  }
};

PELVARO_GUI_TEST(WriteFaultsGuiTest);

#include "write_faults_gui_test.moc"
