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
#include <variant>

namespace pelvaro::testing {
namespace {

namespace fs = std::filesystem;

fs::path Native(const std::string& path) { return fs::path(text::ToNativePath(path)); }

// `error` names `path` and gives the system's words for `code` (Windows words
// its own reasons, so there only the file is compared).
void ExpectFailureAt(const exporter::WriteError& error, const std::string& path, int code) {
  EXPECT_EQ(error.file, path);
#ifdef _WIN32
  (void)code;
#else
  EXPECT_EQ(error.reason, std::strerror(code));
#endif
}

// The files of the first two rows as they must stand after any fault in the third.
void ExpectFirstTwoFiles(const std::string& folder) {
  EXPECT_EQ(ReadBytes(folder + "USER_00001_00000.pcx"), Payload(800, 1));
  Bytes second = Payload(1000, 2);
  const Bytes source = Payload(800, 1);
  second.insert(second.end(), source.end() - 768, source.end());
  EXPECT_EQ(ReadBytes(folder + "USER_00001_00001.pcx"), second);
}

constexpr const char* kNoSmallDisk = "no way to make a small disk here (it takes root)";

TEST(WriteFaults, AFullDiskStopsThePcxExportAtTheFileThatDoesNotFit) {
  constexpr std::size_t kCapacity = 64 * 1024;
  auto a = LoadArchive(FourSprites(4 * kCapacity));
  ASSERT_TRUE(a->loaded());
  SmallDisk disk(kCapacity);
  if (!disk.available()) GTEST_SKIP() << kNoSmallDisk;
  // An older file under the name that does not fit must survive whole.
  WriteBytes(disk / "USER_00001_00002.pcx", Payload(50, 9));
  std::size_t done = 0;
  const auto result = exporter::ExportAllPcx(disk.path(), *a->archive, [&](std::size_t rows, std::size_t) { done = rows; });
  ASSERT_FALSE(result);
  EXPECT_EQ(done, 2u);
  ExpectFailureAt(result.error(), disk / "USER_00001_00002.pcx", ENOSPC);
  ExpectFirstTwoFiles(disk.path());
  EXPECT_EQ(ReadBytes(disk / "USER_00001_00002.pcx"), Payload(50, 9));
  EXPECT_EQ(EntriesOf(disk.path()),
            (std::vector<std::string>{"USER_00001_00000.pcx", "USER_00001_00001.pcx", "USER_00001_00002.pcx"}));
}

TEST(WriteFaults, AFullDiskStopsMakeTextBeforeEitherFileAppears) {
  auto a = LoadArchive(ManySprites(600, 0));
  ASSERT_TRUE(a->loaded());
  SmallDisk disk(16 * 1024);
  if (!disk.available()) GTEST_SKIP() << kNoSmallDisk;
  const auto made = exporter::MakeText(disk / "USER_SFF.txt", *a->archive, "C:");
  ASSERT_FALSE(made);
  ExpectFailureAt(std::get<exporter::WriteError>(made.error()), disk / "USER_SFF.txt", ENOSPC);
  EXPECT_TRUE(EntriesOf(disk.path()).empty());
}

// The folder is taken away after the second row: removed outright, or moved
// elsewhere as a file manager does. The third row's file is the one reported;
// nothing brings the folder back, not even for a temporary file, and a moved
// folder holds the finished files whole.
TEST(WriteFaults, AFolderTakenAwayDuringTheExportStopsItNamingTheNextFile) {
  auto a = LoadArchive(FourSprites(100));
  ASSERT_TRUE(a->loaded());
  for (const bool moved : {false, true}) {
    TempDir out;
    const std::string folder = text::WithTrailingSeparator(out / "pcx");
    const std::string elsewhere = text::WithTrailingSeparator(out / "moved");
    fs::create_directory(Native(folder));
    const auto result = exporter::ExportAllPcx(folder, *a->archive, [&](std::size_t done, std::size_t) {
      if (done != 2) return;
      if (moved) fs::rename(Native(folder), Native(elsewhere));
      else fs::remove_all(Native(folder));
    });
    ASSERT_FALSE(result) << moved;
    ExpectFailureAt(result.error(), folder + "USER_00001_00002.pcx", ENOENT);
    EXPECT_EQ(out.Entries(), moved ? std::vector<std::string>{"moved"} : std::vector<std::string>{});
    if (moved) {
      ExpectFirstTwoFiles(elsewhere);
      EXPECT_EQ(EntriesOf(elsewhere), (std::vector<std::string>{"USER_00001_00000.pcx", "USER_00001_00001.pcx"}));
    }
  }
}

TEST(WriteFaults, ADirectoryInTheDefinitionTextsPlaceStopsBeforeTheBatch) {
  auto a = LoadArchive(FourSprites(10));
  TempDir out;
  fs::create_directory(Native(out / "USER_SFF.txt"));
  const auto made = exporter::MakeText(out / "USER_SFF.txt", *a->archive, "C:");
  ASSERT_FALSE(made);
  ExpectFailureAt(std::get<exporter::WriteError>(made.error()), out / "USER_SFF.txt", EISDIR);
  EXPECT_EQ(out.Entries(), std::vector<std::string>{"USER_SFF.txt"});
  EXPECT_TRUE(fs::is_empty(Native(out / "USER_SFF.txt")));
}

}  // namespace
}  // namespace pelvaro::testing
