// Real write faults met by the Save All PCX and Make Text commands: a full
// disk, a folder moved away during the export, a directory where a file should
// go, a path through a regular file. Each ends with one stop-icon message that
// names the file and the reason, shown after the pointer is back to normal;
// files finished before stay whole and no temporary file is left.

#include "sff/message_box.h"
#include "tests/gui/gui_test_registry.h"
#include "tests/gui/gui_test_support.h"
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

ScriptedInteraction::ModalScript ChooseFolder(const std::string& folder) {
  return [folder](QDialog& d) {
    auto& chooser = dynamic_cast<ui::frmPath&>(d);
    chooser.txtPath->setText(Q(folder));
    QTest::mouseClick(chooser.cmdOK, Qt::LeftButton);
  };
}

// Four sprites in display order 1/0 (the palette source), 1/1, 1/2, 1/3; 1/2
// has `largeSize` payload bytes, so that on a small disk it is the one that does not fit.
Bytes FourSprites(std::size_t largeSize) {
  auto payload = [](std::size_t size, std::uint8_t seed) {
    Bytes b(size);
    for (std::size_t i = 0; i < size; ++i) b[i] = static_cast<std::uint8_t>(seed + i);
    return b;
  };
  return SffBuilder()
      .Add({.group = 1, .item = 0, .palFlag = 0, .payload = payload(800, 1)})
      .Add({.group = 1, .item = 1, .palFlag = 1, .payload = payload(1000, 2)})
      .Add({.group = 1, .item = 2, .palFlag = 1, .payload = payload(largeSize, 3)})
      .Add({.group = 1, .item = 3, .palFlag = 1, .payload = payload(10, 4)})
      .Build();
}

// Enough rows that the definition text takes more than 16 KiB.
Bytes ManySprites() {
  SffBuilder b;
  for (std::uint16_t i = 0; i < 600; ++i) b.Add({.group = 1, .item = i, .palFlag = 0, .payload = Bytes(4, 0)});
  return b.Build();
}

// The one message of a failed write: stop icon, the heading, the file, the
// reason (compared where the system words it as the C library does).
void VerifyWriteFailure(const ScriptedInteraction& user, const std::string& path, const std::string& reason) {
  QCOMPARE(user.messages.size(), std::size_t{1});
  QCOMPARE(user.messages[0].style, mb::kStop);
  QVERIFY(!user.messages[0].busy);
  const QString head = QStringLiteral("ファイルを書き込めません。\r\n") + Q(path) + QStringLiteral("\r\n");
  QVERIFY2(user.messages[0].text.startsWith(head), qPrintable(user.messages[0].text));
  if (!reason.empty()) QCOMPARE(user.messages[0].text, head + Q(reason));
  QVERIFY(!PointerOverridden());
}

