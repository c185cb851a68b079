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
  void SetUp() override {
    archive_ = dir_ / "USER.sff";
    WriteBytes(archive_, SffBuilder()
                             .Add({.group = 0, .item = 0, .palFlag = 0, .payload = Payload(800, 0)})
                             .Add({.group = 0, .item = 1, .palFlag = 1, .payload = Payload(9, 0)})
                             .Add({.group = 9000, .item = 0, .palFlag = 0, .payload = Payload(9, 0)})
                             .Build());
  }
  TempDir dir_;
  std::string archive_;
};

TEST_F(Cli, PcxCreatesTheFolderAndWritesEveryFile) {
  const std::string folder = dir_ / "new" + text::kPathSeparator + "out";  // no trailing separator
  const auto r = RunCli({"pcx", archive_, folder});
  ASSERT_EQ(r.code, cli::kExitOk) << r.err;
  EXPECT_EQ(r.out, "全PCXが出力されました。\n");
  EXPECT_EQ(ReadBytes(folder + text::kPathSeparator + "USER_00000_00000.pcx"), Payload(800, 0));
  EXPECT_EQ(ReadBytes(folder + text::kPathSeparator + "USER_00000_00001.pcx").size(), 9u + 768u);
}

TEST_F(Cli, ArchivesNotInSharedPaletteModeNeedYes) {
  Bytes bytes = ReadBytes(archive_);
  bytes[32] = 0;
  WriteBytes(archive_, bytes);
  const auto refused = RunCli({"pcx", archive_, dir_ / "out"});
  EXPECT_EQ(refused.code, cli::kExitDeclined);
  EXPECT_EQ(refused.out, "");
  EXPECT_EQ(refused.err,
            "このSFFファイルは共有パレットモードではありません。\nこのSFFを正しくデコードすることは出来ません。\n\n"
            "デコード結果から、正しくSFFを再構築出来る保証はありません。\n処理を続行しますか？\n");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "out"));
  const auto listed = RunCli({"--yes", "list", archive_});
  EXPECT_EQ(listed.code, cli::kExitOk);
  EXPECT_EQ(listed.err, "");
}

TEST_F(Cli, UsageErrorsAndInformation) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {}, {"frobnicate", archive_}, {"pcx", archive_}, {"list"}, {"list", archive_, "extra"}})
    EXPECT_EQ(RunCli(args).code, cli::kExitUsage);
  const auto help = RunCli({"--help"});
  EXPECT_EQ(help.code, cli::kExitOk);
  EXPECT_NE(help.out.find("pelvaro-cli [--yes] list ARCHIVE"), std::string::npos);
  EXPECT_EQ(RunCli({"--version"}).out, "pelvaro-cli 0.1.0.1\n");
}

// Options stand before or after the command; "--" ends them, so a name may
// begin with "-"; anything else beginning with "-" is a usage error.
TEST_F(Cli, OptionsBeforeOrAfterTheCommandAndDoubleDashEndsThem) {
  Bytes bytes = ReadBytes(archive_);
  bytes[32] = 0;  // not in shared palette mode: --yes is needed
  WriteBytes(archive_, bytes);
  WriteBytes(dir_ / "-dash.sff", bytes);
  for (const auto& args : std::vector<std::vector<std::string>>{{"--yes", "list", archive_},
                                                                 {"list", "--yes", archive_},
                                                                 {"list", archive_, "-y"},
                                                                 {"--yes", "--", "list", archive_},
                                                                 {"list", "--yes", "--", dir_ / "-dash.sff"}}) {
    const auto r = RunCli(args);
    EXPECT_EQ(r.code, cli::kExitOk) << args[0] << " " << args[1] << "\n" << r.err;
    EXPECT_EQ(r.out.substr(0, 7), "SortNo\t");
  }
  // After "--", "--yes" is a name like any other.
  const auto named = RunCli({"list", "--", "--yes"});
  EXPECT_EQ(named.code, cli::kExitFailure);
  EXPECT_EQ(named.err, "ファイルを読み込めません。\n--yes\n" + std::string(std::strerror(ENOENT)) + "\n");
  for (const auto& args : std::vector<std::vector<std::string>>{{"list", "--bogus"},
                                                                 {"list", archive_, "--bogus"},
                                                                 {"--bogus", "list", archive_},
                                                                 {"pcx", archive_, "-x", dir_ / "o"}}) {
    const auto r = RunCli(args);
    EXPECT_EQ(r.code, cli::kExitUsage) << args.back();
    EXPECT_EQ(r.err.rfind("pelvaro-cli: unknown option: -", 0), 0u) << r.err;
    EXPECT_EQ(r.out, "");
  }
  EXPECT_FALSE(std::filesystem::exists(dir_ / "o"));
  EXPECT_EQ(RunCli({"list", archive_, "--help"}).code, cli::kExitOk);
}

// Every failure exits with 1, naming the path with the reason for what it
// really is; the open archive and a file in the way stay as they were, and
// nothing is made beside them.
TEST_F(Cli, FailuresExitOneWithTheReason) {
  WriteBytes(dir_ / "file", Bytes(1, 0));
  const std::string folder = dir_ / "dir" + text::kPathSeparator;
  std::filesystem::create_directory(std::filesystem::path(text::ToNativePath(folder)));
  const Bytes original = ReadBytes(archive_);
  const auto told = [](const std::string& path, const std::string& reason, const char* heading = "ファイルを書き込めません。") {
    return heading + ("\n" + path + "\n" + reason + "\n");
  };
  std::vector<std::pair<std::vector<std::string>, std::string>> cases{
      {{"list", dir_ / "missing.sff"}, told(dir_ / "missing.sff", std::strerror(ENOENT), "ファイルを読み込めません。")},
      {{"text", archive_, archive_}, told(archive_, "開いているSFFファイルそのものなので、上書きできません。")},
      {{"text", archive_, folder}, told(folder, std::strerror(EISDIR))},
      {{"text", archive_, dir_ / "file/x.txt"}, told(dir_ / "file/x.txt", PathThroughFileReason())},
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
  const auto blocked = RunCli({"pcx", archive_, dir_ / "file"});
  EXPECT_EQ(blocked.code, cli::kExitFailure);
  EXPECT_EQ(blocked.err.rfind("出力フォルダを作成できません。\n" + dir_ / "file" + "\n", 0), 0u) << blocked.err;
  EXPECT_EQ(ReadBytes(archive_), original);
  EXPECT_EQ(ReadBytes(dir_ / "file"), Bytes(1, 0));
  EXPECT_EQ(dir_.Entries(), (std::vector<std::string>{"USER.sff", "dir", "file"}));
  EXPECT_TRUE(EntriesOf(folder).empty());
}

TEST_F(Cli, SkippedRowsAreCountedOnStderr) {
  SffBuilder b;
  b.ImageCount(3).Add({.group = 1, .palFlag = 1, .payload = Payload(3, 0)});
  Bytes bytes = b.Build();
  bytes.resize(bytes.size() + 64, 0);
  WriteBytes(archive_, bytes);
  const auto r = RunCli({"pcx", archive_, dir_ / "o"});
  EXPECT_EQ(r.code, cli::kExitOk);
  EXPECT_EQ(r.err, "PCX名のない 2 行は出力されませんでした。\n");
}

}  // namespace
}  // namespace pelvaro::testing
