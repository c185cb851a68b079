#pragma once

// Decimal numbers written straight into a buffer: the definition text and the
// file names put four or five numbers a row for tens of thousands of rows,
// and these take a few nanoseconds each where a general conversion into a
// scratch buffer and a copy take several times as long. Digits go two at a
// time from a table; below 100,000 (all a 16-bit field holds) without a
// division.

#include <array>
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

namespace decimal_detail {
inline void PutPair(char* out, std::uint32_t pair) { std::memcpy(out, kDigitPairs + 2 * pair, 2); }

// The digits of `number` below 100,000, as many as `digits` says (leading
// zeros where it has fewer). Each step multiplies a fixed-point fraction,
// number / 10^k rounded up to 32 fractional bits, by 100 and takes the next
// pair off its integer part: a chain of plain multiplications, where dividing
// by 100 again and again would wait on one division after the other. The
// rounding errs by less than one part in 10^5, too little to reach the next
// digit for any number of five digits.
inline char* PutBelowHundredThousand(char* out, std::uint32_t number, int digits) {
  constexpr std::uint64_t kOverTenThousand = (std::uint64_t{1} << 32) / 10000 + 1;
  constexpr std::uint64_t kOverHundred = (std::uint64_t{1} << 32) / 100 + 1;
  constexpr std::uint64_t kLow = 0xFFFFFFFF;
  std::uint64_t y = 0;
  switch (digits) {
    case 1:
      *out = static_cast<char>('0' + number);
      return out + 1;
    case 2:
      PutPair(out, number);
      return out + 2;
    case 3:
      y = number * kOverHundred;
      *out = static_cast<char>('0' + (y >> 32));
      PutPair(out + 1, static_cast<std::uint32_t>(((y & kLow) * 100) >> 32));
      return out + 3;
    case 4:
      y = number * kOverHundred;
      PutPair(out, static_cast<std::uint32_t>(y >> 32));
      PutPair(out + 2, static_cast<std::uint32_t>(((y & kLow) * 100) >> 32));
      return out + 4;
    default:
      y = number * kOverTenThousand;
      *out = static_cast<char>('0' + (y >> 32));
      y = (y & kLow) * 100;
      PutPair(out + 1, static_cast<std::uint32_t>(y >> 32));
      PutPair(out + 3, static_cast<std::uint32_t>(((y & kLow) * 100) >> 32));
      return out + 5;
  }
}
}  // namespace decimal_detail

// The last `width` decimal digits of `number`, zeros in front where it has
// fewer, written at `out`; returns the end.
inline char* PutDigits(char* out, std::uint32_t number, int width) {
  if (width >= 1 && width <= 5 && number < 100000 && DecimalDigits(number) <= width)
    return decimal_detail::PutBelowHundredThousand(out, number, width);
  char* const end = out + width;
  char* at = end;
  for (; at - out >= 2; number /= 100) {
    at -= 2;
    decimal_detail::PutPair(at, number % 100);
  }
  if (at > out) *--at = static_cast<char>('0' + number % 10);
  return end;
}

// `number` in decimal, as std::to_chars writes it; returns the end.
inline char* PutDecimal(char* out, std::uint32_t number) {
  if (number < 100000) return decimal_detail::PutBelowHundredThousand(out, number, DecimalDigits(number));
  return PutDigits(out, number, DecimalDigits(number));
}
inline char* PutDecimal(char* out, std::int32_t number) {
  if (number >= 0) return PutDecimal(out, static_cast<std::uint32_t>(number));
  *out++ = '-';
  return PutDecimal(out, 0u - static_cast<std::uint32_t>(number));
}

// Ready-made forms of every number below kTabledBelow, eight bytes each: the
// definition text and the PCX names take such a number with one load and one
// store where working its digits out takes a chain of multiplications. Over
// the 65,535 rows of a large archive's text, that halves the time the text
// takes to make. Groups, items and axes are nearly always in this range.
inline constexpr std::uint32_t kTabledBelow = 10000;
namespace decimal_detail {
using Form = std::array<char, 8>;
// Five digits, zeros in front ("00042"), then three bytes of no meaning.
extern const std::array<Form, kTabledBelow> kFiveDigitForms;
// The digits and CR LF ("42\r\n"), then bytes of no meaning; the line's
// length in the last byte.
extern const std::array<Form, kTabledBelow> kLineForms;
}  // namespace decimal_detail

// PutDigits(out, number, 5), but it may write eight bytes at `out`: the three
// after the digits must have room, and are the caller's to write over.
inline char* PutFiveDigitsInEight(char* out, std::uint32_t number) {
  if (number >= kTabledBelow) return PutDigits(out, number, 5);
  std::memcpy(out, decimal_detail::kFiveDigitForms[number].data(), 8);
  return out + 5;
}

// `number` in decimal and CR LF; returns the end of the line. It may write
// eight bytes at `out` where the line is shorter: `out` needs room for eight
// bytes or for the line, whichever is more.
inline char* PutDecimalLine(char* out, std::int32_t number) {
  if (number < 0 || number >= static_cast<std::int32_t>(kTabledBelow)) {
    out = PutDecimal(out, number);
    std::memcpy(out, "\r\n", 2);
    return out + 2;
  }
  const decimal_detail::Form& line = decimal_detail::kLineForms[static_cast<std::uint32_t>(number)];
  std::memcpy(out, line.data(), 8);
  return out + line[7];
}

}  // namespace pelvaro::text
