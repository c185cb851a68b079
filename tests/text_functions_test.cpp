#include "text/ansi_text.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace pelvaro::text {
namespace {

Value T(const char* s) { return std::string(s); }
Value N(std::int64_t n) { return n; }

TEST(LenAnsi, CountsCp932Bytes) {
  EXPECT_EQ(LenAnsi(Null{}), 0);
  EXPECT_EQ(LenAnsi(T("")), 0);
  EXPECT_EQ(LenAnsi(T("ｱｲｳ")), 3);      // half-width katakana: one byte each
  EXPECT_EQ(LenAnsi(T("アイウ")), 6);   // full-width: two bytes each
  EXPECT_EQ(LenAnsi(N(123)), 3);
  EXPECT_EQ(LenAnsi(T("€")), 1);   // no CP932 form: counts as the one byte "?"
  EXPECT_EQ(LenAnsi(T("纊")), 2);  // an NEC/IBM extension character
  // Characters that a best-fit conversion would give a look-alike count as
  // "?" on every platform: one byte, even where the look-alike has two.
  EXPECT_EQ(LenAnsi(T("¥100")), 4);
  EXPECT_EQ(LenAnsi(T("‖")), 1);
  EXPECT_EQ(LenAnsi(T("😀.txt")), 5);
}

TEST(MidAnsi, CutsByBytesAndBrokenCharactersBecomeQuestionMarks) {
  EXPECT_EQ(MidAnsi(T("C:\\sff\\USER.sff"), 1, 8), T("C:\\sff\\U"));
  EXPECT_EQ(MidAnsi(T("アイウ"), 3, 2), T("イ"));
  EXPECT_EQ(MidAnsi(T("abc"), 5, 1), T(""));
  EXPECT_EQ(MidAnsi(T("abc"), 2, 10), T("bc"));
  EXPECT_EQ(MidAnsi(T("abc"), 1, 0), T(""));
  EXPECT_EQ(MidAnsi(Null{}, 1, 3), Value(Null{}));
  EXPECT_EQ(MidAnsi(N(12345), 2, 3), T("234"));
  // "アイ" is 83 41 83 43: a cut after the first byte leaves a lone lead byte,
  // a cut from the second byte starts on a trail byte that reads as "A".
  EXPECT_EQ(MidAnsi(T("アイ"), 1, 3), T("ア?"));
  EXPECT_EQ(MidAnsi(T("アイ"), 2, 3), T("Aイ"));
  EXPECT_EQ(MidAnsi(T("テスト.txt"), 1, 5), T("テス?"));
  EXPECT_EQ(MidAnsi(T("‖ア"), 2, 2), T("ア"));  // "‖" is the one byte "?"
  EXPECT_THROW(MidAnsi(T("abc"), 0, 1), std::invalid_argument);
  EXPECT_THROW(MidAnsi(T("abc"), 1, -1), std::invalid_argument);
  EXPECT_THROW(MidAnsi(Null{}, 0, 1), std::invalid_argument);
}

}  // namespace
}  // namespace pelvaro::text
