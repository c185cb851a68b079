#pragma once

#include "tests/support/temp_dir.h"
#include "text/native_path.h"

#include <cstddef>
#include <filesystem>
#include <string>

#ifndef _WIN32
#include <sched.h>
#include <sys/mount.h>
#endif

namespace pelvaro::testing {

// A folder of `capacity` bytes: a tmpfs in the test process's own mount namespace, so that it vanishes with the
// process even when that crashes. It takes root on Linux; write archives to read before making it.
class SmallDisk {
 public:
  explicit SmallDisk([[maybe_unused]] std::size_t capacity) {
    std::filesystem::create_directory(std::filesystem::path(text::ToNativePath(path_)));
#ifndef _WIN32
    static const bool privateMounts =
        unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    const std::string options = "size=" + std::to_string(capacity) + ",mode=0700";
    mounted_ = privateMounts &&
               mount("tmpfs", path_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV | MS_NOEXEC, options.c_str()) == 0;
#endif
    path_ = text::WithTrailingSeparator(path_);
  }
  ~SmallDisk() {
#ifndef _WIN32
    if (mounted_) umount2(path_.c_str(), MNT_DETACH);
#endif
  }

  bool available() const { return mounted_; }
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  TempDir dir_;
  std::string path_ = dir_ / "disk";
  bool mounted_ = false;
};

}  // namespace pelvaro::testing
