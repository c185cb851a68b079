// Real write faults: a full disk, a folder that goes away during an export, a
// directory where a file should go, a path through a regular file. Whatever
// stops the work, the user is told which file and why, the files finished
// before stay as they are, no temporary file is left and nothing half-written
// appears under a target's name. Cases are run through the exporters and
// through pelvaro-cli.

#include "cli/cli.h"
#include "export/definition_text.h"
#include "export/pcx_export.h"
#include "tests/support/load_archive.h"
#include "tests/support/small_disk.h"
#include "text/native_path.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <sstream>
#include <streambuf>

namespace pelvaro::testing {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kDiskCapacity = 64 * 1024;

fs::path Native(const std::string& path) { return fs::path(text::ToNativePath(path)); }

// The system's words for `error`, as the writers report them. Windows words
// its own reasons, so there only the heading and the file are compared.
std::optional<std::string> ReasonFor(int error) {
#ifdef _WIN32
  (void)error;
  return std::nullopt;
#else
  return std::string(std::strerror(error));
#endif
}

// `message` (CR LF or LF lines) says that `path` could not be written, and why.
void ExpectWriteFailure(const std::string& message, const std::string& path, const std::optional<std::string>& reason,
                        const std::string& lineEnd = "\r\n") {
  const std::string head = "ファイルを書き込めません。" + lineEnd + path + lineEnd;
  EXPECT_EQ(message.substr(0, head.size()), head) << message;
  if (reason) {
    EXPECT_NE(message.find(head + *reason), std::string::npos) << message;
  }
}

void ExpectNoTemporaryFile(const std::vector<std::string>& entries) {
  for (const auto& name : entries) EXPECT_EQ(name.rfind(".pelvaro-", 0), std::string::npos) << name;
}

// The files of the first two rows as they must stand after any fault in the third.
void ExpectFirstTwoFiles(const std::string& folder) {
  EXPECT_EQ(ReadBytes(folder + "USER_00001_00000.pcx"), Payload(800, 1));
  Bytes second = Payload(1000, 2);
  const Bytes source = Payload(800, 1);
  second.insert(second.end(), source.end() - 768, source.end());
  EXPECT_EQ(ReadBytes(folder + "USER_00001_00001.pcx"), second);
}

// A macro, because GTEST_SKIP only leaves the function it is written in.
#define SKIP_WITHOUT_SMALL_DISK(disk) \
  if ((disk).kind() == SmallDisk::Kind::kUnavailable) GTEST_SKIP() << "no way to make a small disk here"

// ----- the exporters -----------------------------------------------------------------------------

TEST(WriteFaults, AFullDiskStopsThePcxExportAtTheFileThatDoesNotFit) {
  auto a = LoadArchive(FourSprites(4 * kDiskCapacity));
  ASSERT_EQ(a->outcome.status, sff::LoadStatus::kLoaded);
  SmallDisk disk(kDiskCapacity);
  SKIP_WITHOUT_SMALL_DISK(disk);
  // An older file under the name that does not fit must survive whole.
  WriteBytes(disk / "USER_00001_00002.pcx", Payload(50, 9));

  const auto result = exporter::ExportAllPcx(disk.path(), a->state, a->view.table);

  ASSERT_TRUE(result.error);
  EXPECT_EQ(result.written, 2);
  EXPECT_EQ(result.error->path, disk / "USER_00001_00002.pcx");
  ExpectWriteFailure(result.error->message, disk / "USER_00001_00002.pcx", disk.Reason());
  ExpectFirstTwoFiles(disk.path());
  EXPECT_EQ(ReadBytes(disk / "USER_00001_00002.pcx"), Payload(50, 9));
  EXPECT_EQ(disk.Entries(),
            (std::vector<std::string>{"USER_00001_00000.pcx", "USER_00001_00001.pcx", "USER_00001_00002.pcx"}));
}

TEST(WriteFaults, AFullDiskStopsMakeTextBeforeEitherFileAppears) {
  auto a = LoadArchive(ManySprites(600, 0));
  ASSERT_EQ(a->outcome.status, sff::LoadStatus::kLoaded);
  SmallDisk disk(16 * 1024);
  SKIP_WITHOUT_SMALL_DISK(disk);

  const auto error = exporter::MakeText(disk / "USER_SFF.txt", "USER.sff", a->state, a->view.table, "C:");

  ASSERT_TRUE(error);
  EXPECT_EQ(error->path, disk / "USER_SFF.txt");
  ExpectWriteFailure(error->message, disk / "USER_SFF.txt", disk.Reason());
  EXPECT_TRUE(disk.Entries().empty());
}

// The folder is taken away after the second row: removed outright, or moved
// elsewhere as a file manager does. The third row's file is the one reported.
class FolderGoesAway : public ::testing::Test {
 protected:
  void SetUp() override {
    archive_ = LoadArchive(FourSprites(100));
    ASSERT_EQ(archive_->outcome.status, sff::LoadStatus::kLoaded);
    folder_ = text::WithTrailingSeparator(out_ / "pcx");
    fs::create_directory(Native(folder_));
  }

