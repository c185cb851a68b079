// Promises stated as literals: the list table and the definition text of linked and nameless rows, the hex
// of a byte that is not text, and the viewer's pixel read-out.
#include "commands/viewer_state.h"
#include "export/definition_text.h"
#include "export/messages.h"
#include "tests/support/load_archive.h"
#include "tests/support/run_cli.h"

#include <gtest/gtest.h>

namespace pelvaro::testing {
namespace {

// Chain order 1/0 (the palette source), 1/1, 1/2, 2/0 reusing 1/1's image with axis (3, -4), and a fifth
// record the chain never reaches.
Bytes LinkedAndNamelessRows() {
  return SffBuilder()
      .ImageCount(5)
      .Add({.group = 1, .item = 0, .palFlag = 0, .payload = Payload(800, 0)})
      .Add({.group = 1, .item = 1, .palFlag = 1, .payload = Payload(5, 0)})
      .Add({.group = 1, .item = 2, .palFlag = 1, .payload = Payload(5, 0)})
      .Add({.group = 2, .item = 0, .axisX = 3, .axisY = -4, .link = 1, .palFlag = 1})
      .Build();
}

TEST(Promises, TheListTableOfLinkedAndNamelessRows) {
  TempDir dir;
  WriteBytes(dir / "USER.sff", LinkedAndNamelessRows());
  const auto r = RunCli({"list", dir / "USER.sff"});
  EXPECT_EQ(r.code, cli::kExitOk) << r.err;
  EXPECT_EQ(r.out,
            "SortNo\tGroupNo\tItemNo\tPalType\tSortKey\tP.Pos\tPCX Name\n"
            "01\t1\t0\t1\t00000100000\t0\tUSER_00001_00000.pcx\n"
            "02\t1\t1\t1\t00000100001\t1\tUSER_00001_00001.pcx\n"
            "03\t1\t2\t1\t00000100002\t2\tUSER_00001_00002.pcx\n"
            "04\t2\t0\t1\t00000200000\t3\tUSER_00001_00001.pcx\n"
            "05\t0\t0\t0\t10000000000\t4\t\n");
}

// A linked row is written under the name of the image it reuses with its own numbers; a nameless row has an
// empty name line, and (its flag being 0) a section mark.
TEST(Promises, TheDefinitionTextOfLinkedAndNamelessRows) {
  auto a = LoadArchive(LinkedAndNamelessRows());
  ASSERT_TRUE(a->loaded());
  const auto bytes = exporter::SprTextBytes(*a->archive);
  ASSERT_TRUE(bytes);
  std::string expected;
  for (const char* line : {"#", "1", "2", "USER.sff",                                 //
                           "#", "1", "1", "USER_00001_00000.pcx", "1", "0", "0", "0",  //
                           "#", "1", "1", "USER_00001_00001.pcx", "1", "1", "0", "0",  //
                           "#", "1", "1", "USER_00001_00002.pcx", "1", "2", "0", "0",  //
                           "USER_00001_00001.pcx", "2", "0", "3", "-4",                //
                           "#", "1", "1", "", "0", "0", "0", "0", ""})
    expected += std::string(line) + "\r\n";
  EXPECT_EQ(std::string(exporter::View(*bytes)), expected);
}

// The byte is told by its own two hex digits, high digit first.
TEST(Promises, AByteThatIsNotTextIsToldInHex) {
  const Bytes one = SffBuilder().Add({.group = 1, .palFlag = 1, .payload = Payload(4, 0)}).Build();
  for (const auto& [byte, hex] : std::vector<std::pair<char, std::string>>{{'\x81', "81"}, {'\xAB', "AB"}}) {
    auto archive = sff::LoadSffFromBytes(std::string("a") + byte + ".sff", one, [] { return true; });
    ASSERT_TRUE(archive);
    const auto text = exporter::SprTextBytes(*archive);
    ASSERT_FALSE(text);
    EXPECT_EQ(text.error().character, "\\x" + hex);
    exporter::TextError error = text.error();
    error.file = "USER_SFF.txt";
    EXPECT_EQ(exporter::DescribeTextError(error),
              (exporter::Lines{"SFFファイル名に CP932（Shift_JIS）で表せない文字「\\x" + hex +
                                   "」が含まれているため、出力できません。",
                               "USER_SFF.txt"}));
  }
  // A control character in the batch file's command line, by its code.
  for (const auto& [byte, hex] : std::vector<std::pair<char, std::string>>{{'\x1B', "1B"}, {'\x0E', "0E"}}) {
    exporter::TextError error;
    error.part = exporter::TextError::Part::kBatchCommand;
    error.fault = exporter::TextError::Fault::kCannotQuote;
    error.character = std::string(1, byte);
    error.file = "USER_SFFBuild.bat";
    EXPECT_EQ(exporter::DescribeTextError(error).front(),
              "バッチファイルのコマンド行に、引用符で囲んでも安全に書けない制御文字（0x" + hex +
                  "）が含まれているため、出力できません。");
  }
}

// A sprite 5 wide and 3 high whose pixel (x, y) is colour 10 + 5y + x; colour i is (i, 255 - i, i).
TEST(Promises, ThePixelReadOutIsThePixelUnderThePointerAndNothingOffThePicture) {
  std::vector<std::uint8_t> pixels(15);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(10 + i);
  const Palette palette = TestPalette(0);
  auto a = LoadArchive(SffBuilder().Add({.group = 1, .palFlag = 0, .payload = MakePcx(5, 3, pixels, &palette)}).Build());
  ASSERT_TRUE(a->loaded());
  commands::ViewerState viewer;
  viewer.Show(&*a->archive, 0);
  ASSERT_NE(viewer.picture(), nullptr);
  const std::vector<std::pair<std::array<int, 2>, int>> inside{
      {{0, 0}, 10}, {{4, 0}, 14}, {{0, 2}, 20}, {{4, 2}, 24}, {{2, 1}, 17}, {{1, 2}, 21}};
  for (const auto& [at, colour] : inside) {
    viewer.HoverPixel(at);
    const std::string c = std::to_string(colour);
    EXPECT_EQ(viewer.hoverText(), "位置 (" + std::to_string(at[0]) + ", " + std::to_string(at[1]) +
                                      ")　パレット番号 " + c + "　R " + c + ", G " + std::to_string(255 - colour) +
                                      ", B " + c);
    EXPECT_EQ(viewer.markedColour(), colour);
  }
  for (const std::array<int, 2> off : {std::array{5, 0}, std::array{0, 3}, std::array{5, 2}, std::array{4, 3},
                                       std::array{-1, 0}, std::array{0, -1}, std::array{3, 4}}) {
    viewer.HoverPixel(std::array{4, 2});
    viewer.HoverPixel(off);
    EXPECT_EQ(viewer.hoverText(), "") << off[0] << ", " << off[1];
    EXPECT_EQ(viewer.markedColour(), std::nullopt);
  }
}

}  // namespace
}  // namespace pelvaro::testing
