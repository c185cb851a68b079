#include "text/cp932.h"

#include <gtest/gtest.h>

namespace pelvaro::text {
namespace {

TEST(Cp932, EncodesAsciiKatakanaKanjiAndExtensions) {
  EXPECT_EQ(EncodeCp932Strict("USER_SFF.txt"), "USER_SFF.txt");
  EXPECT_EQ(EncodeCp932Strict("ｱ"), "\xB1");
  EXPECT_EQ(EncodeCp932Strict("を作成中"), "\x82\xF0\x8D\xEC\x90\xAC\x92\x86");
  EXPECT_EQ(EncodeCp932Strict("～"), "\x81\x60");  // U+FF5E, the Windows mapping
  EXPECT_EQ(EncodeCp932Strict("①"), "\x87\x40");  // NEC special character
  EXPECT_EQ(EncodeCp932Strict("\\~"), "\\~");     // ASCII stays ASCII
}

TEST(Cp932, RefusesCharactersWithoutAnExactForm) {
  std::string bad;
  EXPECT_FALSE(EncodeCp932Strict("a€b", &bad));
  EXPECT_EQ(bad, "€");
  // Look-alikes that a best-fit conversion would accept must be refused.
  EXPECT_FALSE(EncodeCp932Strict("¥", &bad));
  EXPECT_EQ(bad, "¥");
  EXPECT_FALSE(EncodeCp932Strict("‖", &bad));  // U+2016; CP932 has U+2225 instead
  EXPECT_FALSE(EncodeCp932Strict("😀", &bad));
  EXPECT_EQ(bad, "😀");
  EXPECT_FALSE(EncodeCp932Strict("a\xFFz", &bad));  // not UTF-8 at all
  EXPECT_EQ(bad, "\\xFF");
}

TEST(Cp932, LossyEncodingCountsEachUnrepresentableCharacterAsOneByte) {
  EXPECT_EQ(EncodeCp932Lossy("€ア😀"), "?\x83\x41?");
  EXPECT_EQ(EncodeCp932Lossy("\xE3\x82"), "??");  // a cut UTF-8 sequence: each byte one "?"
}

TEST(Cp932, DecodingAlwaysGivesValidText) {
  EXPECT_EQ(DecodeCp932("\x83\x65\x83\x58\x83\x67"), "テスト");
  EXPECT_EQ(DecodeCp932("\xB1\xB2"), "ｱｲ");
  EXPECT_EQ(DecodeCp932("\xED\x40"), "纊");   // NEC-selected IBM extension
  EXPECT_EQ(DecodeCp932("ab\x83"), "ab?");   // lead byte without its trail byte
  EXPECT_EQ(DecodeCp932("\x83\x0A"), "?\n");  // a trail byte out of range is read on its own
  EXPECT_EQ(DecodeCp932("\x80\xA0\xFD\xFF"), "????");
  EXPECT_EQ(DecodeCp932("\x85\x40"), "?");  // an unassigned pair
}

TEST(Cp932, RoundTripsEveryAssignedDoubleByteCode) {
  int assigned = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (lead > 0x9F && lead < 0xE0) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
      const std::string text = DecodeCp932(bytes);
      if (text == "?") continue;
      ++assigned;
      // Several codes share a character (NEC and IBM duplicates); the character
      // must still encode to a code that decodes to it.
      const auto back = EncodeCp932Strict(text);
      ASSERT_TRUE(back) << std::hex << lead << " " << trail;
      EXPECT_EQ(DecodeCp932(*back), text);
    }
  }
  EXPECT_GT(assigned, 7000);
}

}  // namespace
}  // namespace pelvaro::text
