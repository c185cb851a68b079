#pragma once

#include <cerrno>
#include <cstring>
#include <string>

namespace pelvaro::testing {

// The system's words for a path that runs through a regular file
// (".../file/x.txt"): POSIX finds that "file" is not a directory, Windows
// that the path does not exist.
inline std::string PathThroughFileReason() {
#ifdef _WIN32
  return std::strerror(ENOENT);
#else
  return std::strerror(ENOTDIR);
#endif
}

}  // namespace pelvaro::testing
