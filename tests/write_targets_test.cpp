// What may stand where a file is written: the open archive never, under any
// name; special files are refused and left as they were; links are followed and
// stay links; a replaced file keeps its permission bits and owner; a read-only
// file is refused alike everywhere. PCX files, the text and the batch file alike.

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

// The archive `name`, loaded from its file: rows 0/0 (the palette source) and 0/1.
std::unique_ptr<LoadedArchive> LoadTwoSprites(const std::string& name) {
  auto a = LoadArchive(SffBuilder()
                           .Add({.group = 0, .item = 0, .palFlag = 0, .payload = Payload(800, 1)})
                           .Add({.group = 0, .item = 1, .palFlag = 1, .payload = Payload(9, 2)})
                           .Build(),
                       name);
  EXPECT_TRUE(a->loaded() && a->archive->SourceFile().has_value());
  return a;
}

// The ways one file can be named besides its own path. Those the system here
// cannot make (a hard link on a file system without them) are left out.
std::vector<std::pair<std::string, std::string>> OtherNamesOf(const TempDir& dir, const std::string& name) {
  std::vector<std::pair<std::string, std::string>> names{
      {"its own path", dir / name},
      {"with \".\"", dir / "." + kSep + name},
  };
  std::error_code ec;
  fs::create_directory(Native(dir / "sub"), ec);
  names.push_back({"through \"..\"", dir / "sub" + kSep + ".." + kSep + name});
  fs::create_hard_link(Native(dir / name), Native(dir / "hard link.txt"), ec);
  if (!ec) names.push_back({"a hard link", dir / "hard link.txt"});
#ifdef _WIN32
  std::string upper = name;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  names.push_back({"in capitals", dir / upper});
  std::string slashed = dir / name;
  std::replace(slashed.begin(), slashed.end(), '\\', '/');
  names.push_back({"with slashes", slashed});
#else
  fs::create_symlink(name, Native(dir / "link.txt"));
  names.push_back({"a symbolic link", dir / "link.txt"});
  fs::create_directory_symlink(".", Native(dir / "folder link"));
  names.push_back({"through a linked folder", dir / "folder link" + kSep + name});
#endif
  return names;
}

TEST(OpenArchive, IsNeverReplacedUnderAnyName) {
  auto a = LoadTwoSprites("USER.sff");
  const Bytes original = ReadBytes(a->dir / "USER.sff");
  for (const auto& [what, path] : OtherNamesOf(a->dir, "USER.sff")) {
    const auto entries = a->dir.Entries();
    const auto written = exporter::WriteFileAtomic(path, "new", a->archive->SourceFile());
    ASSERT_FALSE(written) << what;
    EXPECT_EQ(exporter::DescribeWriteError(written.error()),
              (exporter::Lines{"ファイルを書き込めません。", path, "開いているSFFファイルそのものなので、上書きできません。"}))
        << what;
    // As the definition text: refused before the batch file is written too.
    const auto made = exporter::MakeText(path, *a->archive, "C:");
    ASSERT_FALSE(made) << what;
    EXPECT_EQ(std::get<exporter::WriteError>(made.error()).fault, Fault::kOpenArchive) << what;
    EXPECT_EQ(ReadBytes(a->dir / "USER.sff"), original) << what;
    EXPECT_EQ(a->dir.Entries(), entries) << what;
  }
}

// Make Text asks about both of its targets before it writes either: an
// archive named like the batch file is refused, and the text is not written.
TEST(OpenArchive, AsTheBatchFileNothingIsWritten) {
  auto a = LoadTwoSprites("xBuild.bat");
  const Bytes original = ReadBytes(a->dir / "xBuild.bat");
  const auto made = exporter::MakeText(a->dir / "x.txt", *a->archive, "C:");
  ASSERT_FALSE(made);
  const auto& error = std::get<exporter::WriteError>(made.error());
  EXPECT_EQ(error.fault, Fault::kOpenArchive);
  EXPECT_EQ(error.file, a->dir / "xBuild.bat");
  EXPECT_EQ(ReadBytes(a->dir / "xBuild.bat"), original);
  EXPECT_EQ(a->dir.Entries(), std::vector<std::string>{"xBuild.bat"});
}

// The archive linked into the export folder under the name of its second
// PCX file: the first is written, the export stops there.
TEST(OpenArchive, AsAPcxFileTheExportStopsThere) {
  auto a = LoadTwoSprites("USER.sff");
  const Bytes original = ReadBytes(a->dir / "USER.sff");
  TempDir out;
  std::error_code ec;
  fs::create_hard_link(Native(a->dir / "USER.sff"), Native(out / "USER_00000_00001.pcx"), ec);
#ifndef _WIN32
  if (ec) fs::create_symlink(Native(a->dir / "USER.sff"), Native(out / "USER_00000_00001.pcx"), ec);
#endif
  if (ec) GTEST_SKIP() << "no way to link a file here: " << ec.message();
  const auto result = exporter::ExportAllPcx(out.path(), *a->archive);
  ASSERT_FALSE(result);
  EXPECT_EQ(result.error().fault, Fault::kOpenArchive);
  EXPECT_EQ(result.error().file, out / "USER_00000_00001.pcx");
  EXPECT_EQ(ReadBytes(a->dir / "USER.sff"), original);
  EXPECT_EQ(out.Entries(), (std::vector<std::string>{"USER_00000_00000.pcx", "USER_00000_00001.pcx"}));
}

