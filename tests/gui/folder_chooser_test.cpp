// The folder chooser on its own: the path box always ends with exactly one
// separator, the three controls stay in step, the start folder handed over in
// `p`, and what O K and Cancel report.

#include "tests/gui/gui_test_registry.h"
#include "tests/support/temp_dir.h"
#include "text/native_path.h"
#include "ui/directory_list.h"
#include "ui/drive_list.h"
#include "ui/frm_path.h"

#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using namespace pelvaro;
using namespace pelvaro::testing;

namespace {

const QString kSep = QString(QLatin1Char(text::kPathSeparator));

QString Native(const std::string& path) { return QDir::toNativeSeparators(QString::fromStdString(path)); }

// `dir` with the folders a, b and "c d" in it; returns the folder without its separator.
QString FolderWithChildren(const TempDir& dir) {
  for (const char* name : {"a", "b", "c d"}) QDir().mkpath(QString::fromStdString(dir / name));
  QString folder = Native(dir.path());
  folder.chop(1);
  return folder;
}

int RowOf(const ui::DirectoryList& list, const QString& path) {
  for (int i = 0; i < list.count(); ++i)
    if (list.List(i) == path) return i;
  return -1;
}

void ClickRow(ui::DirectoryList& list, int row, bool twice = false) {
  if (row < 0) QFAIL("no such entry in the directory list");
  list.scrollToItem(list.item(row));
  const QPoint centre = list.visualItemRect(list.item(row)).center();
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, centre);
  if (twice) QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, centre);
}

// A chooser shown with a folder holding a, b and "c d" as its start folder.
struct ChooserAtFolder {
  TempDir dir;
  QString folder = FolderWithChildren(dir);
  ui::frmPath chooser;
  ChooserAtFolder() {
    chooser.p = folder.toStdString();
    chooser.show();
  }
};

}  // namespace

class FolderChooserTest : public QObject {
  Q_OBJECT

 private slots:
  void opensCentredAtTheDrivesCurrentFolder() {
    ui::frmPath chooser;
    chooser.show();
    const QString working = QDir::toNativeSeparators(QDir::currentPath());
    QCOMPARE(chooser.dirDir->Path(), working);
    QCOMPARE(chooser.txtPath->text(), working.endsWith(kSep) ? working : working + kSep);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QVERIFY(qAbs(chooser.frameGeometry().center().x() - screen.center().x()) <= 1);
    QVERIFY(qAbs(chooser.frameGeometry().center().y() - screen.center().y()) <= 1);
  }

  void pathBoxAlwaysEndsWithExactlyOneSeparator() {
    ChooserAtFolder at;
    auto& [dir, folder, chooser] = at;
    QCOMPARE(chooser.txtPath->text(), folder + kSep);

    // A directory entry gets one, the root keeps its own and gets none.
    ClickRow(*chooser.dirDir, RowOf(*chooser.dirDir, folder + kSep + "c d"));
    QCOMPARE(chooser.txtPath->text(), folder + kSep + "c d" + kSep);
    ClickRow(*chooser.dirDir, 0);
    QCOMPARE(chooser.txtPath->text(), QDir::toNativeSeparators(QDir::rootPath()));

    // Emptied, it still holds the separator.
    chooser.txtPath->clear();
    QCOMPARE(chooser.txtPath->text(), kSep);

    // Typing at the end puts a separator behind the new character at once,
    // and the caret stays in front of it so typing goes on in the name.
    chooser.txtPath->setText(folder);
    QCOMPARE(chooser.txtPath->text(), folder + kSep);
    chooser.txtPath->setFocus();
    chooser.txtPath->end(false);
    QTest::keyClicks(chooser.txtPath, "xy");
    QCOMPARE(chooser.txtPath->text(), folder + kSep + "xy" + kSep);
    QCOMPARE(chooser.txtPath->cursorPosition(), chooser.txtPath->text().size() - 1);
    // A doubled separator at the end collapses to one.
    chooser.txtPath->setText(folder + kSep + kSep);
    QCOMPARE(chooser.txtPath->text(), folder + kSep);
  }

  void listsFollowClicksButNotTyping() {
    ChooserAtFolder at;
    auto& [dir, folder, chooser] = at;
    const int parent = RowOf(*chooser.dirDir, folder) - 1;
    QVERIFY(parent >= 0);
    const QString above = chooser.dirDir->List(parent);

    // A single click selects, the open folder stays.
    ClickRow(*chooser.dirDir, RowOf(*chooser.dirDir, folder + kSep + "a"));
    QCOMPARE(chooser.dirDir->Path(), folder);
    QCOMPARE(chooser.txtPath->text(), folder + kSep + "a" + kSep);
    // A double click opens.
    ClickRow(*chooser.dirDir, RowOf(*chooser.dirDir, folder + kSep + "b"), true);
    QCOMPARE(chooser.dirDir->Path(), folder + kSep + "b");
    QCOMPARE(chooser.txtPath->text(), folder + kSep + "b" + kSep);
    // Ancestors are listed above, each one opens its parent chain.
    ClickRow(*chooser.dirDir, RowOf(*chooser.dirDir, above), true);
    QCOMPARE(chooser.dirDir->Path(), above);

    // Typed text moves neither list.
    const QString open = chooser.dirDir->Path();
    const int drive = chooser.drvDrive->ListIndex();
    chooser.txtPath->setText(Native(dir / "nowhere"));
    QCOMPARE(chooser.dirDir->Path(), open);
    QCOMPARE(chooser.drvDrive->ListIndex(), drive);
  }

