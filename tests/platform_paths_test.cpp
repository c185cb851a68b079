// Paths as each platform writes them: separators, drive letters, Japanese names, the program's own folder, and
// Windows' rules for replacing a file.

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

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace pelvaro::testing {
namespace {

namespace fs = std::filesystem;

const std::string kSep(1, text::kPathSeparator);

fs::path Native(const std::string& path) { return fs::path(text::ToNativePath(path)); }

[[maybe_unused]] bool IsDriveLetterPath(const std::string& path) {
  return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' && path[2] == '\\';
}

TEST(PathSplitting, TheNativeSeparatorAndTheSlash) {
  EXPECT_EQ(text::GetFileName("C:/sff/USER.sff"), "USER.sff");
  EXPECT_EQ(text::WithTrailingSeparator("C:/out/"), "C:/out/");
#ifdef _WIN32
  EXPECT_EQ(text::GetFileName("C:\\sff\\USER.sff"), "USER.sff");
  EXPECT_EQ(text::GetFileName("C:\\sff/sub\\USER.sff"), "USER.sff");
  EXPECT_EQ(text::GetFileName("C:\\sff\\sub/USER.sff"), "USER.sff");
  EXPECT_EQ(text::GetFileName("C:\\out\\"), "");
  EXPECT_EQ(text::WithTrailingSeparator("C:\\out"), "C:\\out\\");
  EXPECT_EQ(text::WithTrailingSeparator("C:\\out\\"), "C:\\out\\");
#else
  // A backslash is an ordinary character of a Linux file name.
  EXPECT_EQ(text::GetFileName("C:\\sff\\USER.sff"), "C:\\sff\\USER.sff");
  EXPECT_EQ(text::WithTrailingSeparator("C:\\out"), "C:\\out/");
#endif
}

TEST(RealPaths, ExportAndMakeTextUnderJapaneseNames) {
  auto a = LoadArchive(FourSprites(10), "テスト①.sff");
  ASSERT_TRUE(a->loaded());
#ifdef _WIN32
  EXPECT_TRUE(IsDriveLetterPath(a->dir.path())) << a->dir.path();
#endif
  TempDir out;
  const std::string folder = out / "出力 ～髙" + kSep;
  fs::create_directory(Native(folder));
  ASSERT_TRUE(exporter::ExportAllPcx(folder, *a->archive));
  ASSERT_TRUE(exporter::MakeText(folder + "テスト①_SFF.txt", *a->archive, "C:" + kSep + "Tools"));
  EXPECT_EQ(EntriesOf(folder), (std::vector<std::string>{"テスト①_00001_00000.pcx", "テスト①_00001_00001.pcx",
                                                         "テスト①_00001_00002.pcx", "テスト①_00001_00003.pcx",
                                                         "テスト①_SFF.txt", "テスト①_SFFBuild.bat"}));
#ifdef _WIN32
  // Windows finds the files under their UTF-16 names, and the folder spelled with "/" is the same folder.
  EXPECT_NE(GetFileAttributesW((Native(folder) / L"\u30C6\u30B9\u30C8\u2460_SFF.txt").c_str()),
            INVALID_FILE_ATTRIBUTES);
  std::string slashed = folder;
  std::replace(slashed.begin(), slashed.end(), '\\', '/');
  ASSERT_TRUE(exporter::ExportAllPcx(slashed, *a->archive));
  EXPECT_EQ(EntriesOf(folder).size(), 6u);
#endif
}

TEST(ProgramFolder, IsTheFolderOfTheRunningProgram) {
  const std::string folder = exporter::ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_TRUE(fs::is_regular_file(Native(folder + kSep + PELVARO_CORE_TESTS_FILE))) << folder;
#ifdef _WIN32
  EXPECT_TRUE(IsDriveLetterPath(folder)) << folder;
  EXPECT_NE(folder.back(), '\\');
#endif
}

#ifdef _WIN32
// Windows will not rename over a file held open without sharing it for deletion: told in the C library's words.
TEST(WindowsReplace, AFileHeldOpenIsKept) {
  TempDir dir;
  const std::string path = dir / "USER_SFF.txt";
  WriteBytes(path, Bytes{'o', 'l', 'd'});
  const HANDLE held = CreateFileW(Native(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const auto whileHeld = exporter::WriteFileAtomic(path, "new");
  CloseHandle(held);
  ASSERT_FALSE(whileHeld);
  EXPECT_EQ(exporter::DescribeWriteError(whileHeld.error()),
            (exporter::Lines{"ファイルを書き込めません。", path, std::strerror(EACCES)}));
  EXPECT_EQ(ReadBytes(path), (Bytes{'o', 'l', 'd'}));
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"USER_SFF.txt"});

  ASSERT_TRUE(exporter::WriteFileAtomic(path, "new"));
  EXPECT_EQ(ReadBytes(path), (Bytes{'n', 'e', 'w'}));
}
#endif

}  // namespace
}  // namespace pelvaro::testing
