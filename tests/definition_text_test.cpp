#include "export/definition_text.h"
#include "export/messages.h"
#include "tests/support/load_archive.h"
#include "text/native_path.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace pelvaro::testing {
namespace {

using exporter::MakeTextNames;

std::string FileText(const std::string& path) {
  const Bytes b = ReadBytes(path);
  return std::string(b.begin(), b.end());
}

// The documented example; display order 9000/0, 0/0 (the palette source), 0/1, 5/2, 200/0.
Bytes ExampleArchive() {
  return SffBuilder()
      .Add({.group = 0, .item = 0, .axisX = 10, .axisY = -5, .palFlag = 0, .payload = Payload(800, 0)})
      .Add({.group = 0, .item = 1, .axisX = 3, .axisY = 7, .palFlag = 1, .payload = Payload(5, 0)})
      .Add({.group = 5, .item = 2, .axisX = -2, .axisY = 30, .palFlag = 1, .payload = Payload(5, 0)})
      .Add({.group = 200, .item = 0, .axisX = 1, .axisY = 1, .palFlag = 0, .payload = Payload(5, 0)})
      .Add({.group = 9000, .item = 0, .axisX = 0, .axisY = 0, .palFlag = 0, .payload = Payload(5, 0)})
      .Build();
}

TEST(DefinitionText, TheFortyTwoLineExample) {
  auto a = LoadArchive(ExampleArchive());
  ASSERT_TRUE(a->loaded());
  TempDir out;
  ASSERT_TRUE(exporter::WriteSprText(out / "USER_SFF.txt", *a->archive));
  std::string expected;
  for (const char* line : {"#", "1", "2", "USER.sff",                                    //
                           "#", "1", "1", "USER_09000_00000.pcx", "9000", "0", "0", "0",  //
                           "#", "1", "1", "USER_00000_00000.pcx", "0", "0", "10", "-5",   //
                           "#", "1", "1", "USER_00000_00001.pcx", "0", "1", "3", "7",     //
                           "USER_00005_00002.pcx", "5", "2", "-2", "30",                  //
                           "#", "1", "1", "USER_00200_00000.pcx", "200", "0", "1", "1", ""})
    expected += std::string(line) + "\r\n";
  EXPECT_EQ(FileText(out / "USER_SFF.txt"), expected);
}

// After the first three rows only a sprite with its own palette (flag 0) opens a section; a flag above 1 does not.
TEST(DefinitionText, OnlyOwnPalettesOpenASectionAfterTheFirstThreeRows) {
  SffBuilder b;
  for (std::uint16_t g = 1; g <= 4; ++g) b.Add({.group = g, .palFlag = 2, .payload = Payload(4, 0)});
  auto a = LoadArchive(b.Build());
  ASSERT_TRUE(a->loaded());
  const std::string text(exporter::View(*exporter::SprTextBytes(*a->archive)));
  EXPECT_EQ(text.substr(text.rfind("#\r\n")),
            "#\r\n1\r\n1\r\nUSER_00003_00000.pcx\r\n3\r\n0\r\n0\r\n0\r\nUSER_00004_00000.pcx\r\n4\r\n0\r\n0\r\n0\r\n\r\n");
}

// Every count of digits, both signs and the ends of the 16-bit ranges, in the names and the number lines.
TEST(DefinitionText, NumbersOfEveryWidthAndSignAreWrittenWhole) {
  auto a = LoadArchive(SffBuilder()
                           .Add({.group = 65535, .item = 10000, .axisX = -32768, .axisY = 32767, .payload = Payload(4, 0)})
                           .Add({.group = 9, .item = 99, .axisX = -1, .axisY = 100, .palFlag = 1, .payload = Payload(4, 0)})
                           .Add({.group = 1000, .item = 10, .axisX = -99, .axisY = 1234, .palFlag = 1, .payload = Payload(4, 0)})
                           .Build());
  ASSERT_TRUE(a->loaded());
  const std::string text(exporter::View(*exporter::SprTextBytes(*a->archive)));
  std::string rows;
  for (const char* line : {"#", "1", "1", "USER_00009_00099.pcx", "9", "99", "-1", "100",                 //
                           "#", "1", "1", "USER_01000_00010.pcx", "1000", "10", "-99", "1234",            //
                           "#", "1", "1", "USER_65535_10000.pcx", "65535", "10000", "-32768", "32767", ""})
    rows += std::string(line) + "\r\n";
  ASSERT_GE(text.size(), rows.size());
  EXPECT_EQ(text.substr(text.size() - rows.size()), rows);
}

// A text of 60,000 rows is longer than the buffer it is made in, so rows
// meet the buffer's end at every offset a row can have; the file holds every
// row whole all the same, and so do the bytes made in memory.
TEST(DefinitionText, ATextLongerThanItsBufferComesOutWhole) {
  constexpr int kRows = 60000;
  SffBuilder builder;
  std::string expected = "#\r\n1\r\n2\r\nUSER.sff\r\n";
  for (int i = 0; i < kRows; ++i) {
    const auto group = static_cast<std::uint16_t>(1 + i / 10000);
    const auto item = static_cast<std::uint16_t>(i % 10000);
    const auto axisX = static_cast<std::int16_t>(i * 7 % 65536 - 32768);
    const auto axisY = static_cast<std::int16_t>(-(i % 1000));
    builder.Add({.group = group, .item = item, .axisX = axisX, .axisY = axisY,
                 .palFlag = 1, .payload = Payload(4, 0)});
    char name[32];
    std::snprintf(name, sizeof name, "USER_%05d_%05d.pcx", group, item);
    if (i < 3) expected += "#\r\n1\r\n1\r\n";
    for (const std::string& line : {std::string(name), std::to_string(group), std::to_string(item),
                                    std::to_string(axisX), std::to_string(axisY)})
      expected += line + "\r\n";
  }
  expected += "\r\n";
  auto a = LoadArchive(builder.Build());
  ASSERT_TRUE(a->loaded());
  ASSERT_EQ(a->archive->RowCount(), std::size_t{kRows});
  TempDir out;
  ASSERT_TRUE(exporter::WriteSprText(out / "USER_SFF.txt", *a->archive));
  const std::string written = FileText(out / "USER_SFF.txt");
  ASSERT_GT(written.size(), exporter::kTextPieceBytes);
  EXPECT_TRUE(written == expected) << "the written text differs from the expected one";
  EXPECT_TRUE(std::string(exporter::View(*exporter::SprTextBytes(*a->archive))) == expected);
}

// The stem begins every name of the text, whatever its length: short, on
// either side of 16 and 32 bytes, longer than a row's numbers, and in CP932.
// Enough rows that some meet the end of the text's buffer.
TEST(DefinitionText, NamesKeepTheWholeStemOfEveryLength) {
  constexpr int kRows = 3000;
  SffBuilder builder;
  for (int i = 0; i < kRows; ++i)
    builder.Add({.group = static_cast<std::uint16_t>(i), .item = 7, .palFlag = 1, .payload = Payload(4, 0)});
  const Bytes archive = builder.Build();
  for (const std::size_t length : {1, 15, 16, 17, 31, 32, 33, 120}) {
    const std::string stem(length, 'S');
    SCOPED_TRACE(length);
    auto a = LoadArchive(archive, stem + ".sff");
    ASSERT_TRUE(a->loaded());
    const std::string text(exporter::View(*exporter::SprTextBytes(*a->archive)));
    std::string expected = "#\r\n1\r\n2\r\n" + stem + ".sff\r\n";
    for (int i = 0; i < kRows; ++i) {
      char tail[32];
      std::snprintf(tail, sizeof tail, "_%05d_00007.pcx", i);
      if (i < 3) expected += "#\r\n1\r\n1\r\n";
      expected += stem + tail + "\r\n" + std::to_string(i) + "\r\n7\r\n0\r\n0\r\n";
    }
    expected += "\r\n";
    EXPECT_TRUE(text == expected) << "the text differs from the expected one";
  }
  // "スプライト" (five double-byte characters in CP932) and ".sff".
  auto japanese = LoadArchive(SffBuilder().Add({.group = 3, .item = 4, .payload = Payload(800, 0)}).Build(),
                              "\u30B9\u30D7\u30E9\u30A4\u30C8.sff");
  ASSERT_TRUE(japanese->loaded());
  const std::string text(exporter::View(*exporter::SprTextBytes(*japanese->archive)));
  EXPECT_NE(text.find("\r\n\x83\x58\x83\x76\x83\x89\x83\x43\x83\x67_00003_00004.pcx\r\n"), std::string::npos);
}

TEST(DefinitionText, JapaneseNamesAreWrittenInCp932AndUnrepresentableOnesRefused) {
  const Bytes one = SffBuilder().Add({.group = 1, .palFlag = 1, .payload = Payload(4, 0)}).Build();
  auto a = LoadArchive(one, "テスト.sff");
  ASSERT_TRUE(a->loaded());
  const std::string text(exporter::View(*exporter::SprTextBytes(*a->archive)));
  EXPECT_NE(text.find("\x83\x65\x83\x58\x83\x67_00001_00000.pcx\r\n"), std::string::npos);

  // The archive's name and the PCX names made from it: the first one wins.
  auto euro = LoadArchive(one, "€.sff");
  ASSERT_TRUE(euro->loaded());
  TempDir out;
  WriteBytes(out / "old.txt", Bytes{'o', 'l', 'd'});
  const auto written = exporter::WriteSprText(out / "old.txt", *euro->archive);
  ASSERT_FALSE(written);
  const auto* error = std::get_if<exporter::TextError>(&written.error());
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(error->part, exporter::TextError::Part::kSffName);
  EXPECT_EQ(error->character, "€");
  EXPECT_EQ(error->file, out / "old.txt");
  EXPECT_EQ(FileText(out / "old.txt"), "old");  // nothing written
  EXPECT_EQ(exporter::DescribeMakeTextError(written.error()),
            (exporter::Lines{"SFFファイル名に CP932（Shift_JIS）で表せない文字「€」が含まれているため、出力できません。",
                             out / "old.txt"}));
}

TEST(BuildBat, SixLinesByteForByteWhateverTheFolder) {
  const std::string sep(1, text::kPathSeparator);
  const std::string bytes = *exporter::BuildBatBytes("C:" + sep + "Tools", "USER_SFF.txt");
  const std::string line3 = "\"C:" + sep + "Tools" + sep + "sprmaker.exe\" < USER_SFF.txt > CreateLog.txt";
  EXPECT_EQ(bytes, "@echo off\r\n"
                   "echo SFF \x82\xF0\x8D\xEC\x90\xAC\x92\x86 ...\r\n" +
                       line3 +
                       "\r\n"
                       "echo \x8F\x88\x97\x9D\x8F\x49\x97\xB9.\r\n"
                       "echo \x8F\x88\x97\x9D\x8C\x6F\x89\xDF\x82\xCC\x83\x8D\x83\x4F\x82\xCD\x81\x41 Createlog.txt "
                       "\x82\xF0\x8E\x51\x8F\xC6\x82\xB5\x82\xC4\x89\xBA\x82\xB3\x82\xA2.\r\n"
                       "pause\r\n");
}

// Line 3 as cmd must read it: the program, "<", one file name, "> CreateLog.txt". "%" is doubled
// wherever it stands, because cmd expands it even inside quotes.
TEST(BuildBat, NamesCmdWouldSplitOrRunAreQuoted) {
  const std::string sep(1, text::kPathSeparator);
  const auto line3 = [](const std::string& folder, const std::string& name) {
    const std::string bytes = *exporter::BuildBatBytes(folder, name);
    std::size_t from = 0;
    for (int line = 1; line < 3; ++line) from = bytes.find("\r\n", from) + 2;
    return bytes.substr(from, bytes.find("\r\n", from) - from);
  };
  const std::string program = "\"C:" + sep + "Tools" + sep + "sprmaker.exe\" < ";
  struct Case {
    const char* name;
    const char* onTheLine;
  };
  for (const Case& c : {Case{"USER_SFF.txt", "USER_SFF.txt"}, Case{"a-b+c~d[1]{2}@#$'.txt", "a-b+c~d[1]{2}@#$'.txt"},
                        Case{"my defs.txt", "\"my defs.txt\""}, Case{"x&echo PWNED&.txt", "\"x&echo PWNED&.txt\""},
                        Case{"a|b.txt", "\"a|b.txt\""}, Case{"a<b.txt", "\"a<b.txt\""}, Case{"a>b.txt", "\"a>b.txt\""},
                        Case{"a^b.txt", "\"a^b.txt\""}, Case{"(a).txt", "\"(a).txt\""}, Case{"100%.txt", "\"100%%.txt\""},
                        Case{"%PATH%.txt", "\"%%PATH%%.txt\""}, Case{"a!b!.txt", "\"a!b!.txt\""},
                        Case{"a;b.txt", "\"a;b.txt\""}, Case{"a,b.txt", "\"a,b.txt\""}, Case{"a=b.txt", "\"a=b.txt\""}}) {
    EXPECT_EQ(line3("C:" + sep + "Tools", c.name), program + c.onTheLine + " > CreateLog.txt") << c.name;
  }
  // The program folder is quoted already; its "%" is doubled too.
  EXPECT_EQ(line3("C:" + sep + "100% (x86)", "a.txt"),
            "\"C:" + sep + "100%% (x86)" + sep + "sprmaker.exe\" < a.txt > CreateLog.txt");
  // Japanese names hold no character cmd reads specially, in their CP932 form either.
  EXPECT_EQ(line3("C:", "テスト①_SFF.txt"),
            "\"C:" + sep + "sprmaker.exe\" < \x83\x65\x83\x58\x83\x67\x87\x40_SFF.txt > CreateLog.txt");
}

// A double quote would end the quotes, a control character the command: refused in either path.
TEST(BuildBat, NamesNoQuotingMakesSafeAreRefused) {
  struct Case {
    std::string folder, name, character;
  };
  for (const Case& c : {Case{"C:", "a\"b.txt", "\""}, Case{"C:", "a\nb.txt", "\n"}, Case{"C:", "a\rb.txt", "\r"},
                        Case{"C:", "\tb.txt", "\t"}, Case{"C:", "a\x7F.txt", "\x7F"}, Case{"C:\"x", "a.txt", "\""},
                        Case{"C:\x1B", "a.txt", "\x1B"}}) {
    const auto refused = exporter::BuildBatBytes(c.folder, c.name);
    ASSERT_FALSE(refused) << c.name;
    EXPECT_EQ(refused.error().part, exporter::TextError::Part::kBatchCommand);
    EXPECT_EQ(refused.error().fault, exporter::TextError::Fault::kCannotQuote);
    EXPECT_EQ(refused.error().character, c.character);
  }
  auto a = LoadArchive(ExampleArchive());
  TempDir out;
  const auto quote = exporter::MakeText(out / "a\"b.txt", *a->archive, "C:");
  ASSERT_FALSE(quote);
  EXPECT_EQ(exporter::DescribeMakeTextError(quote.error()),
            (exporter::Lines{"バッチファイルのコマンド行に、引用符で囲んでも安全に書けない文字「\"」が含まれているため、"
                             "出力できません。",
                             out / "a\"bBuild.bat"}));
  const auto lineBreak = exporter::MakeText(out / "a\nb.txt", *a->archive, "C:");
  ASSERT_FALSE(lineBreak);
  EXPECT_EQ(exporter::DescribeMakeTextError(lineBreak.error()),
            (exporter::Lines{"バッチファイルのコマンド行に、引用符で囲んでも安全に書けない制御文字（0x0A）が含まれているため、"
                             "出力できません。",
                             out / "a\nbBuild.bat"}));
  EXPECT_TRUE(out.Entries().empty());
}

TEST(MakeTextNames, DerivesNameStemAndBatchPath) {
  const std::string s(1, text::kPathSeparator);
  // A drive letter in front: on Windows these are the real documented paths.
  const std::string folder = "C:" + s + "out" + s;
  struct Case {
    const char* name;
    const char* stem;
  };
  for (const Case& c : {Case{"USER_SFF.txt", "USER_SFF"}, Case{"foo.txt", "foo"}, Case{"data.text", "data."},
                        Case{"abcd", ""}, Case{"テスト.txt", "テスト"}, Case{"テ", ""}, Case{"テスト", "テ"},
                        // A cut through a double-byte character leaves it out whole.
                        Case{"テスト1", "テ"}, Case{"テキストa", "テキ"}, Case{"aテスト1", "aテ"},
                        // Half-width katakana take one byte each: the cut is exact.
                        Case{"ｱｲｳｴｵ.txt", "ｱｲｳｴｵ"}, Case{"ｱｲｳｴｵ", "ｱ"},
                        // A character without a CP932 form counts as one byte and keeps its own name.
                        Case{"def😀.txt", "def😀"}, Case{"€€€€€€", "€€"}}) {
    const auto names = MakeTextNames(folder + c.name);
    EXPECT_EQ(names.textName, c.name);
    EXPECT_EQ(names.folderPart, folder);
    EXPECT_EQ(names.stem, c.stem) << c.name;
    EXPECT_EQ(names.batchPath, folder + c.stem + "Build.bat") << c.name;
  }
  // A folder with a character that has no CP932 form keeps its real name.
  EXPECT_EQ(MakeTextNames(s + "€" + s + "a.txt").batchPath, s + "€" + s + "aBuild.bat");
}

TEST(MakeText, WritesBothFilesOrNeither) {
  auto a = LoadArchive(ExampleArchive());
  TempDir out;
  ASSERT_TRUE(exporter::MakeText(out / "USER_SFF.txt", *a->archive, "C:"));
  EXPECT_EQ(out.Entries(), (std::vector<std::string>{"USER_SFF.txt", "USER_SFFBuild.bat"}));
  // A text name without a CP932 form: refused naming the batch file that would really be written.
  TempDir other;
  const auto emoji = exporter::MakeText(other / "def😀.txt", *a->archive, "C:");
  ASSERT_FALSE(emoji);
  EXPECT_EQ(exporter::DescribeMakeTextError(emoji.error()),
            (exporter::Lines{"バッチファイルのコマンド行に CP932（Shift_JIS）で表せない文字「😀」が含まれているため、出力できません。",
                             other / "def😀Build.bat"}));
  EXPECT_TRUE(other.Entries().empty());
}

}  // namespace
}  // namespace pelvaro::testing
