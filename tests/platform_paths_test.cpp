// Paths as each platform writes them: the separator (with "/" accepted where a
// path is split), drive letters, Japanese names on their way to the file
// system, the program's own folder, and Windows' rules for replacing a file.
// On Windows the documented backslash examples are real paths here.

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
  EXPECT_EQ(text::kPathSeparator, '\\');
  EXPECT_EQ(text::GetFileName("C:\\sff\\USER.sff"), "USER.sff");
  EXPECT_EQ(text::GetFileName("C:\\sff/sub\\USER.sff"), "USER.sff");
  EXPECT_EQ(text::GetFileName("C:\\sff\\sub/USER.sff"), "USER.sff");
  EXPECT_EQ(text::GetFileName("C:\\out\\"), "");
  EXPECT_EQ(text::WithTrailingSeparator("C:\\out"), "C:\\out\\");
  EXPECT_EQ(text::WithTrailingSeparator("C:\\out\\"), "C:\\out\\");
#else
  EXPECT_EQ(text::kPathSeparator, '/');
  // A backslash is an ordinary character of a Linux file name.
  EXPECT_EQ(text::GetFileName("C:\\sff\\USER.sff"), "C:\\sff\\USER.sff");
  EXPECT_EQ(text::WithTrailingSeparator("C:\\out"), "C:\\out/");
#endif
}

TEST(RealPaths, ExportAndMakeTextUnderJapaneseNames) {
  auto a = LoadArchive(SffBuilder()
                           .Add({.group = 0, .item = 0, .palFlag = 0, .payload = Payload(800, 0)})
                           .Add({.group = 0, .item = 1, .palFlag = 1, .payload = Payload(9, 1)})
                           .Build(),
                       "テスト①.sff");
  ASSERT_TRUE(a->loaded());
#ifdef _WIN32
  // The system's temporary folder: a drive-letter path such as C:\users\...\Temp\.
  EXPECT_TRUE(IsDriveLetterPath(a->dir.path())) << a->dir.path();
#endif
  TempDir out;
  const std::string folder = out / "出力 ～髙" + kSep;
  fs::create_directory(Native(folder));

  ASSERT_TRUE(exporter::ExportAllPcx(folder, *a->archive));
  ASSERT_TRUE(exporter::MakeText(folder + "テスト①_SFF.txt", *a->archive, "C:" + kSep + "Tools"));
  EXPECT_EQ(EntriesOf(folder), (std::vector<std::string>{"テスト①_00000_00000.pcx", "テスト①_00000_00001.pcx",
                                                         "テスト①_SFF.txt", "テスト①_SFFBuild.bat"}));
  EXPECT_EQ(ReadBytes(folder + "テスト①_00000_00000.pcx"), Payload(800, 0));
  const Bytes definition = ReadBytes(folder + "テスト①_SFF.txt");
  EXPECT_NE(std::string(definition.begin(), definition.end()).find("\x83\x65\x83\x58\x83\x67\x87\x40.sff\r\n"),
            std::string::npos);
#ifdef _WIN32
  // Windows finds the files under their UTF-16 names...
  EXPECT_NE(GetFileAttributesW((Native(folder) / L"\u30C6\u30B9\u30C8\u2460_SFF.txt").c_str()),
            INVALID_FILE_ATTRIBUTES);
  // ...and the same folder spelled with "/" is the same folder.
  std::string slashed = folder;
  std::replace(slashed.begin(), slashed.end(), '\\', '/');
  ASSERT_TRUE(exporter::ExportAllPcx(slashed, *a->archive));
  EXPECT_EQ(EntriesOf(folder).size(), 4u);
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
// Windows will not rename over a file that another program holds open without
// sharing it for deletion; the old file must stay whole and the message give
// the reason in the C library's words, as on Linux. (A read-only file is
// refused the same way on both: write_targets_test.cpp.)
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
