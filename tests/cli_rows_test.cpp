// pelvaro-cli's --rows: the subset of the files every row makes, and the words it refuses; the lone "-".
#include "tests/support/load_archive.h"
#include "tests/support/run_cli.h"
#include "text/native_path.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace pelvaro::testing {
namespace {

class CliRows : public ::testing::Test {
 protected:
  // Display order 1/0 (the palette source), 1/1, 2/0 (reusing 1/1's image), 3/0, and a fifth
  // record the chain never reaches, without a name.
  void SetUp() override {
    const Palette palette = TestPalette(7);
    WriteBytes(archive_, SffBuilder()
                             .ImageCount(5)
                             .Add({.group = 1, .item = 0, .palFlag = 0,
                                   .payload = MakePcx(4, 3, PatternPixels(4, 3, 1), &palette)})
                             .Add({.group = 1, .item = 1, .palFlag = 1,
                                   .payload = MakePcx(5, 2, PatternPixels(5, 2, 2), nullptr)})
                             .Add({.group = 2, .item = 0, .link = 1, .palFlag = 1})
                             .Add({.group = 3, .item = 0, .palFlag = 1,
                                   .payload = MakePcx(3, 6, PatternPixels(3, 6, 3), nullptr)})
                             .Build());
  }
  TempDir dir_;
  std::string archive_ = dir_ / "USER.sff";
};

// Each subset is exactly the files of its rows, named and made as when every row is written; a linked row's
// file is the image it reuses, under that image's name.
TEST_F(CliRows, EachSubsetIsThoseRowsFilesOfSaveAll) {
  for (const char* format : {"pcx", "png"}) {
    const std::string all = dir_ / std::string("all-") + format;
    const auto whole = RunCli({format, archive_, all});
    ASSERT_EQ(whole.code, cli::kExitOk) << whole.err;
    const std::string ext = std::string(".") + format;
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases{
        {"2", {"USER_00001_00001" + ext}},  // the linked row alone
        {"linked", {"USER_00001_00001" + ext}},
        {"1", {"USER_00001_00000" + ext, "USER_00001_00001" + ext}},
        {"3-2", {"USER_00001_00001" + ext, "USER_00003_00000" + ext}},
        {"  3,0\t", {"USER_00003_00000" + ext}},
    };
    int n = 0;
    for (const auto& [terms, files] : cases) {
      const std::string folder = dir_ / (std::string(format) + std::to_string(n++));
      const auto r = RunCli({format, archive_, folder, "--rows", terms});
      EXPECT_EQ(r.code, cli::kExitOk) << terms << "\n" << r.err;
      EXPECT_EQ(r.out, std::string(format == std::string("pcx") ? "PCX" : "PNG") + "ファイルを出力しました。\n出力先: " +
                           folder + text::kPathSeparator + "\n" + std::to_string(files.size()) +
                           " 個のファイルを出力しました。\n");
      EXPECT_EQ(EntriesOf(folder + text::kPathSeparator), files) << format << " " << terms;
      for (const std::string& file : files)
        EXPECT_EQ(ReadBytes(folder + text::kPathSeparator + file), ReadBytes(all + text::kPathSeparator + file))
            << file;
    }
    // Every term must hold; with no row left nothing is made, as for an empty selection in the browser.
    const auto none = RunCli({format, archive_, dir_ / "none", "--rows", "1 3"});
    EXPECT_EQ(none.code, cli::kExitOk);
    EXPECT_EQ(none.err, "出力する行がありません。\n");
    EXPECT_EQ(none.out, "");
    EXPECT_FALSE(std::filesystem::exists(dir_ / "none"));
    // "--rows=FILTER" is the same as "--rows FILTER", before the command too.
    const auto joined = RunCli({"--rows=3", format, archive_, dir_ / std::string("joined-") + format});
    EXPECT_EQ(joined.code, cli::kExitOk) << joined.err;
    EXPECT_EQ(EntriesOf(dir_ / std::string("joined-") + format + text::kPathSeparator),
              std::vector<std::string>{"USER_00003_00000" + ext});
  }
}

TEST_F(CliRows, AWordTheFilterCannotReadIsAUsageErrorNamingIt) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
      {{"pcx", archive_, dir_ / "o", "--rows", "1 x-2 linked"}, "unreadable term in --rows: x-2"},
      {{"png", archive_, dir_ / "o", "--rows", "70000"}, "unreadable term in --rows: 70000"},
      {{"pcx", archive_, dir_ / "o", "--rows", "1,"}, "unreadable term in --rows: 1,"},
      {{"pcx", archive_, dir_ / "o", "--rows"}, "missing value for --rows"},
      {{"list", archive_, "--rows", "1"}, "--rows is for pcx and png, not list"},
      {{"list", archive_, "--format", "csv"}, "unknown format for list: csv"},
      {{"check", archive_, "--format", "tsv"}, "unknown format for check: tsv"},
      {{"pcx", archive_, dir_ / "o", "--format", "json"}, "--format is for list and check, not pcx"},
  };
  for (const auto& [args, what] : cases) {
    const auto r = RunCli(args);
    EXPECT_EQ(r.code, cli::kExitUsage) << what;
    EXPECT_EQ(r.err.rfind("pelvaro-cli: " + what + "\nUsage: ", 0), 0u) << r.err;
    EXPECT_EQ(r.out, "");
  }
  EXPECT_FALSE(std::filesystem::exists(dir_ / "o"));
}

// A lone "-" names a file called "-", wherever it stands: it is never taken for an option, nor for
// standard input or output.
TEST_F(CliRows, ALoneDashIsAName) {
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(std::filesystem::path(text::ToNativePath(dir_.path())));
  const auto exported = RunCli({"pcx", archive_, "-", "--rows", "3"});
  const std::vector<std::string> written = EntriesOf(dir_ / "-" + text::kPathSeparator);
  std::filesystem::remove_all("-");
  const auto missing = RunCli({"list", "-"});
  std::filesystem::copy_file(std::filesystem::path(text::ToNativePath(archive_)), "-");
  const auto listed = RunCli({"list", "-"});
  const auto listedAfterYes = RunCli({"--yes", "list", "-", "--yes"});
  const auto asCommand = RunCli({"-", "list", archive_});
  std::filesystem::current_path(before);

  // Into the folder "-", made in the current folder.
  EXPECT_EQ(exported.code, cli::kExitOk) << exported.err;
  EXPECT_EQ(written, std::vector<std::string>{"USER_00003_00000.pcx"});
  EXPECT_EQ(missing.code, cli::kExitFailure);
  EXPECT_EQ(missing.err, "ファイルを読み込めません。\n-\n" + std::string(std::strerror(ENOENT)) + "\n");
  // The archive "-": a name of one character leaves no stem for the PCX names.
  EXPECT_EQ(listed.code, cli::kExitOk) << listed.err;
  EXPECT_NE(listed.out.find("\t3\t_00003_00000.pcx\n"), std::string::npos) << listed.out;
  EXPECT_EQ(listedAfterYes.out, listed.out);
  EXPECT_EQ(asCommand.code, cli::kExitUsage);
  EXPECT_EQ(asCommand.err.rfind("pelvaro-cli: unknown command: -\n", 0), 0u) << asCommand.err;
}

}  // namespace
}  // namespace pelvaro::testing
