// check: each kind of finding from an archive made to have it, told one a line; a clean archive tells nothing.
#include "commands/archive_check.h"
#include "tests/support/load_archive.h"
#include "tests/support/run_cli.h"

#include <gtest/gtest.h>

namespace pelvaro::testing {
namespace {

using Kind = commands::CheckFinding::Kind;

Bytes OwnPalettePcx(int seed) {
  const Palette palette = TestPalette(static_cast<std::uint8_t>(seed));
  return MakePcx(4, 3, PatternPixels(4, 3, seed), &palette);
}
Bytes SharedPalettePcx(int seed) { return MakePcx(3, 5, PatternPixels(3, 5, seed), nullptr); }

// Display order 1/0 (the palette source), 1/1, 1/2 reusing 1/1's image, 2/0 with a palette of its own.
SffBuilder Clean() {
  SffBuilder b;
  b.Add({.group = 1, .item = 0, .palFlag = 0, .payload = OwnPalettePcx(1)})
      .Add({.group = 1, .item = 1, .palFlag = 1, .payload = SharedPalettePcx(2)})
      .Add({.group = 1, .item = 2, .link = 1, .palFlag = 1})
      .Add({.group = 2, .item = 0, .palFlag = 0, .payload = OwnPalettePcx(3)});
  return b;
}

struct Checked {
  cli::ExitCode code;
  std::string out;
  std::vector<commands::CheckFinding> findings;
};

Checked Check(const Bytes& bytes, std::vector<std::string> options = {}) {
  TempDir dir;
  WriteBytes(dir / "USER.sff", bytes);
  std::vector<std::string> args{"check", dir / "USER.sff"};
  args.insert(args.end(), options.begin(), options.end());
  const auto r = RunCli(args);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"USER.sff"});  // nothing written
  auto loaded = sff::LoadSffFromBytes("USER.sff", bytes, [] { return true; });
  EXPECT_TRUE(loaded);
  return {static_cast<cli::ExitCode>(r.code), r.out, loaded ? commands::CheckArchive(*loaded) : std::vector<commands::CheckFinding>{}};
}

TEST(Check, ACleanArchiveTellsNothingAndEndsZero) {
  const auto clean = Check(Clean().Build());
  EXPECT_EQ(clean.code, cli::kExitOk);
  EXPECT_EQ(clean.out, "");
  EXPECT_TRUE(clean.findings.empty());
  EXPECT_EQ(Check(Clean().Build(), {"--format", "json"}).out, "[]\n");
}

TEST(Check, PairsThatStandTwice) {
  const auto r = Check(Clean().Add({.group = 1, .item = 1, .palFlag = 1, .payload = SharedPalettePcx(4)})
                           .Add({.group = 1, .item = 1, .palFlag = 1, .payload = SharedPalettePcx(5)})
                           .Build());
  EXPECT_EQ(r.code, cli::kExitFailure);
  EXPECT_EQ(r.out,
            "3 行目（P.Pos 4、グループ 1、番号 1）: グループと番号が P.Pos 1 と同じです。\n"
            "4 行目（P.Pos 5、グループ 1、番号 1）: グループと番号が P.Pos 1 と同じです。\n");
}

TEST(Check, RowsWhoseImageCannotBeDecodedWithTheReason) {
  Bytes notPcx = SharedPalettePcx(4);
  notPcx[0] = 0x0B;
  const auto r = Check(Clean().Add({.group = 3, .item = 0, .palFlag = 1, .payload = notPcx}).Build());
  EXPECT_EQ(r.code, cli::kExitFailure);
  EXPECT_EQ(r.out,
            "4 行目（P.Pos 4、グループ 3、番号 0）: PCX画像を読み込めません。"
            "PCX画像ではありません（先頭のバイトが 0x0A ではなく 0x0B です）。\n");
  ASSERT_EQ(r.findings.size(), 1u);
  EXPECT_EQ(r.findings[0].decodeError.fault, image::DecodeFault::kNotPcx);
}

