#pragma once

#include "tests/support/temp_dir.h"

#include <cstddef>
#include <string>
#include <vector>

namespace pelvaro::testing {

// A folder that takes only about `capacity` bytes, for tests of a full disk.
// Where the system allows it (root on Linux), a tmpfs of that size is mounted
// on the folder inside a mount namespace of the test process's own, so nothing
// stays mounted when the tests end and no other process sees it. Otherwise the
// process gets a file size limit of `capacity` (SIGXFSZ ignored, so the write
// that crosses it fails with EFBIG rather than ending the process); a single
// file larger than the capacity then fails as it would on a full disk. Both go
// when the object does. Archives to read must be written before it is made.
class SmallDisk {
 public:
  enum class Kind { kTmpfs, kFileSizeLimit, kUnavailable };

  explicit SmallDisk(std::size_t capacity);
  ~SmallDisk();
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  Kind kind() const { return kind_; }
  // The folder, ending with the separator.
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + name; }
  std::vector<std::string> Entries() const;
  // The system's words for a write that does not fit: "No space left on
  // device" on the tmpfs, "File too large" under the size limit.
  std::string Reason() const;

 private:
  TempDir dir_;
  std::string path_;
  Kind kind_ = Kind::kUnavailable;
  unsigned long long savedLimit_ = 0;
  void (*savedHandler_)(int) = nullptr;
};

}  // namespace pelvaro::testing
