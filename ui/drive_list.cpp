#include "ui/drive_list.h"

#include <QDir>

namespace pelvaro::ui {

DriveList::DriveList(QWidget* parent) : QComboBox(parent) { SetVolumes(UserVolumes()); }

void DriveList::SetVolumes(std::vector<Volume> volumes) {
  const QSignalBlocker quiet(this);
  clear();
  volumes_ = std::move(volumes);
  for (const Volume& v : volumes_) {
#ifdef Q_OS_WIN
    // "c: [System]", as drives are listed on Windows.
    QString entry = v.root.left(2).toLower();
#else
    QString entry = v.root;
#endif
    if (!v.label.isEmpty() && v.label != v.root) entry += QStringLiteral(" [") + v.label + QLatin1Char(']');
    addItem(entry);
  }
  setCurrentIndex(VolumeHolding(volumes_, QDir::currentPath()));
}

QString DriveList::List(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= volumes_.size()) return {};
  return volumes_[static_cast<std::size_t>(index)].root;
}

void DriveList::SelectDriveHolding(const QString& path) {
  const int index = VolumeHolding(volumes_, path);
  if (index >= 0) setCurrentIndex(index);
}

QString DriveList::CurrentDirectoryOf(int index) const {
  const QString working = QDir::toNativeSeparators(QDir::currentPath());
  if (index >= 0 && VolumeHolding(volumes_, working) == index) return working;
  return List(index);
}

}  // namespace pelvaro::ui