  exporter::PcxExportResult ExportAndAfterTwoRows(const std::function<void()>& takeAway) {
    return exporter::ExportAllPcx(folder_, archive_->state, archive_->view.table, [&](int done, int) {
      if (done == 2) takeAway();
    });
  }

  std::unique_ptr<LoadedArchive> archive_;
  TempDir out_;
  std::string folder_;
};

TEST_F(FolderGoesAway, RemovedTheExportStopsNamingTheNextFile) {
  const auto result = ExportAndAfterTwoRows([&] { fs::remove_all(Native(folder_)); });
  ASSERT_TRUE(result.error);
  EXPECT_EQ(result.written, 2);
  ExpectWriteFailure(result.error->message, folder_ + "USER_00001_00002.pcx", ReasonFor(ENOENT));
  // Nothing brings the folder back, not even for a temporary file.
  EXPECT_FALSE(fs::exists(Native(folder_)));
}

TEST_F(FolderGoesAway, MovedTheFinishedFilesGoWithItWhole) {
  const std::string moved = text::WithTrailingSeparator(out_ / "moved");
  const auto result = ExportAndAfterTwoRows([&] { fs::rename(Native(folder_), Native(moved)); });
  ASSERT_TRUE(result.error);
  ExpectWriteFailure(result.error->message, folder_ + "USER_00001_00002.pcx", ReasonFor(ENOENT));
  ExpectFirstTwoFiles(moved);
  EXPECT_EQ(out_.Entries(), std::vector<std::string>{"moved"});
  EXPECT_EQ(EntriesOf(moved), (std::vector<std::string>{"USER_00001_00000.pcx", "USER_00001_00001.pcx"}));
}

TEST(WriteFaults, ADirectoryInTheDefinitionTextsPlaceStopsBeforeTheBatch) {
  auto a = LoadArchive(FourSprites(10));
  TempDir out;
  fs::create_directory(Native(out / "USER_SFF.txt"));
  const auto error = exporter::MakeText(out / "USER_SFF.txt", "USER.sff", a->state, a->view.table, "C:");
  ASSERT_TRUE(error);
  EXPECT_EQ(error->path, out / "USER_SFF.txt");
  ExpectWriteFailure(error->message, out / "USER_SFF.txt", ReasonFor(EISDIR));
  EXPECT_EQ(out.Entries(), std::vector<std::string>{"USER_SFF.txt"});
  EXPECT_TRUE(fs::is_empty(Native(out / "USER_SFF.txt")));
}

TEST(WriteFaults, APathThroughARegularFileLeavesTheFileAlone) {
  auto a = LoadArchive(FourSprites(10));
  TempDir out;
  WriteBytes(out / "file", Payload(3, 7));
  const std::string textPath = out / "file" + text::kPathSeparator + "USER_SFF.txt";
  const auto error = exporter::MakeText(textPath, "USER.sff", a->state, a->view.table, "C:");
  ASSERT_TRUE(error);
  ExpectWriteFailure(error->message, textPath, ReasonFor(ENOTDIR));
  EXPECT_EQ(ReadBytes(out / "file"), Payload(3, 7));
  EXPECT_EQ(out.Entries(), std::vector<std::string>{"file"});
}

// ----- pelvaro-cli -------------------------------------------------------------------------------

// An error stream that runs an action the first time something is written to
// it. The command writes its first progress line after 256 rows, so this is
// a way into the middle of its export.
class ActOnFirstWrite : public std::stringbuf {
 public:
  explicit ActOnFirstWrite(std::function<void()> action) : action_(std::move(action)) {}

 protected:
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    Act();
    return std::stringbuf::xsputn(s, n);
  }
  int_type overflow(int_type c) override {
    Act();
    return std::stringbuf::overflow(c);
  }

 private:
  void Act() {
    if (!action_) return;
    auto action = std::move(action_);
    action_ = nullptr;
    action();
  }
  std::function<void()> action_;
};

struct CliRun {
  int code;
  std::string out;
  std::string err;
};

CliRun RunCli(const std::vector<std::string>& args, std::function<void()> onFirstDiagnostic = {}) {
  std::ostringstream out;
  ActOnFirstWrite errBuffer(std::move(onFirstDiagnostic));
  std::ostream err(&errBuffer);
  cli::Environment env;
  env.progressTerminal = true;
  env.programFolder = "C:";
  const int code = cli::Run(args, out, err, env);
  return {code, out.str(), errBuffer.str()};
}