std::vector<std::string> EntriesOf(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(Native(folder)))
    names.push_back(text::FromNativePath(e.path().filename().native()));
  std::sort(names.begin(), names.end());
  return names;
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
    ScriptedInteraction user;
    TempDir dir;
    app::frmMain window;
    OpenThroughWindow(window, user, dir, "USER.sff", FourSprites(4 * kDiskCapacity));
    SmallDisk disk(kDiskCapacity);
    if (disk.kind() == SmallDisk::Kind::kUnavailable) QSKIP("no way to make a small disk here");
    WriteBytes(disk / "USER_00001_00002.pcx", Bytes(50, 9));  // an older file under the name that does not fit
    user.modalScripts.push_back(ChooseFolder(disk.path()));
    window.cmdPCX->click();
    VerifyWriteFailure(user, disk / "USER_00001_00002.pcx", disk.Reason());
    QCOMPARE(ReadBytes(disk / "USER_00001_00000.pcx").size(), std::size_t{800});
    QCOMPARE(ReadBytes(disk / "USER_00001_00001.pcx").size(), std::size_t{1000 + 768});
    QCOMPARE(ReadBytes(disk / "USER_00001_00002.pcx"), Bytes(50, 9));
    QCOMPARE(disk.Entries(),
             (std::vector<std::string>{"USER_00001_00000.pcx", "USER_00001_00001.pcx", "USER_00001_00002.pcx"}));
  }

  void folderMovedAwayDuringSaveAllPcx() {
    ScriptedInteraction user;
    TempDir dir, out;
    app::frmMain window;
    window.SetProgressDelay(std::chrono::milliseconds(0));
    OpenThroughWindow(window, user, dir, "USER.sff", FourSprites(100));
    const std::string folder = text::WithTrailingSeparator(out / "pcx");
    const std::string moved = text::WithTrailingSeparator(out / "moved");
    fs::create_directory(Native(folder));
    user.modalScripts.push_back(ChooseFolder(folder));
    const OnProgressShown moveAway([&] { fs::rename(Native(folder), Native(moved)); });
    window.cmdPCX->click();
    VerifyWriteFailure(user, folder + "USER_00001_00001.pcx", std::strerror(ENOENT));
    QCOMPARE(out.Entries(), std::vector<std::string>{"moved"});
    QCOMPARE(EntriesOf(moved), std::vector<std::string>{"USER_00001_00000.pcx"});
    QCOMPARE(ReadBytes(moved + "USER_00001_00000.pcx").size(), std::size_t{800});
  }

  void directoryInAPcxFilesPlace() {
    ScriptedInteraction user;
    TempDir dir, out;
    app::frmMain window;
    OpenThroughWindow(window, user, dir, "USER.sff", FourSprites(10));
    fs::create_directory(Native(out / "USER_00001_00001.pcx"));
    user.modalScripts.push_back(ChooseFolder(out.path()));
    window.cmdPCX->click();
    VerifyWriteFailure(user, out / "USER_00001_00001.pcx", std::strerror(EISDIR));
    QCOMPARE(ReadBytes(out / "USER_00001_00000.pcx").size(), std::size_t{800});
    QCOMPARE(out.Entries(), (std::vector<std::string>{"USER_00001_00000.pcx", "USER_00001_00001.pcx"}));
  }

  void fullDiskDuringMakeText() {
    ScriptedInteraction user;
    TempDir dir;
    app::frmMain window;
    OpenThroughWindow(window, user, dir, "USER.sff", ManySprites());
    SmallDisk disk(16 * 1024);
    if (disk.kind() == SmallDisk::Kind::kUnavailable) QSKIP("no way to make a small disk here");
    user.fileAnswers.push_back(Q(disk / "USER_SFF.txt"));
    window.cmdText->click();
    VerifyWriteFailure(user, disk / "USER_SFF.txt", disk.Reason());
    QVERIFY(disk.Entries().empty());
  }

  void directoryInTheDefinitionTextsPlace() {
    ScriptedInteraction user;
    TempDir dir, out;
    app::frmMain window;
    OpenThroughWindow(window, user, dir, "USER.sff", FourSprites(10));
    fs::create_directory(Native(out / "USER_SFF.txt"));
    user.fileAnswers.push_back(Q(out / "USER_SFF.txt"));
    window.cmdText->click();
    VerifyWriteFailure(user, out / "USER_SFF.txt", std::strerror(EISDIR));
    QCOMPARE(out.Entries(), std::vector<std::string>{"USER_SFF.txt"});  // no batch file beside it
  }

  void pathThroughARegularFile() {
    ScriptedInteraction user;
    TempDir dir, out;
    app::frmMain window;
    OpenThroughWindow(window, user, dir, "USER.sff", FourSprites(10));
    WriteBytes(out / "file", Bytes(3, 7));
    const std::string through = out / "file" + text::kPathSeparator;
    user.modalScripts.push_back(ChooseFolder(through));
    window.cmdPCX->click();
    VerifyWriteFailure(user, through + "USER_00001_00000.pcx", PathThroughFileReason());
    user.messages.clear();
    user.fileAnswers.push_back(Q(through + "USER_SFF.txt"));
    window.cmdText->click();
    VerifyWriteFailure(user, through + "USER_SFF.txt", PathThroughFileReason());
    QCOMPARE(ReadBytes(out / "file"), Bytes(3, 7));
    QCOMPARE(out.Entries(), std::vector<std::string>{"file"});
  }
};

PELVARO_GUI_TEST(WriteFaultsGuiTest);

#include "write_faults_gui_test.moc"
