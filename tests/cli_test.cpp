#include "cli/cli.h"
#include "tests/support/load_archive.h"
#include "tests/support/system_reasons.h"
#include "text/native_path.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

namespace pelvaro::testing {
namespace {

struct CliRun {
  int code;
  std::string out;
  std::string err;
};

CliRun RunCli(std::vector<std::string> args, bool terminal = false) {
  std::ostringstream out, err;
  cli::Environment env;
  env.progressTerminal = terminal;
  env.programFolder = std::string("C:") + text::kPathSeparator + "Tools";
  const int code = cli::Run(args, out, err, env);
  return {code, out.str(), err.str()};
}

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

TEST_F(Cli, ListPrintsTheTableTabSeparated) {
  const auto r = RunCli({"list", archive_});
  EXPECT_EQ(r.code, cli::kExitOk);
  EXPECT_EQ(r.out,
            "SortNo\tGroupNo\tItemNo\tPalType\tSortKey\tP.Pos\tPCX Name\n"
            "01\t9000\t0\t0\t 0000000000\t2\tUSER_09000_00000.pcx\n"
            "02\t0\t0\t1\t00000000000\t0\tUSER_00000_00000.pcx\n"
            "03\t0\t1\t1\t00000000001\t1\tUSER_00000_00001.pcx\n");
  EXPECT_EQ(r.err, "");
}

TEST_F(Cli, PcxCreatesTheFolderAndWritesEveryFile) {
  const std::string folder = dir_ / "new" + text::kPathSeparator + "out";  // no trailing separator
  const auto r = RunCli({"pcx", archive_, folder});
  ASSERT_EQ(r.code, cli::kExitOk) << r.err;
  EXPECT_EQ(r.out, "全PCXが出力されました。\n");
  EXPECT_EQ(ReadBytes(folder + text::kPathSeparator + "USER_00000_00000.pcx"), Payload(800, 0));
  EXPECT_EQ(ReadBytes(folder + text::kPathSeparator + "USER_00000_00001.pcx").size(), 9u + 768u);
}

TEST_F(Cli, TextWritesTheDefinitionAndTheBatchBesideIt) {
  const auto r = RunCli({"text", archive_, dir_ / "USER_SFF.txt"});
  ASSERT_EQ(r.code, cli::kExitOk) << r.err;
  EXPECT_EQ(r.out, "SFF 作成用テキストファイル、及びバッチファイルが出力されました。\n");
  const Bytes definition = ReadBytes(dir_ / "USER_SFF.txt");
  EXPECT_EQ(std::string(definition.begin(), definition.begin() + 22), "#\r\n1\r\n2\r\nUSER.sff\r\n#\r\n");
  const Bytes bat = ReadBytes(dir_ / "USER_SFFBuild.bat");
  const std::string batText(bat.begin(), bat.end());
  EXPECT_NE(batText.find("\"C:" + std::string(1, text::kPathSeparator) + "Tools" + text::kPathSeparator +
                         "sprmaker.exe\" < USER_SFF.txt > CreateLog.txt\r\n"),
            std::string::npos);
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
  EXPECT_EQ(RunCli({}).code, cli::kExitUsage);
  EXPECT_EQ(RunCli({"frobnicate", archive_}).code, cli::kExitUsage);
  EXPECT_EQ(RunCli({"pcx", archive_}).code, cli::kExitUsage);
  EXPECT_EQ(RunCli({"list"}).code, cli::kExitUsage);
  EXPECT_EQ(RunCli({"list", archive_, "extra"}).code, cli::kExitUsage);
  EXPECT_EQ(RunCli({"--bogus", "list", archive_}).code, cli::kExitUsage);
  const auto help = RunCli({"--help"});
  EXPECT_EQ(help.code, cli::kExitOk);
  EXPECT_NE(help.out.find("pelvaro-cli [--yes] list ARCHIVE"), std::string::npos);
  EXPECT_EQ(RunCli({"--version"}).out, "pelvaro-cli 0.1.0.1\n");
}

TEST_F(Cli, FailuresExitOneWithTheReason) {
  const auto missing = RunCli({"list", dir_ / "missing.sff"});
  EXPECT_EQ(missing.code, cli::kExitFailure);
  EXPECT_NE(missing.err.find("ファイルを読み込めません。\n"), std::string::npos);
  WriteBytes(dir_ / "file", Bytes(1, 0));
  const auto blocked = RunCli({"pcx", archive_, dir_ / "file"});
  EXPECT_EQ(blocked.code, cli::kExitFailure);
  EXPECT_EQ(blocked.err.rfind("出力フォルダを作成できません。\n" + dir_ / "file" + "\n", 0), 0u) << blocked.err;
  const auto badText = RunCli({"text", archive_, dir_ / "file/x.txt"});
  EXPECT_EQ(badText.code, cli::kExitFailure);
  EXPECT_EQ(badText.err, "ファイルを書き込めません。\n" + dir_ / "file/x.txt" + "\n" + PathThroughFileReason() + "\n");
  // The file in the way is left as it was, and nothing was made beside it.
  EXPECT_EQ(ReadBytes(dir_ / "file"), Bytes(1, 0));
  EXPECT_EQ(dir_.Entries(), (std::vector<std::string>{"USER.sff", "file"}));
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

TEST_F(Cli, ProgressOnlyOnATerminalAndOnlyForLargeArchives) {
  SffBuilder b;
  for (int i = 0; i < 1200; ++i) b.Add({.group = 1, .item = static_cast<std::uint16_t>(i), .palFlag = 1});
  WriteBytes(archive_, b.Build());
  const auto quiet = RunCli({"pcx", archive_, dir_ / "q"}, false);
  EXPECT_EQ(quiet.err, "");
  const auto shown = RunCli({"pcx", archive_, dir_ / "t"}, true);
  EXPECT_NE(shown.err.find("1200 / 1200"), std::string::npos);
}

}  // namespace
}  // namespace pelvaro::testing