// 1/3 reuses 1/2, itself a link; 1/4 reuses the seventh record, which the chain never reaches (the image count
// says seven, the chain holds six).
TEST(Check, LinksToALinkOrToWhatTheChainNeverReaches) {
  const auto r = Check(Clean()
                           .ImageCount(7)
                           .Add({.group = 1, .item = 3, .link = 2, .palFlag = 1})
                           .Add({.group = 1, .item = 4, .link = 6, .palFlag = 1})
                           .Build(),
                       {"--format", "json"});
  EXPECT_EQ(r.code, cli::kExitFailure);
  EXPECT_EQ(r.out,
            "[\n"
            "{\"kind\": \"link-to-link\", \"row\": 4, \"position\": 4, \"group\": 1, \"item\": 3, \"link\": 2, "
            "\"message\": \"4 行目（P.Pos 4、グループ 1、番号 3）: リンク先 P.Pos 2 もリンクです。\"},\n"
            "{\"kind\": \"link-to-unreached\", \"row\": 5, \"position\": 5, \"group\": 1, \"item\": 4, \"link\": 6, "
            "\"message\": \"5 行目（P.Pos 5、グループ 1、番号 4）: リンク先 P.Pos 6 はチェーンが届かないサブファイルです。\"},\n"
            "{\"kind\": \"unreached\", \"position\": 6, \"count\": 1, "
            "\"message\": \"P.Pos 6 から 1 個のサブファイルには、チェーンが届いていません。\"}\n"
            "]\n");
}

// A payload runs up to the next subfile, so loose bytes are found after the last one (past its length field).
TEST(Check, SubfilesTheChainNeverReachesAndBytesNoSubfileTakes) {
  Bytes tail = Clean().ImageCount(6).Build();
  const auto end = static_cast<std::int64_t>(tail.size());
  tail.insert(tail.end(), 10, 0xEE);
  const auto r = Check(tail);
  EXPECT_EQ(r.code, cli::kExitFailure);
  EXPECT_EQ(r.out, "P.Pos 4 から 2 個のサブファイルには、チェーンが届いていません。\n"
                   "オフセット " + std::to_string(end) + " からの 10 バイトは、どのサブファイルにも属していません。\n");
}

// No sprite has a palette of its own, so the loader's palette source (the first sprite) gives pixels, not a
// palette; each sprite whose flag asks for the shared palette is told. With one own-palette sprite before
// them, there is a shared palette.
TEST(Check, SpritesAskingForASharedPaletteThereIsNot) {
  const auto none = Check(SffBuilder()
                              .Add({.group = 1, .palFlag = 1, .payload = SharedPalettePcx(1)})
                              .Add({.group = 2, .palFlag = 1, .payload = SharedPalettePcx(2)})
                              .Build());
  EXPECT_EQ(none.code, cli::kExitFailure);
  EXPECT_EQ(none.out,
            "1 行目（P.Pos 0、グループ 1、番号 0）: 共有パレットを使う指定ですが、共有パレットがありません。\n"
            "2 行目（P.Pos 1、グループ 2、番号 0）: 共有パレットを使う指定ですが、共有パレットがありません。\n");
  // Flags 1, 0, 1: the palette comes from the second sprite, and the first takes it too.
  const auto later = Check(SffBuilder()
                               .Add({.group = 1, .palFlag = 1, .payload = SharedPalettePcx(1)})
                               .Add({.group = 2, .palFlag = 0, .payload = OwnPalettePcx(2)})
                               .Add({.group = 3, .palFlag = 1, .payload = SharedPalettePcx(3)})
                               .Build());
  EXPECT_EQ(later.code, cli::kExitOk) << later.out;
}

// A link at or past the image count is refused by the loader: check tells the refusal as any load failure.
TEST(Check, AnArchiveTheLoaderRefusesIsALoadFailure) {
  TempDir dir;
  WriteBytes(dir / "USER.sff", Clean().Add({.group = 5, .link = 9, .palFlag = 1}).Build());
  const auto r = RunCli({"check", dir / "USER.sff"});
  EXPECT_EQ(r.code, cli::kExitFailure);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err.rfind("SFFファイルが壊れているため、読み込めません。\nリンク先 9 が画像数 5 の範囲外です", 0), 0u) << r.err;
}

}  // namespace
}  // namespace pelvaro::testing
