// Paths as Windows writes them: separators, drive letters, UTF-16 names, its code page and its rules for
// replacing a file.

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

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace pelvaro::testing {
namespace {

namespace fs = std::filesystem;

fs::path Native(const std::string& path) { return fs::path(text::ToNativePath(path)); }

bool IsDriveLetterPath(const std::string& path) {
  return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' && path[2] == '\\';
}

// A Wine without the Japanese locale would give code page 1252 and hide every fault of the ANSI paths.
TEST(Cp932, WindowsTestsRunUnderCodePage932) {
  EXPECT_EQ(GetACP(), 932u);
}

TEST(PathSplitting, TheBackslashAndTheSlashBothSeparate) {
  EXPECT_EQ(text::GetFileName("C:\\sff\\USER.sff"), "USER.sff");
  EXPECT_EQ(text::GetFileName("C:\\sff/sub\\USER.sff"), "USER.sff");
  EXPECT_EQ(text::GetFileName("C:\\sff\\sub/USER.sff"), "USER.sff");
  EXPECT_EQ(text::GetFileName("C:\\out\\"), "");
  EXPECT_EQ(text::WithTrailingSeparator("C:\\out"), "C:\\out\\");
  EXPECT_EQ(text::WithTrailingSeparator("C:\\out\\"), "C:\\out\\");
}

// Windows finds the files under their UTF-16 names, and the folder spelled with "/" is the same folder.
TEST(RealPaths, DriveLettersUtf16NamesAndSlashes) {
  auto a = LoadArchive(FourSprites(10), "テスト①.sff");
  ASSERT_TRUE(a->loaded());
  EXPECT_TRUE(IsDriveLetterPath(a->dir.path())) << a->dir.path();
  TempDir out;
  const std::string folder = out / "出力 ～髙\\";
  fs::create_directory(Native(folder));
  ASSERT_TRUE(exporter::MakeText(folder + "テスト①_SFF.txt", *a->archive, "C:\\Tools"));
  EXPECT_NE(GetFileAttributesW((Native(folder) / L"\u30C6\u30B9\u30C8\u2460_SFF.txt").c_str()),
            INVALID_FILE_ATTRIBUTES);
  std::string slashed = folder;
  std::replace(slashed.begin(), slashed.end(), '\\', '/');
  ASSERT_TRUE(exporter::ExportAllPcx(slashed, *a->archive));
  EXPECT_EQ(EntriesOf(folder).size(), 6u);
}

TEST(ProgramFolder, HasADriveLetterAndNoClosingSeparator) {
  const std::string folder = exporter::ProgramFolder();
  EXPECT_TRUE(IsDriveLetterPath(folder)) << folder;
  EXPECT_NE(folder.back(), '\\');
}

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

}  // namespace
}  // namespace pelvaro::testing
