#pragma once

// Decimal numbers written straight into a buffer, two digits at a time from a
// table: the definition text and the file names put four or five numbers a
// row for tens of thousands of rows, and these take a few nanoseconds each
// where a general conversion into a scratch buffer and a copy take several
// times as long.

#include <cstdint>
#include <cstring>

namespace pelvaro::text {

namespace decimal_detail {
inline constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";
}  // namespace decimal_detail

// The number of decimal digits of `number` (1 for 0).
constexpr int DecimalDigits(std::uint32_t number) {
  int digits = 1;
  for (; number >= 10000; number /= 10000) digits += 4;
  if (number >= 1000) return digits + 3;
  if (number >= 100) return digits + 2;
  if (number >= 10) return digits + 1;
  return digits;
}

// The last `width` decimal digits of `number`, zeros in front where it has
// fewer, written at `out`; returns the end.
inline char* PutDigits(char* out, std::uint32_t number, int width) {
  char* const end = out + width;
  char* at = end;
  for (; at - out >= 2; number /= 100) {
    at -= 2;
    std::memcpy(at, decimal_detail::kDigitPairs + 2 * (number % 100), 2);
  }
  if (at > out) *--at = static_cast<char>('0' + number % 10);
  return end;
}

// `number` in decimal, as std::to_chars writes it; returns the end.
inline char* PutDecimal(char* out, std::uint32_t number) { return PutDigits(out, number, DecimalDigits(number)); }
inline char* PutDecimal(char* out, std::int32_t number) {
  if (number >= 0) return PutDecimal(out, static_cast<std::uint32_t>(number));
  *out++ = '-';
  return PutDecimal(out, 0u - static_cast<std::uint32_t>(number));
}

}  // namespace pelvaro::text
