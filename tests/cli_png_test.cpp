// pelvaro-cli png: its words, exit codes and progress (the files' bytes are png_export_test's).
#include "cli/cli.h"
#include "tests/support/load_archive.h"
#include "tests/support/run_cli.h"
#include "text/native_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace pelvaro::testing {
namespace {

// An undecodable row is told with its reason and gets no file, the rows after it are still written and the
// command ends in failure, silent on stdout; on a terminal each report first clears the progress line. A file
// that cannot be written stops the command.
TEST(CliPng, UndecodableRowsOrAFileThatCannotBeWrittenEndTheCommandInFailure) {
  const TempDir dir;
  const std::string archive = dir / "USER.sff";
  const Palette palette = TestPalette(5);
  // 1/0 the palette source, 1/600 of 24-bit colour (three planes), and one row the chain never reaches.
  SffBuilder b;
  b.ImageCount(1201).Add({.group = 1, .palFlag = 0, .payload = MakePcx(2, 2, PatternPixels(2, 2, 1), &palette)});
  for (int i = 1; i < 1200; ++i) {
    Bytes pcx = MakePcx(2, 2, PatternPixels(2, 2, i), nullptr);
    if (i == 600) pcx.at(65) = 3;
    b.Add({.group = 1, .item = static_cast<std::uint16_t>(i), .palFlag = 1, .payload = pcx});
  }
  WriteBytes(archive, b.Build());
  const std::string told =
      "601 行目の USER_00001_00600.png は出力できません。\nPCX画像を読み込めません。\n"
      "1 ピクセル 8 ビット、3 プレーンの画像（フルカラー）には対応していません。\n"
      "読み込めるのは 256 色（8 ビット、1 プレーン）の画像だけです。\n";
  const std::string counted = "PCX名のない 1 行は出力されませんでした。\n画像を読み込めない 1 行は出力されませんでした。\n";

  const auto r = RunCli({"png", archive, dir / "o"});
  EXPECT_EQ(r.code, cli::kExitFailure);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, told + counted);
  const auto written = EntriesOf(dir / "o" + text::kPathSeparator);
  EXPECT_EQ(written.size(), 1199u);
  EXPECT_EQ(written.back(), "USER_00001_01199.png");
  EXPECT_EQ(std::count(written.begin(), written.end(), "USER_00001_00600.png"), 0);

  const auto shown = RunCli({"png", archive, dir / "t"}, true);
  EXPECT_EQ(shown.code, cli::kExitFailure);
  EXPECT_NE(shown.err.find("\rPNG 出力中 512 / 1201\r\033[K" + told), std::string::npos) << shown.err;
  EXPECT_NE(shown.err.find("\rPNG 出力中 1201 / 1201\r\033[K" + counted), std::string::npos);

  const std::string blocked = dir / "b" + text::kPathSeparator;
  std::filesystem::create_directories(text::ToNativePath(blocked + "USER_00001_00000.png"));
  const auto stopped = RunCli({"png", archive, blocked});
  EXPECT_EQ(stopped.code, cli::kExitFailure);
  EXPECT_EQ(stopped.out, "");
  EXPECT_EQ(stopped.err, "ファイルを書き込めません。\n" + blocked + "USER_00001_00000.png\n" + std::strerror(EISDIR) + "\n");
}

}  // namespace
}  // namespace pelvaro::testing
