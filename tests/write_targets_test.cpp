// What may stand where a file is written: the open archive never, under any name; special files are refused and
// left as they were; links are followed and stay links; a replaced file keeps its permission bits and owner.

#include "export/atomic_file.h"
#include "export/definition_text.h"
#include "export/messages.h"
#include "export/pcx_export.h"
#include "tests/support/load_archive.h"
#include "text/native_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

namespace pelvaro::testing {
namespace {

namespace fs = std::filesystem;
using Fault = exporter::WriteError::Fault;

const std::string kSep(1, text::kPathSeparator);

fs::path Native(const std::string& path) { return fs::path(text::ToNativePath(path)); }

// The archive, loaded as xBuild.bat, under each name the system here can give it, as the batch file of x.txt
// (the text is not written either) and linked in as the second PCX file (the export stops there).
TEST(OpenArchive, IsNeverReplacedUnderAnyName) {
  auto a = LoadArchive(FourSprites(10), "xBuild.bat");
  const std::string file = a->dir / "xBuild.bat";
  const Bytes original = ReadBytes(file);
  fs::create_directory(Native(a->dir / "sub"));
  std::vector<std::pair<std::string, std::string>> names{
      {"its own path", file}, {"with \".\"", a->dir / "." + kSep + "xBuild.bat"},
      {"through \"..\"", a->dir / "sub" + kSep + ".." + kSep + "xBuild.bat"}};
  std::error_code ec;
  fs::create_hard_link(Native(file), Native(a->dir / "hard link.txt"), ec);
  if (!ec) names.push_back({"a hard link", a->dir / "hard link.txt"});
#ifdef _WIN32
  names.push_back({"in capitals", a->dir / "XBUILD.BAT"});
  std::string slashed = file;
  std::replace(slashed.begin(), slashed.end(), '\\', '/');
  names.push_back({"with slashes", slashed});
#else
  fs::create_symlink("xBuild.bat", Native(a->dir / "link.txt"));
  names.push_back({"a symbolic link", a->dir / "link.txt"});
  fs::create_directory_symlink(".", Native(a->dir / "folder link"));
  names.push_back({"through a linked folder", a->dir / "folder link" + kSep + "xBuild.bat"});
#endif
  const auto entries = a->dir.Entries();
  for (const auto& [what, path] : names) {
    const auto written = exporter::WriteFileAtomic(path, "new", a->archive->SourceFile());
    ASSERT_FALSE(written) << what;
    EXPECT_EQ(exporter::DescribeWriteError(written.error()),
              (exporter::Lines{"ファイルを書き込めません。", path, "開いているSFFファイルそのものなので、上書きできません。"}))
        << what;
  }
  const auto asBatch = exporter::MakeText(a->dir / "x.txt", *a->archive, "C:");
  ASSERT_FALSE(asBatch);
  EXPECT_EQ(std::get<exporter::WriteError>(asBatch.error()).fault, Fault::kOpenArchive);
  EXPECT_EQ(std::get<exporter::WriteError>(asBatch.error()).file, file);
  EXPECT_EQ(a->dir.Entries(), entries);

  TempDir out;
  fs::create_hard_link(Native(file), Native(out / "xBuild_00001_00001.pcx"), ec);
#ifndef _WIN32
  if (ec) fs::create_symlink(Native(file), Native(out / "xBuild_00001_00001.pcx"), ec);
#endif
  if (ec) GTEST_SKIP() << "no way to link a file here: " << ec.message();
  const auto result = exporter::ExportAllPcx(out.path(), *a->archive);
  ASSERT_FALSE(result);
  EXPECT_EQ(result.error().fault, Fault::kOpenArchive);
  EXPECT_EQ(result.error().file, out / "xBuild_00001_00001.pcx");
  EXPECT_EQ(out.Entries(), (std::vector<std::string>{"xBuild_00001_00000.pcx", "xBuild_00001_00001.pcx"}));
  EXPECT_EQ(ReadBytes(file), original);
}

// Windows will not replace a file nobody may write, and Linux refuses it too, in the same words, even to root.
TEST(Targets, AReadOnlyFileIsRefusedInTheSameWordsEverywhere) {
  TempDir dir;
  const std::string path = dir / "USER_SFF.txt";
  WriteBytes(path, Bytes{'o', 'l', 'd'});
  fs::permissions(Native(path), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const auto written = exporter::WriteFileAtomic(path, "new");
  fs::permissions(Native(path), fs::perms::owner_write, fs::perm_options::add);
  ASSERT_FALSE(written);
  EXPECT_EQ(exporter::DescribeWriteError(written.error()),
            (exporter::Lines{"ファイルを書き込めません。", path, std::strerror(EACCES)}));
  EXPECT_EQ(ReadBytes(path), (Bytes{'o', 'l', 'd'}));
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"USER_SFF.txt"});
}

#ifndef _WIN32
TEST(Targets, SpecialFilesAreRefusedAndLeftAsTheyWere) {
  TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  // A character device takes root (and a system that lets it make one).
  const bool device = ::mknod((dir / "device").c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0;
  fs::create_directory(dir / "folder");
  fs::create_symlink("missing.txt", dir / "dangling");
  fs::create_symlink("fifo", dir / "link to fifo");
  fs::create_symlink("folder", dir / "link to folder");
  const std::string special = "通常のファイルではありません。";
  std::vector<std::pair<std::string, std::string>> cases{
      {"fifo", special}, {"dangling", special}, {"link to fifo", special}, {"folder", std::strerror(EISDIR)},
      {"link to folder", std::strerror(EISDIR)}, {"folder/", std::strerror(EISDIR)}};
  if (device) cases.push_back({"device", special});
  const auto entries = dir.Entries();
  for (const auto& [name, reason] : cases) {
    const std::string path = dir / name;
    const fs::file_type type = fs::symlink_status(path).type();
    const auto written = exporter::WriteFileAtomic(path, "new");
    ASSERT_FALSE(written) << name;
    EXPECT_EQ(exporter::DescribeWriteError(written.error()), (exporter::Lines{"ファイルを書き込めません。", path, reason}));
    EXPECT_EQ(fs::symlink_status(path).type(), type) << name;
    EXPECT_EQ(dir.Entries(), entries) << name;
  }
  EXPECT_EQ(fs::read_symlink(dir / "dangling").string(), "missing.txt");
  EXPECT_TRUE(fs::is_empty(dir / "folder"));
}

// The file a chain of links names is replaced in its own folder, keeping its bits; the links stay links.
TEST(Targets, ALinkIsFollowedToTheFileItNames) {
  TempDir dir;
  fs::create_directory(dir / "a");
  fs::create_directory(dir / "b");
  WriteBytes(dir / "b/real.txt", Bytes{'o', 'l', 'd'});
  ASSERT_EQ(::chmod((dir / "b/real.txt").c_str(), 0640), 0);
  fs::create_symlink("../b/real.txt", dir / "a/link.txt");
  fs::create_symlink("link.txt", dir / "a/chain.txt");
  ASSERT_TRUE(exporter::WriteFileAtomic(dir / "a/chain.txt", "newer"));
  EXPECT_EQ(ReadBytes(dir / "b/real.txt"), (Bytes{'n', 'e', 'w', 'e', 'r'}));
  EXPECT_EQ(fs::read_symlink(dir / "a/chain.txt").string(), "link.txt");
  EXPECT_EQ(fs::read_symlink(dir / "a/link.txt").string(), "../b/real.txt");
  EXPECT_EQ(EntriesOf(dir / "a"), (std::vector<std::string>{"chain.txt", "link.txt"}));
  EXPECT_EQ(EntriesOf(dir / "b"), std::vector<std::string>{"real.txt"});
  EXPECT_EQ(fs::status(dir / "b/real.txt").permissions(), fs::perms(0640));
}

// Whatever the umask would give a new file; root replacing another user's file gives it back to that user.
TEST(Targets, AReplacedFileKeepsItsPermissionBitsAndOwner) {
  TempDir dir;
  const bool root = ::geteuid() == 0;
  for (const mode_t mode : {0600, 0640, 0644, 0604, 0755, 0222, 0200}) {
    const std::string path = dir / ("mode" + std::to_string(mode));
    WriteBytes(path, Bytes{'o', 'l', 'd'});
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    if (root) { ASSERT_EQ(::chown(path.c_str(), 1234, 5678), 0); }
    ASSERT_TRUE(exporter::WriteFileAtomic(path, "newer")) << std::oct << mode;
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, mode) << std::oct << mode;
    EXPECT_EQ(status.st_size, 5);
    if (root) { EXPECT_EQ(std::make_pair(status.st_uid, status.st_gid), std::make_pair(uid_t{1234}, gid_t{5678})); }
  }
}
#endif

}  // namespace
}  // namespace pelvaro::testing
