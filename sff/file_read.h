#pragma once

#include "sff/byte_image.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pelvaro::sff {

struct ReadFailure {
  enum class Kind { kCannotRead, kTooLarge } kind = Kind::kCannotRead;
  std::string reason;  // the system's words for what went wrong
};

// Reads the whole file at `path` (UTF-8) with one read. Files of 2 GiB and more
// are refused: every position in the archive is a 32-bit signed number.
// Returns nothing on success.
std::optional<ReadFailure> ReadWholeFile(const std::string& path, ByteImage& out);

}  // namespace pelvaro::sff
