#pragma once

// The walk along an archive's chain of subfiles, from the first at offset 512
// to the one whose next offset is below 1, into sprite records.

#include "base/result.h"
#include "sff/archive.h"
#include "sff/load_error.h"

#include <cstdint>
#include <span>
#include <vector>

namespace pelvaro::sff {

// The header's image count, when the file can hold that many subfile headers.
Result<std::int32_t, LoadError> ReadImageCount(std::span<const std::uint8_t> file);

// One record per image counted; those after the last subfile stay empty. A
// subfile header outside the file, a next offset beyond its end or a link
// past the image count is refused, naming the subfile.
Result<Records, LoadError> WalkChain(std::span<const std::uint8_t> file, std::int32_t imageCount);

}  // namespace pelvaro::sff