  // A start folder is trimmed and opened; one that vanished opens its nearest parent.
  void startFolderIsTrimmedAndOpened() {
    TempDir dir;
    const QString folder = FolderWithChildren(dir);
    for (const std::string& p : {"  " + folder.toStdString() + text::kPathSeparator + " ",
                                 (folder + kSep + "gone" + kSep + "deeper" + kSep).toStdString()}) {
      ui::frmPath chooser;
      chooser.p = p;
      chooser.show();
      QCOMPARE(chooser.txtPath->text(), folder + kSep);
      QCOMPARE(chooser.dirDir->Path(), folder);
      QCOMPARE(chooser.drvDrive->ListIndex(), ui::VolumeHolding(ui::UserVolumes(), folder));
      QCOMPARE(chooser.dirDir->List(chooser.dirDir->ListIndex()), folder);
    }
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
    QCOMPARE(chooser.dirDir->ListIndex(), 0);
  }

  void okAcceptsATypedFolderUnchecked() {
    TempDir dir;
    ui::frmPath chooser;
    chooser.show();
    const QString typed = Native(dir / "not" + text::kPathSeparator + "there") + kSep;
    chooser.txtPath->setText(typed);
    QTest::mouseClick(chooser.cmdOK, Qt::LeftButton);
    QCOMPARE(chooser.swPath, ui::frmPath::kTrue);
    QVERIFY(!chooser.isVisible());
    QCOMPARE(chooser.txtPath->text(), typed);

    // Shown again without a start folder, then left by Esc: False, and hidden.
    chooser.show();
    QTest::keyClick(&chooser, Qt::Key_Escape);
    QCOMPARE(chooser.swPath, ui::frmPath::kFalse);
    QVERIFY(!chooser.isVisible());
  }

  void driveChangeMovesBothFollowers() {
    TempDir dir;
    const QString folder = FolderWithChildren(dir);
    ui::frmPath chooser;
    chooser.drvDrive->SetVolumes({{QDir::toNativeSeparators(QDir::rootPath()), {}}, {folder, QStringLiteral("DATA")}});
    chooser.show();
    chooser.drvDrive->setCurrentIndex(1);
    QCOMPARE(chooser.dirDir->Path(), folder);
    QCOMPARE(chooser.txtPath->text(), folder + kSep);
    QVERIFY(chooser.drvDrive->itemText(1).contains(QStringLiteral("DATA")));
    // Picking "the drive of a path" picks the volume that holds it.
    chooser.drvDrive->SelectDriveHolding(folder + kSep + "a");
    QCOMPARE(chooser.drvDrive->ListIndex(), 1);
    chooser.drvDrive->SelectDriveHolding(QDir::rootPath());
    QCOMPARE(chooser.drvDrive->ListIndex(), 0);
  }

  void volumesLeaveOutTheSystemsOwnMounts() {
#ifdef Q_OS_WIN
    QSKIP("drives on Windows are all listed");
#else
    for (const char* user : {"/", "/home", "/media/usb", "/run/media/me/STICK", "/mnt/share", "/data"})
      QVERIFY2(ui::IsUserMountPoint(QString::fromLatin1(user)), user);
    for (const char* system : {"/proc", "/sys/fs/cgroup", "/dev/shm", "/run/user/1000", "/boot/efi", "/etc/hosts",
                               "/snap/core/1", "/tmp"})
      QVERIFY2(!ui::IsUserMountPoint(QString::fromLatin1(system)), system);
    const std::vector<ui::Volume> volumes{{"/", {}}, {"/media/usb", {}}, {"/media/usb2", {}}};
    QCOMPARE(ui::VolumeHolding(volumes, "/media/usb/x"), 1);
    QCOMPARE(ui::VolumeHolding(volumes, "/media/usb2"), 2);
    QCOMPARE(ui::VolumeHolding(volumes, "/media/usb3/x"), 0);
    QCOMPARE(ui::VolumeHolding(volumes, ""), 0);
    QCOMPARE(ui::VolumeHolding(ui::UserVolumes(), "/"), 0);
#endif
  }
};

PELVARO_GUI_TEST(FolderChooserTest);

#include "folder_chooser_test.moc"
