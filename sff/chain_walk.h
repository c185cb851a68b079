#pragma once

// The walk along an archive's chain of subfiles, from the first at offset 512
// to the one whose next offset is below 1, into sprite records.

#include "base/result.h"
#include "sff/archive.h"
#include "sff/load_error.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace pelvaro::sff {

// The header's image count, when the file can hold that many subfile headers.
Result<std::int32_t, LoadError> ReadImageCount(std::span<const std::uint8_t> file);

// One record per image counted; those after the last subfile stay empty. A
// subfile header outside the file, a next offset beyond its end or a link
// past the image count is refused, naming the subfile.
Result<Records, LoadError> WalkChain(std::span<const std::uint8_t> file, std::int32_t imageCount);

// The same walk, able to go on while the file is still being read: a subfile
// header is read as soon as the bytes up to its end are in, while the copy
// that brought them is still in the cache. Walking on a header at a time over
// a file of a hundred megabytes read first costs a cache miss a subfile. The
// records and the damage are WalkChain's, however the reading is cut up.
class ChainWalk {
 public:
  explicit ChainWalk(std::int32_t imageCount);

  // Walks on through the headers that lie within the first `available` bytes
  // of `file`, which has its final size and is being filled from the start.
  void WalkWithin(std::span<const std::uint8_t> file, std::size_t available);
  // The whole file is in: walks to the end of the chain.
  Result<Records, LoadError> Finish(std::span<const std::uint8_t> file);

 private:
  std::int32_t imageCount_;
  Records records_;
  std::int32_t next_ = 0;  // the record walked next
  std::int64_t at_;        // where its subfile header is
  bool ended_ = false;
  std::optional<LoadError> damage_;
};

}  // namespace pelvaro::sff
