#include "text/cp932.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pelvaro::text {
namespace {

TEST(Cp932, AsciiTestFindsAHighByteAtAnyPlace) {
  // Read eight bytes at a time: a high byte counts in a whole group of eight or in the rest.
  for (std::size_t length = 0; length <= 20; ++length) {
    std::string text(length, 'a');
    if (length > 0) text[length / 2] = '\0';  // NUL is ASCII too
    EXPECT_TRUE(IsAscii(text)) << length;
    for (std::size_t at = 0; at < length; ++at) {
      std::string high = text;
      high[at] = '\x80';
      EXPECT_FALSE(IsAscii(high)) << length << " " << at;
    }
  }
}

// Single characters and codes are in the tables below; here, what comes around them.
TEST(Cp932, RefusalsNameTheCharacterAndBrokenBytesBecomeQuestionMarks) {
  std::string bad;
  EXPECT_FALSE(EncodeCp932Strict("a€b", &bad));
  EXPECT_EQ(bad, "€");
  EXPECT_FALSE(EncodeCp932Strict("a\xFFz", &bad));  // not UTF-8 at all
  EXPECT_EQ(bad, "\\xFF");
  // The lossy form gives one "?" per character, and per byte of a cut sequence.
  EXPECT_EQ(EncodeCp932Lossy("€ア😀"), "?\x83\x41?");
  EXPECT_EQ(EncodeCp932Lossy("\xE3\x82"), "??");
  EXPECT_EQ(DecodeCp932("ab\x83"), "ab?");   // lead byte without its trail byte
  EXPECT_EQ(DecodeCp932("\x83\x0A"), "?\n");  // a trail byte out of range is read on its own
  EXPECT_EQ(DecodeCp932("\x80\xA0\xFD\xFF"), "????");
}

// The glibc build converts through iconv, the Windows build through Win32: these characters are
// where the two tables, or a best-fit conversion, could part ways.
TEST(Cp932, SameBytesAndRefusalsOnEveryPlatform) {
  struct Case {
    const char* text;
    std::optional<std::string> bytes;  // nullopt: refused
  };
  const std::vector<Case> cases = {
      {"\u00A5", std::nullopt},      // ¥: best fit gives "\"
      {"\u203E", std::nullopt},      // ‾: best fit gives "~"
      {"\uFF5E", "\x81\x60"},        // ～ (full-width tilde)
      {"\u301C", std::nullopt},      // 〜 (wave dash): glibc's and Windows' 81 60 is U+FF5E
      {"USER_SFF.txt", "USER_SFF.txt"},
      {"を作成中", "\x82\xF0\x8D\xEC\x90\xAC\x92\x86"},
      {"\uFF71", "\xB1"},            // ｱ (half-width)
      {"\u2212", std::nullopt},      // − (minus): CP932 has U+FF0D
      {"\uFF0D", "\x81\x7C"},        // －
      {"\uFFE2", "\x81\xCA"},        // ￢, which the NEC and IBM rows repeat
      {"\u2460", "\x87\x40"},        // ① (NEC special row)
      {"\u3231", "\x87\x8A"},        // ㈱, also in the IBM rows: the NEC code wins
      {"\u2170", "\xFA\x40"},        // ⅰ: IBM row, not the NEC-selected one
      {"\u7E8A", "\xFA\x5C"},        // 纊: IBM row, not the NEC-selected ED 40
      {"\uE000", "\xF0\x40"},        // first user-defined character
      {"\uE757", "\xF9\xFC"},        // last user-defined character
      {"\uE758", std::nullopt},      // the private use area goes on; CP932 does not
      {"\u0080", std::nullopt},      // Windows gives it the byte 0x80, which starts no character
      {"\U0001F600", std::nullopt},  // 😀: outside the BMP
  };
  for (const Case& c : cases) {
    std::string bad;
    const auto bytes = EncodeCp932Strict(c.text, &bad);
    EXPECT_EQ(bytes, c.bytes) << c.text;
    if (c.bytes) {
      EXPECT_EQ(DecodeCp932(*c.bytes), c.text);
      EXPECT_EQ(EncodeCp932Lossy(c.text), *c.bytes);
    } else {
      EXPECT_EQ(bad, c.text);
      EXPECT_EQ(EncodeCp932Lossy(c.text), "?") << c.text;
    }
  }
}

// Every single byte, every double-byte code and every BMP character, folded into one number both
// builds must reach; when they do not, dump the three tables on each platform and compare.
TEST(Cp932, WholeTablesAgreeWithTheOtherPlatform) {
  std::uint64_t hash = 14695981039346656037u;
  auto fold = [&hash](std::string_view s) {
    for (const char c : s) hash = (hash ^ static_cast<std::uint8_t>(c)) * 1099511628211u;
    hash = (hash ^ 0xFFu) * 1099511628211u;  // ends the entry
  };
  int decodable = 0;
  for (int b = 0x80; b <= 0xFF; ++b) fold(DecodeCp932(std::string(1, static_cast<char>(b))));
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (lead > 0x9F && lead < 0xE0) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      const std::string text = DecodeCp932(std::string{static_cast<char>(lead), static_cast<char>(trail)});
      decodable += text != "?";
      fold(text);
      // NEC and IBM duplicates share a character: it must still encode to a code that decodes to it.
      if (text == "?") continue;
      const auto back = EncodeCp932Strict(text);
      ASSERT_TRUE(back) << std::hex << lead << " " << trail;
      EXPECT_EQ(DecodeCp932(*back), text);
    }
  }
  int encodable = 0;
  for (char32_t cp = 0x80; cp <= 0xFFFF; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    // Byte by byte: GCC 12 at -O2 takes a braced list assigned to a string for uninitialized bytes.
    std::string utf8;
    if (cp < 0x800) {
      utf8 += static_cast<char>(0xC0 | (cp >> 6));
    } else {
      utf8 += static_cast<char>(0xE0 | (cp >> 12));
      utf8 += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    }
    utf8 += static_cast<char>(0x80 | (cp & 0x3F));
    const auto bytes = EncodeCp932Strict(utf8);
    encodable += bytes.has_value();
    fold(bytes ? *bytes : std::string("-"));
  }
  EXPECT_EQ(decodable, 9664);  // 1880 of them user-defined (F0 40 to F9 FC)
  EXPECT_EQ(encodable, 9269);  // fewer: NEC and IBM rows repeat characters
  EXPECT_EQ(hash, 17051342273013206052u);
}

}  // namespace
}  // namespace pelvaro::text
