#pragma once

// Text measured and padded by the length of its code page 932 form, so that a
// full-width character takes two positions and an ASCII or half-width katakana
// character one.

#include <cstdint>
#include <string_view>

namespace pelvaro::text {

// Number of bytes of the CP932 form of `text` (a character without one counts
// as the one byte "?" that stands for it).
std::int32_t LenAnsi(std::string_view text);

// `number` in decimal, with "0" put in front until it is `width` bytes long,
// written at `out`; returns the end. `out` needs room for 20 bytes or
// `width`, whichever is more.
char* ZeroPadNumber(char* out, std::int64_t number, std::int32_t width);

}  // namespace pelvaro::text
