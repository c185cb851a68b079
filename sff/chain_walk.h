#pragma once

// The walk along an archive's chain of subfiles, from the first at offset 512
// to the one whose next offset is 0, into sprite records. It can go on piece
// by piece as the file's bytes arrive, so that each header is read while the
// piece holding it is still in the cache.

#include "sff/byte_reader.h"
#include "sff/sff_layout.h"
#include "sff/load_sff.h"
#include "sff/sprite_record.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <variant>
#include <vector>

namespace pelvaro::sff {

// The image count of the header at the start of `file` (the whole file's room,
// of which the first 512 bytes or all must be there), or why it is refused.
std::variant<std::int32_t, LoadOutcome> ReadImageCount(std::span<const std::uint8_t> file);

class ChainWalk {
 public:
  // Walks `file` (the whole file's room) into `records`, one for each image
  // the header counts; records after the last subfile stay empty.
  ChainWalk(std::span<const std::uint8_t> file, std::vector<SpriteRecord>& records)
      : reader_(file), records_(records) {}

  // Walks on through the subfiles that lie within the first `arrived` bytes.
  // True when the walk is over: the chain has ended, or the archive is refused.
  bool Advance(std::size_t arrived);
  // Records walked so far, all filled but for their PCX names.
  std::size_t Walked() const { return walked_; }
  const std::optional<LoadOutcome>& Refused() const { return refusal_; }

 private:
  ByteReader reader_;
  std::vector<SpriteRecord>& records_;
  std::int64_t next_ = kFirstSubfileOffset;  // offset of the next subfile header
  std::size_t walked_ = 0;
  bool over_ = false;
  std::optional<LoadOutcome> refusal_;
};

}  // namespace pelvaro::sff
