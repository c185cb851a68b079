#pragma once

// The drive selector of the folder chooser: a drop-down list of the volumes
// (see volumes.h). Choosing "the drive of a path" picks the volume that holds
// it; a drive's current folder is the program's working folder when that lies
// on the volume, else the volume's root.

#include "ui/volumes.h"

#include <QComboBox>

#include <vector>

namespace pelvaro::ui {

class DriveList : public QComboBox {
 public:
  explicit DriveList(QWidget* parent = nullptr);

  // Replaces the entries; the current one is the volume of the working folder.
  void SetVolumes(std::vector<Volume> volumes);

  int ListIndex() const { return currentIndex(); }
  // The root of the entry at `index`; empty text for no entry.
  QString List(int index) const;
  // Selects the volume that holds `path`; no change when none does.
  void SelectDriveHolding(const QString& path);
  // The folder a directory list opens for the entry at `index`.
  QString CurrentDirectoryOf(int index) const;

 private:
  std::vector<Volume> volumes_;
};

}  // namespace pelvaro::ui
