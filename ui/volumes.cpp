#include "ui/volumes.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

namespace pelvaro::ui {
namespace {

#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseSensitive;
#endif

// `path` in Qt's form without a trailing "/" (a root keeps it).
QString Normalised(const QString& path) {
  QString p = QDir::cleanPath(QDir::fromNativeSeparators(path));
  if (p.isEmpty()) p = QDir::rootPath();
  return p;
}

bool Holds(const QString& root, const QString& path) {
  if (root.endsWith(QLatin1Char('/'))) return path.startsWith(root, kPathCase) || path.compare(root.chopped(1), kPathCase) == 0;
  return path.compare(root, kPathCase) == 0 || path.startsWith(root + QLatin1Char('/'), kPathCase);
}

}  // namespace

bool IsUserMountPoint(const QString& root) {
#ifdef Q_OS_WIN
  Q_UNUSED(root);
  return true;
#else
  if (root == QLatin1String("/")) return true;
  // Removable media and user mounts live under these even though /run is the
  // system's own.
  for (const char* user : {"/run/media/", "/media/", "/mnt/"})
    if (root.startsWith(QLatin1String(user)) || root == QLatin1String(user).chopped(1)) return true;
  for (const char* system : {"/proc", "/sys", "/dev", "/run", "/boot", "/etc", "/usr", "/var", "/snap", "/tmp"})
    if (root == QLatin1String(system) || root.startsWith(QLatin1String(system) + QLatin1Char('/'))) return false;
  return true;
#endif
}

std::vector<Volume> UserVolumes() {
  std::vector<Volume> volumes;
  for (const QStorageInfo& storage : QStorageInfo::mountedVolumes()) {
    const QString root = Normalised(storage.rootPath());
    if (!storage.isValid() || !IsUserMountPoint(root) || !QFileInfo(root).isDir()) continue;
    const bool seen = std::any_of(volumes.begin(), volumes.end(), [&](const Volume& v) {
      return Normalised(v.root).compare(root, kPathCase) == 0;
    });
    if (seen) continue;
    QString label = storage.name();
    volumes.push_back({QDir::toNativeSeparators(root), label});
  }
#ifndef Q_OS_WIN
  // The root is always there to pick, even when a container hides its mount.
  if (std::none_of(volumes.begin(), volumes.end(), [](const Volume& v) { return v.root == QLatin1String("/"); }))
    volumes.push_back({QStringLiteral("/"), QString()});
#endif
  std::sort(volumes.begin(), volumes.end(), [](const Volume& a, const Volume& b) {
    return a.root.compare(b.root, kPathCase) < 0;
  });
  return volumes;
}

int VolumeHolding(const std::vector<Volume>& volumes, const QString& path) {
  const QString wanted = Normalised(QDir(Normalised(path)).absolutePath());
  int best = -1;
  qsizetype bestLength = -1;
  for (std::size_t i = 0; i < volumes.size(); ++i) {
    const QString root = Normalised(volumes[i].root);
    if (Holds(root, wanted) && root.size() > bestLength) {
      best = static_cast<int>(i);
      bestLength = root.size();
    }
  }
  return best;
}

}  // namespace pelvaro::ui
