#pragma once

// What stands where a file is to be written, asked before anything is
// written. Nothing there, or a regular file: written. A symbolic link to a
// regular file: followed, so the file it names is replaced (in that file's
// folder) and the link stays. Refused, and left as it is: the open archive
// itself under whatever name or link, a directory, a FIFO, a device, a
// socket, a link to nothing, and a file without write permission (which
// Windows refuses to replace, so Linux refuses it too, in the same words).

#include "base/result.h"
#include "export/write_error.h"
#include "platform/file_identity.h"

#include <cstdint>
#include <optional>
#include <string>

namespace pelvaro::exporter {

struct WriteTarget {
  std::string path;  // the file to replace: the target, or the file its link names
  // The file replaced, when there is one: its permission bits and owner go to
  // the file that takes its place (POSIX; Windows refuses a read-only file
  // and has no other bits to keep).
  bool replaces = false;
  std::uint32_t mode = 0;
  std::uint32_t owner = 0;
  std::uint32_t group = 0;
};

// The target of a write to `path`; an error naming `path` when it must not be
// written. `openArchive` is the file of the open archive, when there is one.
Result<WriteTarget, WriteError> InspectWriteTarget(const std::string& path,
                                                   const std::optional<platform::FileIdentity>& openArchive);

}  // namespace pelvaro::exporter
