#include "text/ansi_text.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace pelvaro::text {
namespace {

Value T(const char* s) { return std::string(s); }

// Characters without a CP932 form count as the one byte "?" (their table is in cp932_test.cpp).
TEST(LenAnsi, CountsCp932Bytes) {
  EXPECT_EQ(LenAnsi(Null{}), 0);
  EXPECT_EQ(LenAnsi(Value(std::int64_t{-123})), 4);
  EXPECT_EQ(LenAnsi(T("ｱｲｳ")), 3);     // half-width katakana: one byte each
  EXPECT_EQ(LenAnsi(T("アイウ")), 6);  // full-width: two bytes each
  EXPECT_EQ(LenAnsi(T("¥😀.txt")), 6);
}

TEST(MidAnsi, CutsByBytesAndBrokenCharactersBecomeQuestionMarks) {
  EXPECT_EQ(MidAnsi(Value(std::int64_t{12345}), 2, 3), T("234"));
  EXPECT_EQ(MidAnsi(T("abc"), 5, 1), T(""));
  EXPECT_EQ(MidAnsi(Null{}, 1, 3), Value(Null{}));
  // "アイ" is 83 41 83 43: a cut after the first byte leaves a lone lead byte,
  // a cut from the second byte starts on a trail byte that reads as "A".
  EXPECT_EQ(MidAnsi(T("アイ"), 1, 3), T("ア?"));
  EXPECT_EQ(MidAnsi(T("アイ"), 2, 3), T("Aイ"));
  EXPECT_EQ(MidAnsi(T("‖ア"), 2, 2), T("ア"));  // "‖" is the one byte "?"
  EXPECT_THROW(MidAnsi(T("abc"), 0, 1), std::invalid_argument);
  EXPECT_THROW(MidAnsi(T("abc"), 1, -1), std::invalid_argument);
}

}  // namespace
}  // namespace pelvaro::text
