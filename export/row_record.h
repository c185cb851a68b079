#pragma once

#include "sff/sff_state.h"

#include <charconv>
#include <string_view>

namespace pelvaro::exporter {

// The record a table row names through its P.Pos text, or null when the text is
// not a whole number or names no record. Rows are never matched by their place.
inline const sff::SpriteRecord* RecordForPPos(std::string_view pos, const sff::SffState& state) {
  std::int32_t k = -1;
  const auto [end, ec] = std::from_chars(pos.data(), pos.data() + pos.size(), k);
  if (ec != std::errc() || end != pos.data() + pos.size() || k < 0 ||
      k >= static_cast<std::int32_t>(state.SpriteInfo.size()))
    return nullptr;
  return &state.SpriteInfo[static_cast<std::size_t>(k)];
}

}  // namespace pelvaro::exporter
