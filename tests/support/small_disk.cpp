#include "tests/support/small_disk.h"

#include "text/native_path.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#ifndef _WIN32
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>

#include <csignal>
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
  if (InPrivateMountNamespace() &&
      mount("tmpfs", path_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV | MS_NOEXEC, options.c_str()) == 0) {
    kind_ = Kind::kTmpfs;
  } else {
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) == 0 && (limit.rlim_max == RLIM_INFINITY || limit.rlim_max > capacity)) {
      savedLimit_ = limit.rlim_cur;
      limit.rlim_cur = capacity;
      savedHandler_ = std::signal(SIGXFSZ, SIG_IGN);
      if (setrlimit(RLIMIT_FSIZE, &limit) == 0) {
        kind_ = Kind::kFileSizeLimit;
      } else {
        std::signal(SIGXFSZ, savedHandler_);
      }
    }
  }
#else
  (void)capacity;
#endif
  path_ = text::WithTrailingSeparator(path_);
}

SmallDisk::~SmallDisk() {
#ifndef _WIN32
  if (kind_ == Kind::kTmpfs) umount2(path_.c_str(), MNT_DETACH);
  if (kind_ == Kind::kFileSizeLimit) {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = static_cast<rlim_t>(savedLimit_);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, savedHandler_);
  }
#endif
}

std::vector<std::string> SmallDisk::Entries() const {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(std::filesystem::path(text::ToNativePath(path_))))
    names.push_back(text::FromNativePath(e.path().filename().native()));
  std::sort(names.begin(), names.end());
  return names;
}

std::string SmallDisk::Reason() const {
#ifndef _WIN32
  return std::strerror(kind_ == Kind::kTmpfs ? ENOSPC : EFBIG);
#else
  return {};
#endif
}

}  // namespace pelvaro::testing
