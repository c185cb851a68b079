#include "text/ansi_text.h"

#include "text/cp932.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

namespace pelvaro::text {

std::string ToText(const Value& v) {
  if (const auto* s = std::get_if<std::string>(&v)) return *s;
  if (const auto* n = std::get_if<std::int64_t>(&v)) return std::to_string(*n);
  return {};
}

std::int32_t LenAnsi(const Value& value) {
  if (IsNull(value)) return 0;
  if (const auto* n = std::get_if<std::int64_t>(&value))
    return static_cast<std::int32_t>(std::to_string(*n).size());
  return static_cast<std::int32_t>(EncodeCp932Lossy(std::get<std::string>(value)).size());
}

Value MidAnsi(const Value& value, std::int32_t start, std::int32_t length) {
  if (start < 1) throw std::invalid_argument("MidAnsi: start must be 1 or more");
  if (length < 0) throw std::invalid_argument("MidAnsi: length must not be negative");
  if (IsNull(value)) return Null{};
  const std::string bytes = EncodeCp932Lossy(ToText(value));
  const auto from = static_cast<std::size_t>(start - 1);
  if (from >= bytes.size()) return std::string();
  return DecodeCp932(std::string_view(bytes).substr(from, static_cast<std::size_t>(length)));
}

Value ZeroPad(std::int32_t width, const Value& value) {
  if (IsNull(value)) return Null{};
  // A number's text is ASCII, one byte a character in CP932 as well.
  if (const auto* number = std::get_if<std::int64_t>(&value)) {
    char digits[24];
    if (std::to_chars(digits, digits + sizeof digits, *number).ptr - digits >= width) return value;
    std::string s(static_cast<std::size_t>(width), '0');
    ZeroPadNumber(s.data(), *number, width);  // exactly `width` bytes: the number is shorter
    return s;
  }
  const std::int32_t n = LenAnsi(value);
  if (n >= width) return value;
  std::string s(static_cast<std::size_t>(width - n), '0');
  s += ToText(value);
  return s;
}

char* ZeroPadNumber(char* out, std::int64_t number, std::int32_t width) {
  char digits[24];
  const auto length = static_cast<std::int32_t>(std::to_chars(digits, digits + sizeof digits, number).ptr - digits);
  for (std::int32_t k = length; k < width; ++k) *out++ = '0';
  return std::copy(digits, digits + length, out);
}

}  // namespace pelvaro::text
