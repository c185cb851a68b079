#pragma once

// The volumes a user would pick an output folder on. On Windows these are the
// drives; elsewhere the file-system root and the mounted file systems a user
// keeps files on (removable media, network shares, separate home or data
// partitions), leaving out the system's own pseudo and boot file systems.

#include <QString>

#include <vector>

namespace pelvaro::ui {

struct Volume {
  QString root;   // native form, ending in its separator only when it is a root ("/", "C:\")
  QString label;  // the volume's name, may be empty
};

std::vector<Volume> UserVolumes();

// Whether a mount at `root` (Qt's form, "/" separators) is one a user would pick.
bool IsUserMountPoint(const QString& root);

// Index of the volume whose root holds `path` (the longest matching root,
// whole folder names only); -1 when none does.
int VolumeHolding(const std::vector<Volume>& volumes, const QString& path);

}  // namespace pelvaro::ui
