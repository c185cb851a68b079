// Real write faults: a full disk, a folder that goes away during an export, a
// directory where a file should go (a path through a regular file: cli_test.cpp).
// Whatever stops the work, the user is told which file and why, the files finished
// before stay as they are, no temporary file is left and nothing half-written
// appears under a target's name. (pelvaro-cli passes the same errors on: cli_test.cpp.)

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

// `error` says that `path` could not be written, and why.
void ExpectWriteFailure(const exporter::WriteError& error, const std::string& path,
                        const std::optional<std::string>& reason) {
  EXPECT_EQ(error.file, path);
  if (reason) {
    EXPECT_EQ(error.reason, *reason);
  }
}

void ExpectWriteFailure(const exporter::MakeTextError& error, const std::string& path,
                        const std::optional<std::string>& reason) {
  const auto* writeError = std::get_if<exporter::WriteError>(&error);
  ASSERT_NE(writeError, nullptr);
  ExpectWriteFailure(*writeError, path, reason);
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
  if (!(disk).available()) GTEST_SKIP() << "no way to make a small disk here (it takes root)"

TEST(WriteFaults, AFullDiskStopsThePcxExportAtTheFileThatDoesNotFit) {
  auto a = LoadArchive(FourSprites(4 * kDiskCapacity));
  ASSERT_TRUE(a->loaded());
  SmallDisk disk(kDiskCapacity);
  SKIP_WITHOUT_SMALL_DISK(disk);
  // An older file under the name that does not fit must survive whole.
  WriteBytes(disk / "USER_00001_00002.pcx", Payload(50, 9));

  std::size_t done = 0;
  const auto result = exporter::ExportAllPcx(disk.path(), *a->archive, [&](std::size_t rows, std::size_t) { done = rows; });

  ASSERT_FALSE(result);
  EXPECT_EQ(done, 2u);
  ExpectWriteFailure(result.error(), disk / "USER_00001_00002.pcx", ReasonFor(ENOSPC));
  ExpectFirstTwoFiles(disk.path());
  EXPECT_EQ(ReadBytes(disk / "USER_00001_00002.pcx"), Payload(50, 9));
  EXPECT_EQ(disk.Entries(),
            (std::vector<std::string>{"USER_00001_00000.pcx", "USER_00001_00001.pcx", "USER_00001_00002.pcx"}));

}

TEST(WriteFaults, AFullDiskStopsMakeTextBeforeEitherFileAppears) {
  auto a = LoadArchive(ManySprites(600, 0));
  ASSERT_TRUE(a->loaded());
  SmallDisk disk(16 * 1024);
  SKIP_WITHOUT_SMALL_DISK(disk);

  const auto made = exporter::MakeText(disk / "USER_SFF.txt", *a->archive, "C:");

  ASSERT_FALSE(made);
  ExpectWriteFailure(made.error(), disk / "USER_SFF.txt", ReasonFor(ENOSPC));
  EXPECT_TRUE(disk.Entries().empty());
}

// The folder is taken away after the second row: removed outright, or moved
// elsewhere as a file manager does. The third row's file is the one reported.
class FolderGoesAway : public ::testing::Test {
 protected:
  void SetUp() override {
    archive_ = LoadArchive(FourSprites(100));
    ASSERT_TRUE(archive_->loaded());
    folder_ = text::WithTrailingSeparator(out_ / "pcx");
    fs::create_directory(Native(folder_));
  }

  Result<exporter::PcxExportSummary, exporter::WriteError> ExportAndAfterTwoRows(const std::function<void()>& takeAway) {
    return exporter::ExportAllPcx(folder_, *archive_->archive, [&](std::size_t done, std::size_t) {
      if (done == 2) takeAway();
    });
  }

  std::unique_ptr<LoadedArchive> archive_;
  TempDir out_;
  std::string folder_;
};

TEST_F(FolderGoesAway, RemovedTheExportStopsNamingTheNextFile) {
  const auto result = ExportAndAfterTwoRows([&] { fs::remove_all(Native(folder_)); });
  ASSERT_FALSE(result);
  ExpectWriteFailure(result.error(), folder_ + "USER_00001_00002.pcx", ReasonFor(ENOENT));
  // Nothing brings the folder back, not even for a temporary file.
  EXPECT_FALSE(fs::exists(Native(folder_)));
}

TEST_F(FolderGoesAway, MovedTheFinishedFilesGoWithItWhole) {
  const std::string moved = text::WithTrailingSeparator(out_ / "moved");
  const auto result = ExportAndAfterTwoRows([&] { fs::rename(Native(folder_), Native(moved)); });
  ASSERT_FALSE(result);
  ExpectWriteFailure(result.error(), folder_ + "USER_00001_00002.pcx", ReasonFor(ENOENT));
  ExpectFirstTwoFiles(moved);
  EXPECT_EQ(out_.Entries(), std::vector<std::string>{"moved"});
  EXPECT_EQ(EntriesOf(moved), (std::vector<std::string>{"USER_00001_00000.pcx", "USER_00001_00001.pcx"}));
}

TEST(WriteFaults, ADirectoryInTheDefinitionTextsPlaceStopsBeforeTheBatch) {
  auto a = LoadArchive(FourSprites(10));
  TempDir out;
  fs::create_directory(Native(out / "USER_SFF.txt"));
  const auto made = exporter::MakeText(out / "USER_SFF.txt", *a->archive, "C:");
  ASSERT_FALSE(made);
  ExpectWriteFailure(made.error(), out / "USER_SFF.txt", ReasonFor(EISDIR));
  EXPECT_EQ(out.Entries(), std::vector<std::string>{"USER_SFF.txt"});
  EXPECT_TRUE(fs::is_empty(Native(out / "USER_SFF.txt")));
}

}  // namespace
}  // namespace pelvaro::testing
