// Paths on every platform: Japanese names and the program's own folder. What each platform adds, its
// separators, drive letters and rules for replacing a file, is in tests/posix/ and tests/win32/.

#include "export/atomic_file.h"
#include "export/definition_text.h"
#include "export/messages.h"
#include "export/pcx_export.h"
#include "tests/support/load_archive.h"
#include "text/native_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace pelvaro::testing {
namespace {

namespace fs = std::filesystem;

const std::string kSep(1, text::kPathSeparator);

fs::path Native(const std::string& path) { return fs::path(text::ToNativePath(path)); }

TEST(PathSplitting, TheSlashEverywhere) {
  EXPECT_EQ(text::GetFileName("C:/sff/USER.sff"), "USER.sff");
  EXPECT_EQ(text::WithTrailingSeparator("C:/out/"), "C:/out/");
}

TEST(RealPaths, ExportAndMakeTextUnderJapaneseNames) {
  auto a = LoadArchive(FourSprites(10), "テスト①.sff");
  ASSERT_TRUE(a->loaded());
  TempDir out;
  const std::string folder = out / "出力 ～髙" + kSep;
  fs::create_directory(Native(folder));
  ASSERT_TRUE(exporter::ExportAllPcx(folder, *a->archive));
  ASSERT_TRUE(exporter::MakeText(folder + "テスト①_SFF.txt", *a->archive, "C:" + kSep + "Tools"));
  EXPECT_EQ(EntriesOf(folder), (std::vector<std::string>{"テスト①_00001_00000.pcx", "テスト①_00001_00001.pcx",
                                                         "テスト①_00001_00002.pcx", "テスト①_00001_00003.pcx",
                                                         "テスト①_SFF.txt", "テスト①_SFFBuild.bat"}));
}

TEST(ProgramFolder, IsTheFolderOfTheRunningProgram) {
  const std::string folder = exporter::ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_TRUE(fs::is_regular_file(Native(folder + kSep + PELVARO_CORE_TESTS_FILE))) << folder;
}


}  // namespace
}  // namespace pelvaro::testing
