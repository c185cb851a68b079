#pragma once

#include "tests/support/temp_dir.h"

#include <cstddef>
#include <string>
#include <vector>

namespace pelvaro::testing {

// A folder that takes only `capacity` bytes, for tests of a full disk: a tmpfs
// of that size mounted on it inside a mount namespace of the test process's
// own, so nothing stays mounted when the tests end and no other process sees
// it. That needs root on Linux; elsewhere the folder is unavailable and the
// tests that need it are skipped. Archives to read must be written before it
// is made.
class SmallDisk {
 public:
  explicit SmallDisk(std::size_t capacity);
  ~SmallDisk();
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool available() const { return mounted_; }
  // The folder, ending with the separator.
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + name; }
  std::vector<std::string> Entries() const;

 private:
  TempDir dir_;
  std::string path_;
  bool mounted_ = false;
};

}  // namespace pelvaro::testing
