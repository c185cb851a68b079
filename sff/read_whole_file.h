#pragma once

// Reads a file whole into memory that is not zero-filled first, telling the
// caller after each piece how much is in.

#include "base/result.h"
#include "platform/file_identity.h"
#include "sff/byte_image.h"
#include "sff/load_error.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>

namespace pelvaro::sff {

struct WholeFile {
  ByteImage bytes;
  // Which file was read, so that no export replaces it.
  std::optional<platform::FileIdentity> identity;
};

// Called after each piece with the buffer (of the file's whole size) and how
// many of its bytes, from the start, have been read.
using ReadProgress = std::function<void(std::span<const std::uint8_t> bytes, std::size_t read)>;

// A megabyte: a piece still in the cache when the caller looks at it.
inline constexpr std::size_t kReadPieceBytes = std::size_t{1} << 20;

// The bytes of the regular file at `path` (UTF-8). Anything else (a folder, a
// FIFO, a device) is refused before it is opened, so nothing waits on it.
Result<WholeFile, LoadError> ReadWholeFile(const std::string& path, const ReadProgress& onPiece = {});

}  // namespace pelvaro::sff
