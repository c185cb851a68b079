// Real write faults: whatever stops the work names the file and why, the files finished before stay whole, no
// temporary file is left and nothing half-written appears under a target's name.

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

// Windows words its own reasons, so there only the file is compared.
void ExpectFailureAt(const exporter::WriteError& error, const std::string& path, [[maybe_unused]] int code) {
  EXPECT_EQ(error.file, path);
#ifndef _WIN32
  EXPECT_EQ(error.reason, std::strerror(code));
#endif
}

// The files of the first two rows as they must stand after any fault in the third.
void ExpectFirstTwoFiles(const std::string& folder) {
  const Bytes source = Payload(800, 1);
  Bytes second = Payload(1000, 2);
  second.insert(second.end(), source.end() - 768, source.end());
  EXPECT_EQ(ReadBytes(folder + "USER_00001_00000.pcx"), source);
  EXPECT_EQ(ReadBytes(folder + "USER_00001_00001.pcx"), second);
}

// The PCX export, then Make Text with a text larger than the room left: neither of its files appears.
TEST(WriteFaults, AFullDiskStopsTheWorkAtTheFileThatDoesNotFit) {
  constexpr std::size_t kCapacity = 64 * 1024;
  auto a = LoadArchive(FourSprites(4 * kCapacity));
  auto many = LoadArchive(ManySprites(3000, 0));
  ASSERT_TRUE(a->loaded() && many->loaded());
  SmallDisk disk(kCapacity);
  if (!disk.available()) GTEST_SKIP() << "no way to make a small disk here (it takes root)";
  // An older file under the name that does not fit survives whole.
  WriteBytes(disk / "USER_00001_00002.pcx", Payload(50, 9));
  std::size_t done = 0;
  const auto result = exporter::ExportAllPcx(disk.path(), *a->archive, [&](std::size_t n, std::size_t) { return done = n, true; });
  ASSERT_FALSE(result);
  EXPECT_EQ(done, 2u);
  ExpectFailureAt(result.error(), disk / "USER_00001_00002.pcx", ENOSPC);
  ExpectFirstTwoFiles(disk.path());
  EXPECT_EQ(ReadBytes(disk / "USER_00001_00002.pcx"), Payload(50, 9));
  const std::vector<std::string> pcxFiles{"USER_00001_00000.pcx", "USER_00001_00001.pcx", "USER_00001_00002.pcx"};
  EXPECT_EQ(EntriesOf(disk.path()), pcxFiles);

  const auto made = exporter::MakeText(disk / "USER_SFF.txt", *many->archive, "C:");
  ASSERT_FALSE(made);
  ExpectFailureAt(std::get<exporter::WriteError>(made.error()), disk / "USER_SFF.txt", ENOSPC);
  EXPECT_EQ(EntriesOf(disk.path()), pcxFiles);
}

// Removed outright, or moved as a file manager does, after the second row: nothing brings the folder back.
TEST(WriteFaults, AFolderTakenAwayDuringTheExportStopsItNamingTheNextFile) {
  auto a = LoadArchive(FourSprites(100));
  ASSERT_TRUE(a->loaded());
  for (const bool moved : {false, true}) {
    TempDir out;
    const std::string folder = text::WithTrailingSeparator(out / "pcx");
    const std::string elsewhere = text::WithTrailingSeparator(out / "moved");
    fs::create_directory(Native(folder));
    const auto result = exporter::ExportAllPcx(folder, *a->archive, [&](std::size_t done, std::size_t) {
      if (done != 2) return true;
      if (moved) fs::rename(Native(folder), Native(elsewhere));
      else fs::remove_all(Native(folder));
      return true;
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

}  // namespace
}  // namespace pelvaro::testing
