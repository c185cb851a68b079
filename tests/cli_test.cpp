#include "cli/cli.h"
#include "tests/support/load_archive.h"
#include "tests/support/run_cli.h"
#include "tests/support/system_reasons.h"
#include "text/native_path.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <streambuf>

namespace pelvaro::testing {
namespace {

// A stdout that takes nothing, as a full disk or a pipe without a reader:
// every write fails and leaves `error` in errno, as write(2) does.
class FailingBuffer final : public std::streambuf {
 public:
  explicit FailingBuffer(int error) : error_(error) {}

 protected:
  int_type overflow(int_type) override {
    errno = error_;
    return traits_type::eof();
  }
  std::streamsize xsputn(const char*, std::streamsize) override {
    errno = error_;
    return 0;
  }

 private:
  int error_;
};

CliRun RunCliIntoFailingStdout(std::vector<std::string> args, int error) {
  FailingBuffer buffer(error);
  std::ostream out(&buffer);
  std::ostringstream err;
  cli::Environment env;
  env.programFolder = "C:";
  const int code = cli::Run(args, out, err, env);
  return {code, "", err.str()};
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

// Every write to stdout that fails is told on stderr with the system's words
// and exit code 1, the table and the completion lines alike (the files
// themselves are written). A reader that has gone ends the command quietly.
TEST_F(Cli, AFailedWriteToStdoutIsToldOnStderr) {
  const std::string told = "標準出力に書き込めません。\n" + std::string(std::strerror(ENOSPC)) + "\n";
  for (const auto& args : std::vector<std::vector<std::string>>{{"list", archive_},
                                                                 {"pcx", archive_, dir_ / "pcx"},
                                                                 {"text", archive_, dir_ / "USER_SFF.txt"},
                                                                 {"--help"},
                                                                 {"--version"}}) {
    const auto full = RunCliIntoFailingStdout(args, ENOSPC);
    EXPECT_EQ(full.code, cli::kExitFailure) << args[0];
    EXPECT_EQ(full.err, told) << args[0];
    const auto gone = RunCliIntoFailingStdout(args, EPIPE);
    EXPECT_EQ(gone.code, cli::kExitFailure) << args[0];
    EXPECT_EQ(gone.err, "") << args[0];
  }
  EXPECT_EQ(ReadBytes(dir_ / "pcx" + text::kPathSeparator + "USER_00000_00000.pcx"), Payload(800, 0));
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(text::ToNativePath(dir_ / "USER_SFFBuild.bat"))));
}

// `text A.sff A.sff`: the open archive is refused and stays whole.
TEST_F(Cli, TheOpenArchiveIsNeverATarget) {
  const Bytes original = ReadBytes(archive_);
  const auto itself = RunCli({"text", archive_, archive_});
  EXPECT_EQ(itself.code, cli::kExitFailure);
  EXPECT_EQ(itself.err, "ファイルを書き込めません。\n" + archive_ + "\n開いているSFFファイルそのものなので、上書きできません。\n");
  EXPECT_EQ(ReadBytes(archive_), original);
  EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"USER.sff"});
}

// The reason given is the one for what the path really is.
TEST_F(Cli, ReasonsSayWhatThePathReallyIs) {
  std::filesystem::create_directory(std::filesystem::path(text::ToNativePath(dir_ / "dir")));
  const std::string folder = dir_ / "dir" + text::kPathSeparator;
  const auto intoFolder = RunCli({"text", archive_, folder});
  EXPECT_EQ(intoFolder.code, cli::kExitFailure);
  EXPECT_EQ(intoFolder.err, "ファイルを書き込めません。\n" + folder + "\n" + std::strerror(EISDIR) + "\n");
#ifdef __linux__
  // A file nobody may write, in a folder that takes no new file.
  for (const char* path : {"/proc/version", "/proc/pelvaro_SFF.txt"}) {
    const auto proc = RunCli({"text", archive_, path});
    EXPECT_EQ(proc.code, cli::kExitFailure);
    EXPECT_EQ(proc.err, "ファイルを書き込めません。\n" + std::string(path) + "\n" + std::strerror(EACCES) + "\n");
  }
#endif
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

}  // namespace
}  // namespace pelvaro::testing
