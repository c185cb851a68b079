#pragma once

// What makes a file the same file however it is named: the device and inode
// on POSIX, the volume serial number and file index on Windows. Two paths
// with the same identity are one file, through a hard link, a symbolic link,
// "..", or another spelling of the same name.

#include <cstdint>

namespace pelvaro::platform {

struct FileIdentity {
  std::uint64_t volume = 0;  // st_dev; the volume serial number on Windows
  std::uint64_t file = 0;    // st_ino; the file index on Windows

  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

}  // namespace pelvaro::platform
