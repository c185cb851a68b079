// The volumes the folder chooser offers, and which of them holds a folder.

#include "ui/volumes.h"
#include "tests/gui/gui_test_support.h"

#include <QDir>
#include <QTest>

#include <algorithm>

namespace pelvaro::ui {

class VolumesTest : public QObject {
  Q_OBJECT

 private slots:
  // The root, removable media and user mounts are offered; the system's own
  // file systems are not, and a name is matched whole, never by its start.
  void onlyMountsAUserKeepsFilesOnAreOffered() {
    for (const char* offered : {"/", "/home", "/srv/data", "/media", "/media/usb", "/mnt", "/mnt/share",
                                "/run/media/me/STICK", "/procedures", "/devices", "/runs", "/var2"})
      QVERIFY2(IsUserMountPoint(QString::fromLatin1(offered)), offered);
    for (const char* hidden : {"/proc", "/sys", "/sys/fs/cgroup", "/dev", "/dev/shm", "/run", "/run/user/1000", "/boot",
                               "/boot/efi", "/etc", "/usr", "/var", "/var/lib/docker", "/snap/core/1", "/tmp"})
      QVERIFY2(!IsUserMountPoint(QString::fromLatin1(hidden)), hidden);
  }

  // The longest root that holds the folder, by whole folder names; a
  // trailing separator or a "." changes nothing.
  void theVolumeHoldingAFolderIsTheDeepestRootThatHoldsIt() {
    const std::vector<Volume> volumes{{QStringLiteral("/"), {}},
                                      {QStringLiteral("/home"), QStringLiteral("home")},
                                      {QStringLiteral("/media/usb"), QStringLiteral("USB")}};
    QCOMPARE(VolumeHolding(volumes, QStringLiteral("/home/me/sprites")), 1);
    QCOMPARE(VolumeHolding(volumes, QStringLiteral("/home")), 1);
    QCOMPARE(VolumeHolding(volumes, QStringLiteral("/home/")), 1);
    QCOMPARE(VolumeHolding(volumes, QStringLiteral("/homework/x")), 0);
    QCOMPARE(VolumeHolding(volumes, QStringLiteral("/media/usb/./out")), 2);
    QCOMPARE(VolumeHolding(volumes, QStringLiteral("/media/usb2")), 0);
    QCOMPARE(VolumeHolding(volumes, QStringLiteral("/")), 0);
    QCOMPARE(VolumeHolding({{QStringLiteral("/home"), {}}}, QStringLiteral("/srv")), -1);
    QCOMPARE(VolumeHolding({}, QStringLiteral("/home")), -1);
  }

  // Whatever this machine mounts: the root is there, each root once, in
  // order, and every one offered is a folder a user may pick.
  void theMachinesVolumesHoldTheRootOnceEachInOrder() {
    const std::vector<Volume> volumes = UserVolumes();
    QVERIFY(std::any_of(volumes.begin(), volumes.end(), [](const Volume& v) { return v.root == QLatin1String("/"); }));
    for (std::size_t i = 1; i < volumes.size(); ++i) QVERIFY(volumes[i - 1].root < volumes[i].root);
    for (const Volume& v : volumes) {
      QVERIFY2(IsUserMountPoint(QDir::fromNativeSeparators(v.root)), qPrintable(v.root));
      QVERIFY2(QDir(v.root).exists(), qPrintable(v.root));
    }
  }
};

PELVARO_GUI_TEST(VolumesTest);

}  // namespace pelvaro::ui

#include "volumes_test.moc"
