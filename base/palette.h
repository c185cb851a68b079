#pragma once

// The 256 colours a sprite is drawn with, red, green, blue each: the archive's
// shared palette, a decoded image's own and the one the viewer shows are the
// same bytes, so they are one type.

#include <array>
#include <cstddef>
#include <cstdint>

namespace pelvaro {

inline constexpr std::size_t kPaletteBytes = 768;
using Palette = std::array<std::uint8_t, kPaletteBytes>;

}  // namespace pelvaro
