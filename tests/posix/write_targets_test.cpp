// What may stand where a file is written, as POSIX has it: special files are refused and left as they were;
// links are followed and stay links; a replaced file keeps its permission bits and owner.

#include "export/atomic_file.h"
#include "export/messages.h"
#include "tests/support/load_archive.h"
#include "text/native_path.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace pelvaro::testing {
namespace {

namespace fs = std::filesystem;

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
}  // namespace
}  // namespace pelvaro::testing
