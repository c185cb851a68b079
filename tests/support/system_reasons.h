#pragma once

#include "platform/native_path.h"

#include <cerrno>
#include <cstring>
#include <string>

namespace pelvaro::testing {

// The system's words for a path through a regular file (".../file/x.txt"), which Windows finds missing.
inline std::string PathThroughFileReason() {
  return std::strerror(platform::kPathSeparator == '\\' ? ENOENT : ENOTDIR);
}

}  // namespace pelvaro::testing
