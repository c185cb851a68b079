#include "text/ansi_text.h"

#include "text/cp932.h"
#include "text/decimal.h"

#include <algorithm>
#include <charconv>

namespace pelvaro::text {

std::int32_t LenAnsi(std::string_view text) { return static_cast<std::int32_t>(EncodeCp932Lossy(text).size()); }

char* ZeroPadNumber(char* out, std::int64_t number, std::int32_t width) {
  if (number >= 0 && number <= UINT32_MAX) {
    const auto value = static_cast<std::uint32_t>(number);
    return PutDigits(out, value, std::max(width, DecimalDigits(value)));
  }
  char digits[24];
  const auto length = static_cast<std::int32_t>(std::to_chars(digits, digits + sizeof digits, number).ptr - digits);
  for (std::int32_t k = length; k < width; ++k) *out++ = '0';
  return std::copy(digits, digits + length, out);
}

}  // namespace pelvaro::text