// A file nobody may write stays: Windows will not replace it, and Linux
// refuses it too, in the same words, even to root.
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
std::string LinkText(const std::string& path) { return fs::read_symlink(path).string(); }
mode_t TypeOf(const std::string& path) {
  struct stat status {};
  EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
  return status.st_mode & S_IFMT;
}
struct stat StatusOf(const std::string& path) {
  struct stat status {};
  EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
  return status;
}

TEST(Targets, SpecialFilesAreRefusedAndLeftAsTheyWere) {
  TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  // A character device takes root (and a system that lets it make one).
  const bool device = ::mknod((dir / "device").c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0;
  fs::create_directory(dir / "folder");
  fs::create_symlink("missing.txt", dir / "dangling");
  fs::create_symlink("fifo", dir / "link to fifo");
  fs::create_symlink("folder", dir / "link to folder");
  // The last reason of each refusal: a folder is one the system words.
  std::vector<std::pair<std::string, std::string>> cases{
      {"fifo", "通常のファイルではありません。"},   {"dangling", "通常のファイルではありません。"},
      {"link to fifo", "通常のファイルではありません。"}, {"folder", std::strerror(EISDIR)},
      {"link to folder", std::strerror(EISDIR)},      {"folder/", std::strerror(EISDIR)}};
  if (device) cases.push_back({"device", "通常のファイルではありません。"});
  const auto entries = dir.Entries();
  for (const auto& [name, reason] : cases) {
    const std::string path = dir / name;
    const mode_t type = TypeOf(path);
    const auto written = exporter::WriteFileAtomic(path, "new");
    ASSERT_FALSE(written) << name;
    EXPECT_EQ(exporter::DescribeWriteError(written.error()), (exporter::Lines{"ファイルを書き込めません。", path, reason}));
    EXPECT_EQ(TypeOf(path), type) << name;
    EXPECT_EQ(dir.Entries(), entries) << name;
  }
  EXPECT_EQ(LinkText(dir / "dangling"), "missing.txt");
  EXPECT_TRUE(fs::is_empty(dir / "folder"));
}

// The file a link names is replaced, in its own folder; the links stay links.
TEST(Targets, ALinkIsFollowedToTheFileItNames) {
  TempDir dir;
  fs::create_directory(dir / "a");
  fs::create_directory(dir / "b");
  WriteBytes(dir / "b/real.txt", Bytes{'o', 'l', 'd'});
  ASSERT_EQ(::chmod((dir / "b/real.txt").c_str(), 0640), 0);
  fs::create_symlink("../b/real.txt", dir / "a/link.txt");
  fs::create_symlink("link.txt", dir / "a/chain.txt");

  ASSERT_TRUE(exporter::WriteFileAtomic(dir / "a/chain.txt", "new"));
  ASSERT_TRUE(exporter::WriteFileAtomic(dir / "a/link.txt", "newer"));

  EXPECT_EQ(ReadBytes(dir / "b/real.txt"), (Bytes{'n', 'e', 'w', 'e', 'r'}));
  EXPECT_EQ(LinkText(dir / "a/chain.txt"), "link.txt");
  EXPECT_EQ(LinkText(dir / "a/link.txt"), "../b/real.txt");
  // No temporary file stays, in either folder; the bits are the file's, not the link's.
  EXPECT_EQ(EntriesOf(dir / "a"), (std::vector<std::string>{"chain.txt", "link.txt"}));
  EXPECT_EQ(EntriesOf(dir / "b"), std::vector<std::string>{"real.txt"});
  EXPECT_EQ(StatusOf(dir / "b/real.txt").st_mode & 07777, 0640u);
}

// Each file keeps its permission bits, whatever the umask would give a new
// one; root replacing another user's file gives it back to that user.
TEST(Targets, AReplacedFileKeepsItsPermissionBitsAndOwner) {
  TempDir dir;
  const bool root = ::geteuid() == 0;
  for (const mode_t mode : {0600, 0640, 0644, 0604, 0755, 0222, 0200}) {
    const std::string path = dir / ("mode" + std::to_string(mode));
    WriteBytes(path, Bytes{'o', 'l', 'd'});
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    if (root) {
      ASSERT_EQ(::chown(path.c_str(), 1234, 5678), 0);
    }
    ASSERT_TRUE(exporter::WriteFileAtomic(path, "new")) << std::oct << mode;
    const struct stat status = StatusOf(path);
    EXPECT_EQ(status.st_mode & 07777, mode) << std::oct << mode;
    if (root) {
      EXPECT_EQ(status.st_uid, 1234u);
      EXPECT_EQ(status.st_gid, 5678u);
    }
    EXPECT_EQ(status.st_size, 3);
  }
}
#endif

}  // namespace
}  // namespace pelvaro::testing