class CliWriteFaults : public ::testing::Test {
 protected:
  std::string Archive(const Bytes& bytes) {
    WriteBytes(dir_ / "USER.sff", bytes);
    return dir_ / "USER.sff";
  }
  TempDir dir_;
};

TEST_F(CliWriteFaults, AFullDiskEndsPcxWithExitOneAndTheFileNamed) {
  const std::string archive = Archive(FourSprites(4 * kDiskCapacity));
  SmallDisk disk(kDiskCapacity);
  SKIP_WITHOUT_SMALL_DISK(disk);
  const auto r = RunCli({"pcx", archive, disk.path()});
  EXPECT_EQ(r.code, cli::kExitFailure);
  EXPECT_EQ(r.out, "");
  ExpectWriteFailure(r.err, disk / "USER_00001_00002.pcx", disk.Reason(), "\n");
  ExpectFirstTwoFiles(disk.path());
  EXPECT_EQ(disk.Entries(), (std::vector<std::string>{"USER_00001_00000.pcx", "USER_00001_00001.pcx"}));
}

TEST_F(CliWriteFaults, AFullDiskEndsTextWithNeitherFileWritten) {
  const std::string archive = Archive(ManySprites(600, 0));
  SmallDisk disk(16 * 1024);
  SKIP_WITHOUT_SMALL_DISK(disk);
  const auto r = RunCli({"text", archive, disk / "USER_SFF.txt"});
  EXPECT_EQ(r.code, cli::kExitFailure);
  EXPECT_EQ(r.out, "");
  ExpectWriteFailure(r.err, disk / "USER_SFF.txt", disk.Reason(), "\n");
  EXPECT_TRUE(disk.Entries().empty());
}

TEST_F(CliWriteFaults, AFolderMovedAwayDuringPcxKeepsTheFilesWrittenBefore) {
  const std::string archive = Archive(ManySprites(1000, 1));
  const std::string folder = dir_ / "pcx";
  const std::string moved = dir_ / "moved";
  const auto r = RunCli({"pcx", archive, folder}, [&] { fs::rename(Native(folder), Native(moved)); });
  EXPECT_EQ(r.code, cli::kExitFailure);
  EXPECT_EQ(r.out, "");
  // The progress line of row 256 moved the folder; row 257 is item 256.
  const std::string lastLine = r.err.substr(r.err.find("ファイルを書き込めません。"));
  ExpectWriteFailure(lastLine, folder + text::kPathSeparator + "USER_00001_00256.pcx", ReasonFor(ENOENT), "\n");
  EXPECT_FALSE(fs::exists(Native(folder)));
  const auto names = EntriesOf(moved);
  EXPECT_EQ(names.size(), 256u);
  ExpectNoTemporaryFile(names);
  EXPECT_EQ(ReadBytes(moved + text::kPathSeparator + "USER_00001_00255.pcx").size(), 4u + 768u);
}

TEST_F(CliWriteFaults, ADirectoryInAPcxFilesPlace) {
  const std::string archive = Archive(FourSprites(10));
  const std::string folder = text::WithTrailingSeparator(dir_ / "out");
  fs::create_directories(Native(folder + "USER_00001_00001.pcx"));
  const auto r = RunCli({"pcx", archive, folder});
  EXPECT_EQ(r.code, cli::kExitFailure);
  ExpectWriteFailure(r.err, folder + "USER_00001_00001.pcx", ReasonFor(EISDIR), "\n");
  EXPECT_EQ(ReadBytes(folder + "USER_00001_00000.pcx"), Payload(800, 1));
  EXPECT_EQ(EntriesOf(folder), (std::vector<std::string>{"USER_00001_00000.pcx", "USER_00001_00001.pcx"}));
}

TEST_F(CliWriteFaults, ADirectoryInTheDefinitionTextsPlace) {
  const std::string archive = Archive(FourSprites(10));
  fs::create_directory(Native(dir_ / "USER_SFF.txt"));
  const auto r = RunCli({"text", archive, dir_ / "USER_SFF.txt"});
  EXPECT_EQ(r.code, cli::kExitFailure);
  EXPECT_EQ(r.out, "");
  ExpectWriteFailure(r.err, dir_ / "USER_SFF.txt", ReasonFor(EISDIR), "\n");
  EXPECT_EQ(dir_.Entries(), (std::vector<std::string>{"USER.sff", "USER_SFF.txt"}));
}

}  // namespace
}  // namespace pelvaro::testing
