// pelvaro-cli in process: its own words, exit codes and streams (the files' bytes are the exporters' tests).
#include "tests/support/load_archive.h"
#include "tests/support/run_cli.h"
#include "tests/support/system_reasons.h"
#include "text/native_path.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace pelvaro::testing {
namespace {

class Cli : public ::testing::Test {
 protected:
  // Rows 0/0 (the palette source), 0/1, and one the chain never reaches, without a PCX name.
  void SetUp() override {
    WriteBytes(archive_, SffBuilder()
                             .ImageCount(3)
                             .Add({.group = 0, .item = 0, .palFlag = 0, .payload = Payload(800, 0)})
                             .Add({.group = 0, .item = 1, .palFlag = 1, .payload = Payload(9, 0)})
                             .Build());
  }
  TempDir dir_;
  std::string archive_ = dir_ / "USER.sff";
};

TEST_F(Cli, PcxMakesTheFolderAndCountsRowsWithoutANameOnStderr) {
  const std::string folder = dir_ / "new" + text::kPathSeparator + "out";  // no trailing separator
  const auto r = RunCli({"pcx", archive_, folder});
  ASSERT_EQ(r.code, cli::kExitOk) << r.err;
  EXPECT_EQ(r.out, "全PCXが出力されました。\n");
  EXPECT_EQ(r.err, "PCX名のない 1 行は出力されませんでした。\n");
  EXPECT_EQ(EntriesOf(folder + text::kPathSeparator),
            (std::vector<std::string>{"USER_00000_00000.pcx", "USER_00000_00001.pcx"}));
}

// Without --yes the question is printed and nothing is done; --yes stands before or after the command, and
// "--" ends the options, so that a name may begin with "-".
TEST_F(Cli, ArchivesNotInSharedPaletteModeNeedYesBeforeOrAfterTheCommand) {
  Bytes bytes = ReadBytes(archive_);
  bytes[32] = 0;  // the palette type
  WriteBytes(archive_, bytes);
  WriteBytes(dir_ / "-dash.sff", bytes);
  const auto refused = RunCli({"pcx", archive_, dir_ / "out"});
  EXPECT_EQ(refused.code, cli::kExitDeclined);
  EXPECT_EQ(refused.out, "");
  EXPECT_EQ(refused.err,
            "このSFFファイルは共有パレットモードではありません。\nこのSFFを正しくデコードすることは出来ません。\n\n"
            "デコード結果から、正しくSFFを再構築出来る保証はありません。\n処理を続行しますか？\n");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "out"));
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"--yes", "list", archive_}, {"list", "--yes", archive_}, {"list", archive_, "-y"},
           {"--yes", "--", "list", archive_}, {"list", "--yes", "--", dir_ / "-dash.sff"}}) {
    const auto r = RunCli(args);
    EXPECT_EQ(r.code, cli::kExitOk) << args[0] << " " << args[1] << "\n" << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.substr(0, 7), "SortNo\t");
  }
}

TEST_F(Cli, UsageErrorsAndInformation) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
      {{}, "no command given"}, {{"frobnicate", archive_}, "unknown command: frobnicate"},
      {{"pcx", archive_}, "missing argument for pcx"}, {{"list"}, "missing argument for list"},
      {{"list", archive_, "extra"}, "too many arguments for list"}, {{"list", "--bogus"}, "unknown option: --bogus"},
      {{"list", archive_, "--bogus"}, "unknown option: --bogus"}, {{"--bogus", "list"}, "unknown option: --bogus"},
      {{"pcx", archive_, "-x", dir_ / "o"}, "unknown option: -x"}};
  for (const auto& [args, what] : cases) {
    const auto r = RunCli(args);
    EXPECT_EQ(r.code, cli::kExitUsage) << what;
    EXPECT_EQ(r.err.rfind("pelvaro-cli: " + what + "\nUsage: pelvaro-cli [--yes] list ARCHIVE ", 0), 0u) << r.err;
    EXPECT_EQ(r.out, "");
  }
  EXPECT_FALSE(std::filesystem::exists(dir_ / "o"));
  const auto help = RunCli({"list", archive_, "--help"});
  EXPECT_EQ(help.code, cli::kExitOk);
  EXPECT_EQ(help.out.rfind("Usage: pelvaro-cli [--yes] list ARCHIVE ", 0), 0u) << help.out;
  EXPECT_EQ(RunCli({"--version"}).out, "pelvaro-cli 0.1.0.1\n");
}

// Every failure exits with 1, naming the path with the reason for what it really is; the open archive and a
// file in the way stay as they were, and nothing is made beside them (no batch file either).
TEST_F(Cli, FailuresExitOneWithTheReason) {
  WriteBytes(dir_ / "file", Bytes(1, 0));
  const std::string folder = dir_ / "dir" + text::kPathSeparator;
  std::filesystem::create_directory(std::filesystem::path(text::ToNativePath(folder)));
  const Bytes original = ReadBytes(archive_);
  const auto told = [](const std::string& path, const std::string& reason, const char* heading = "ファイルを書き込めません。") {
    return heading + ("\n" + path + "\n" + reason + "\n");
  };
  std::vector<std::pair<std::vector<std::string>, std::string>> cases{
      // After "--", "--yes" is a name like any other.
      {{"list", "--", "--yes"}, told("--yes", std::strerror(ENOENT), "ファイルを読み込めません。")},
      {{"text", archive_, archive_}, told(archive_, "開いているSFFファイルそのものなので、上書きできません。")},
      {{"text", archive_, folder}, told(folder, std::strerror(EISDIR))},
      {{"text", archive_, dir_ / "dir"}, told(dir_ / "dir", std::strerror(EISDIR))},
      {{"text", archive_, dir_ / "file/x.txt"}, told(dir_ / "file/x.txt", PathThroughFileReason())},
      {{"pcx", archive_, dir_ / "file"}, told(dir_ / "file", std::strerror(ENOTDIR), "出力フォルダを作成できません。")},
#ifdef __linux__
      // A file nobody may write, in a folder that takes no new file.
      {{"text", archive_, "/proc/version"}, told("/proc/version", std::strerror(EACCES))},
      {{"text", archive_, "/proc/pelvaro_SFF.txt"}, told("/proc/pelvaro_SFF.txt", std::strerror(EACCES))},
#endif
  };
  for (const auto& [args, err] : cases) {
    const auto r = RunCli(args);
    EXPECT_EQ(r.code, cli::kExitFailure) << args.back();
    EXPECT_EQ(r.err, err);
  }
  EXPECT_EQ(ReadBytes(archive_), original);
  EXPECT_EQ(ReadBytes(dir_ / "file"), Bytes(1, 0));
  EXPECT_EQ(dir_.Entries(), (std::vector<std::string>{"USER.sff", "dir", "file"}));
  EXPECT_TRUE(EntriesOf(folder).empty());
}

}  // namespace
}  // namespace pelvaro::testing
