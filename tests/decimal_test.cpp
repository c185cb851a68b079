#include "text/ansi_text.h"
#include "text/decimal.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <string>

namespace pelvaro::text {
namespace {

template <class Number>
std::string Decimal(Number number) {
  char out[16];
  return {out, PutDecimal(out, number)};
}

std::string ZeroPadded(std::int64_t number, std::int32_t width) {
  char out[32];
  return {out, ZeroPadNumber(out, number, width)};
}

// Each digit count, where a pair table goes wrong first: an odd count's lone
// leading digit, the step from one count to the next, the ends of the types.
TEST(Decimal, EveryDigitCountAndBothEndsOfEachType) {
  EXPECT_EQ(Decimal(0u), "0");
  EXPECT_EQ(Decimal(7u), "7");
  EXPECT_EQ(Decimal(10u), "10");
  EXPECT_EQ(Decimal(99u), "99");
  EXPECT_EQ(Decimal(100u), "100");
  EXPECT_EQ(Decimal(9999u), "9999");
  EXPECT_EQ(Decimal(10000u), "10000");
  EXPECT_EQ(Decimal(123456789u), "123456789");
  EXPECT_EQ(Decimal(1000000000u), "1000000000");
  EXPECT_EQ(Decimal(UINT32_MAX), "4294967295");
  EXPECT_EQ(Decimal(std::int32_t{-1}), "-1");
  EXPECT_EQ(Decimal(std::int32_t{-10}), "-10");
  EXPECT_EQ(Decimal(INT32_MIN), "-2147483648");
  EXPECT_EQ(Decimal(INT32_MAX), "2147483647");
}

// All a 16-bit field can hold and more, each against the standard library.
TEST(Decimal, EveryNumberBelowAHundredThousandAsTheStandardLibraryWritesIt) {
  for (std::uint32_t n = 0; n < 100000; ++n) {
    char expected[16];
    const std::string plain(expected, std::to_chars(expected, expected + sizeof expected, n).ptr);
    ASSERT_EQ(Decimal(n), plain);
    char padded[8];
    ASSERT_EQ(std::string(padded, PutDigits(padded, n, 5)), std::string(5 - plain.size(), '0') + plain);
    ASSERT_EQ(std::string(padded, PutFiveDigitsInEight(padded, n)), std::string(5 - plain.size(), '0') + plain);
  }
}

// The ready-made lines and the worked-out ones on both sides of where the
// table ends, and every value of the signed 16-bit fields the lines hold.
TEST(Decimal, ANumberLineIsTheNumberAndCrLf) {
  for (std::int32_t n = INT16_MIN; n <= 100000; ++n) {
    char expected[16];
    const std::string plain(expected, std::to_chars(expected, expected + sizeof expected, n).ptr);
    char line[16];
    ASSERT_EQ(std::string(line, PutDecimalLine(line, n)), plain + "\r\n");
  }
  char line[16];
  EXPECT_EQ(std::string(line, PutDecimalLine(line, INT32_MIN)), "-2147483648\r\n");
}

TEST(Decimal, ZeroPaddingFillsToTheWidthAndNeverCutsANumber) {
  EXPECT_EQ(ZeroPadded(0, 5), "00000");
  EXPECT_EQ(ZeroPadded(42, 5), "00042");
  EXPECT_EQ(ZeroPadded(65535, 5), "65535");
  EXPECT_EQ(ZeroPadded(123456, 5), "123456");
  EXPECT_EQ(ZeroPadded(7, 0), "7");
  EXPECT_EQ(ZeroPadded(INT64_C(4294967296), 5), "4294967296");
}

}  // namespace
}  // namespace pelvaro::text
