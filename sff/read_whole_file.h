#pragma once

// Reads a file whole, in one read, into memory that is not zero-filled first.

#include "base/result.h"
#include "platform/file_identity.h"
#include "sff/byte_image.h"
#include "sff/load_error.h"

#include <optional>
#include <string>

namespace pelvaro::sff {

struct WholeFile {
  ByteImage bytes;
  // Which file was read, so that no export replaces it.
  std::optional<platform::FileIdentity> identity;
};

// The bytes of the regular file at `path` (UTF-8). Anything else (a folder, a
// FIFO, a device) is refused before it is opened, so nothing waits on it.
Result<WholeFile, LoadError> ReadWholeFile(const std::string& path);

}  // namespace pelvaro::sff
