#pragma once

#include <cerrno>
#include <cstring>
#include <string>

namespace pelvaro::testing {

// The system's words for a path through a regular file (".../file/x.txt"), which Windows finds missing.
inline std::string PathThroughFileReason() {
#ifdef _WIN32
  return std::strerror(ENOENT);
#else
  return std::strerror(ENOTDIR);
#endif
}

}  // namespace pelvaro::testing
