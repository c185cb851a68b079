#include "tests/support/small_disk.h"

#include "text/native_path.h"

#include <algorithm>
#include <filesystem>

#ifndef _WIN32
#include <sched.h>
#include <sys/mount.h>
#endif

namespace pelvaro::testing {
namespace {

#ifndef _WIN32
// Once per process. Mount events then stay inside this process: the tmpfs is
// invisible to the rest of the machine and vanishes when the tests end, even
// when they crash.
bool InPrivateMountNamespace() {
  static const bool entered = unshare(CLONE_NEWNS) == 0 &&
                              mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
  return entered;
}
#endif

}  // namespace

SmallDisk::SmallDisk(std::size_t capacity) {
  path_ = dir_ / "disk";
  std::filesystem::create_directory(std::filesystem::path(text::ToNativePath(path_)));
#ifndef _WIN32
  const std::string options = "size=" + std::to_string(capacity) + ",mode=0700";
  mounted_ = InPrivateMountNamespace() &&
             mount("tmpfs", path_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV | MS_NOEXEC, options.c_str()) == 0;
#else
  (void)capacity;
#endif
  path_ = text::WithTrailingSeparator(path_);
}

SmallDisk::~SmallDisk() {
#ifndef _WIN32
  if (mounted_) umount2(path_.c_str(), MNT_DETACH);
#endif
}

std::vector<std::string> SmallDisk::Entries() const {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(std::filesystem::path(text::ToNativePath(path_))))
    names.push_back(text::FromNativePath(e.path().filename().native()));
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace pelvaro::testing
