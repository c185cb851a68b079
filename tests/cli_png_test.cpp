// pelvaro-cli png: what it prints, its exit codes and the files it leaves,
// compared with the writer's bytes (libpng reads those back elsewhere), so that
// this runs on Windows too.

#include "cli/cli.h"
#include "export/png_export.h"
#include "image/png_writer.h"
#include "tests/support/load_archive.h"
#include "tests/support/run_cli.h"
#include "text/native_path.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pelvaro::testing {
namespace {

// A picture of 24-bit colour: three planes of 8 bits, which the decoder refuses.
Bytes ThreePlanePcx() {
  Bytes file = MakePcx(4, 4, PatternPixels(4, 4, 8), nullptr);
  file.at(65) = 3;
  return file;
}

class CliPng : public ::testing::Test {
 protected:
  // Rows: 9000/0 (own palette), 1/0 (the palette source), 1/1 (shared).
  void SetUp() override {
    const Palette portrait = TestPalette(50);
    WriteArchive(SffBuilder()
                     .Add({.group = 1, .item = 0, .palFlag = 0, .payload = MakePcx(4, 3, PatternPixels(4, 3, 1), &palette_)})
                     .Add({.group = 1, .item = 1, .palFlag = 1, .payload = MakePcx(9, 2, PatternPixels(9, 2, 2), nullptr)})
                     .Add({.group = 9000, .palFlag = 0, .payload = MakePcx(3, 5, PatternPixels(3, 5, 3), &portrait)})
                     .Build());
  }

  void WriteArchive(const Bytes& bytes) {
    WriteBytes(archive_, bytes);
    loaded_ = LoadArchive(bytes);
    ASSERT_TRUE(loaded_->loaded());
  }

  // The file the export must leave for display row `row`.
  Bytes ExpectedFile(std::size_t row) const {
    const auto decoded = exporter::DecodeSprite(*loaded_->archive, loaded_->archive->RecordOfRow(row));
    if (!decoded) return {};
    const std::string png = image::EncodeIndexedPng(*decoded, image::kPngLevel);
    return Bytes(png.begin(), png.end());
  }

  // The palette source's: without one no shared palette is lifted.
  const Palette palette_ = TestPalette(5);
  TempDir dir_;
  std::string archive_ = dir_ / "USER.sff";
  std::unique_ptr<LoadedArchive> loaded_;
};

// A row that cannot be decoded is told with its reason and gets no file; the
// rows after it are still written, and the command ends in failure, saying
// nothing on stdout. A row without a name is counted as pcx counts it.
TEST_F(CliPng, UndecodableRowsAreToldAndEndTheCommandInFailure) {
  SffBuilder b;
  b.ImageCount(4);
  b.Add({.group = 1, .item = 0, .palFlag = 0, .payload = MakePcx(4, 3, PatternPixels(4, 3, 1), &palette_)});
  b.Add({.group = 1, .item = 1, .palFlag = 1, .payload = ThreePlanePcx()});
  b.Add({.group = 1, .item = 2, .palFlag = 1, .payload = MakePcx(2, 2, PatternPixels(2, 2, 2), nullptr)});
  Bytes bytes = b.Build();
  bytes.resize(bytes.size() + 32, 0);
  WriteArchive(bytes);
  const auto r = RunCli({"png", archive_, dir_ / "o"});
  EXPECT_EQ(r.code, cli::kExitFailure);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err,
            "2 行目の USER_00001_00001.png は出力できません。\n"
            "PCX画像を読み込めません。\n"
            "1 ピクセル 8 ビット、3 プレーンの画像（フルカラー）には対応していません。\n"
            "読み込めるのは 256 色（8 ビット、1 プレーン）の画像だけです。\n"
            "PCX名のない 1 行は出力されませんでした。\n"
            "画像を読み込めない 1 行は出力されませんでした。\n");
  EXPECT_EQ(EntriesOf(dir_ / "o" + text::kPathSeparator),
            (std::vector<std::string>{"USER_00001_00000.png", "USER_00001_00002.png"}));
  EXPECT_EQ(ReadBytes(dir_ / "o" + text::kPathSeparator + "USER_00001_00002.png"), ExpectedFile(2));
}

TEST_F(CliPng, AFileThatCannotBeWrittenStopsTheCommand) {
  const std::string out = dir_ / "o" + text::kPathSeparator;
  std::filesystem::create_directories(text::ToNativePath(out + "USER_00001_00000.png"));
  const auto r = RunCli({"png", archive_, out});
  EXPECT_EQ(r.code, cli::kExitFailure);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err.rfind("ファイルを書き込めません。\n" + out + "USER_00001_00000.png\n", 0), 0u) << r.err;
  // The portrait's file, written before, stays; nothing after the failure is.
  EXPECT_EQ(EntriesOf(out), (std::vector<std::string>{"USER_00001_00000.png", "USER_09000_00000.png"}));
}

// Progress is rewritten in place on a terminal for large archives; a report
// of an undecodable row first clears the progress line.
TEST_F(CliPng, ProgressOnlyOnATerminalAndClearedForAReport) {
  SffBuilder b;
  b.Add({.group = 1, .palFlag = 0, .payload = MakePcx(2, 2, PatternPixels(2, 2, 1), &palette_)});
  for (int i = 1; i < 1200; ++i)
    b.Add({.group = 1, .item = static_cast<std::uint16_t>(i), .palFlag = 1,
           .payload = i == 600 ? ThreePlanePcx() : MakePcx(2, 2, PatternPixels(2, 2, i), nullptr)});
  WriteArchive(b.Build());
  EXPECT_EQ(RunCli({"png", archive_, dir_ / "q"}).err.find('\r'), std::string::npos);
  const auto shown = RunCli({"png", archive_, dir_ / "t"}, true);
  EXPECT_EQ(shown.code, cli::kExitFailure);
  EXPECT_NE(shown.err.find("\rPNG 出力中 512 / 1200\r\033[K601 行目の USER_00001_00600.png は出力できません。\n"),
            std::string::npos)
      << shown.err;
  EXPECT_NE(shown.err.find("\rPNG 出力中 1200 / 1200\r\033[K画像を読み込めない 1 行は"), std::string::npos);
}

}  // namespace
}  // namespace pelvaro::testing
