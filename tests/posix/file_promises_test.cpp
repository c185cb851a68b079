// What POSIX lets a test see of a write in progress: the bits a new or a
// replacing file gets, that a new file has no name until it is whole, that a
// name appearing meanwhile is asked about as any target is, and that an
// archive turned into a FIFO is refused without a wait; how an export writes
// among older files.

#include "export/atomic_file.h"
#include "sff/load_sff.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/load_archive.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace pelvaro::testing {
namespace {

mode_t ModeOf(const std::string& path) {
  struct stat status {};
  EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
  return status.st_mode & 07777;
}

// The umask for as long as it lives.
class Umask {
 public:
  explicit Umask(mode_t mask) : previous_(::umask(mask)) {}
  ~Umask() { ::umask(previous_); }
  Umask(const Umask&) = delete;
  Umask& operator=(const Umask&) = delete;

 private:
  mode_t previous_;
};

TEST(FilePromises, ANewFileGetsWhatTheUmaskLeavesOf0666UnnamedOrNot) {
  for (const mode_t mask : {mode_t{022}, mode_t{027}, mode_t{0}}) {
    for (const bool unnamedRefused : {false, true}) {
      SCOPED_TRACE(std::to_string(mask) + (unnamedRefused ? ", no unnamed files" : ""));
      TempDir out;
      if (!unnamedRefused && !MakesUnnamedFilesIn(out.path())) continue;
      const Umask umask(mask);
      FaultyFileSystem files;
      if (unnamedRefused) files.RefuseUnnamedFiles();
      ASSERT_TRUE(exporter::WriteFileAtomic(out / "new.txt", "new"));
      EXPECT_EQ(ModeOf(out / "new.txt"), 0666 & ~mask);
      EXPECT_EQ(ReadBytes(out / "new.txt"), (Bytes{'n', 'e', 'w'}));
      EXPECT_EQ(out.Entries(), std::vector<std::string>{"new.txt"});
      // Where unnamed files are refused, the file is made under a temporary name.
      EXPECT_EQ(files.CallsOf(FsCall::kCreateNew), unnamedRefused ? 1 : 0);
    }
  }
}

TEST(FilePromises, AReplacedFileKeepsItsModeAndItsSuccessorIsNeverReadableByMore) {
  for (const mode_t mode : {mode_t{0600}, mode_t{0640}, mode_t{0604}, mode_t{0666}, mode_t{0200}}) {
    SCOPED_TRACE(std::to_string(mode));
    TempDir out;
    const Umask umask(0);
    const std::string target = out / "t.txt";
    WriteBytes(target, OldFile());
    ASSERT_EQ(::chmod(target.c_str(), mode), 0);
    FaultyFileSystem files;
    int looked = 0;
    files.before = [&](FsCall call, const std::string&) {
      if (call != FsCall::kWrite && call != FsCall::kClose && call != FsCall::kReplace) return;
      for (const std::string& name : out.Entries()) {
        if (name == "t.txt") continue;
        ++looked;
        EXPECT_EQ(ModeOf(out / name) & ~mode & 0777, 0u) << name << " while writing";
      }
    };
    ASSERT_TRUE(exporter::WriteFileAtomic(target, "new"));
    EXPECT_GT(looked, 0);
    EXPECT_EQ(ModeOf(target), mode);
    EXPECT_EQ(out.Entries(), std::vector<std::string>{"t.txt"});
  }
}

TEST(FilePromises, ANewFileHasNoNameUntilItIsWhole) {
  TempDir out;
  if (!MakesUnnamedFilesIn(out.path())) GTEST_SKIP() << "this file system has no unnamed files";
  FaultyFileSystem files;
  std::vector<std::string> finished;
  files.before = [&](FsCall call, const std::string&) {
    if (call == FsCall::kWrite || call == FsCall::kLinkUnnamed) {
      EXPECT_EQ(out.Entries(), finished);
    }
  };
  ASSERT_TRUE(exporter::WriteFileAtomic(out / "new.pcx", "whole"));
  finished = {"new.pcx"};
  EXPECT_EQ(out.Entries(), finished);
  // A link that fails leaves nothing, under any name.
  files.FailAt(FsCall::kLinkUnnamed, 2, EIO);
  const auto failed = exporter::WriteFileAtomic(out / "other.pcx", "whole");
  ASSERT_FALSE(failed);
  EXPECT_EQ(failed.error().file, out / "other.pcx");
  EXPECT_EQ(failed.error().reason, std::strerror(EIO));
  EXPECT_EQ(out.Entries(), std::vector<std::string>{"new.pcx"});
}

// Something takes the name between the check and the link: the link never
// replaces it; it is then asked about as any target.
TEST(FilePromises, ANameThatAppearsMeanwhileIsNeverOverwrittenByTheLink) {
  auto a = LoadArchive(FourSprites(10));
  ASSERT_TRUE(a->loaded());
  const std::string archive = a->dir / "USER.sff";
  const Bytes archiveBytes = ReadBytes(archive);
  enum What { kTheArchive, kReadOnly, kFifo, kPlainFile };
  for (const What what : {kTheArchive, kReadOnly, kFifo, kPlainFile}) {
    SCOPED_TRACE(what);
    TempDir out;
    if (!MakesUnnamedFilesIn(out.path())) GTEST_SKIP() << "this file system has no unnamed files";
    const std::string target = out / "x.pcx";
    FaultyFileSystem files;
    files.before = [&](FsCall call, const std::string&) {
      if (call != FsCall::kLinkUnnamed) return;
      if (what == kTheArchive) {
        ASSERT_EQ(::link(archive.c_str(), target.c_str()), 0);
      }
      if (what == kReadOnly || what == kPlainFile) {
        WriteBytes(target, OldFile());
        if (what == kReadOnly) ::chmod(target.c_str(), 0444);
      }
      if (what == kFifo) {
        ASSERT_EQ(::mkfifo(target.c_str(), 0600), 0);
      }
    };
    const auto written = exporter::WriteFileAtomic(target, "new", a->archive->SourceFile());
    EXPECT_EQ(out.Entries(), std::vector<std::string>{"x.pcx"});
    switch (what) {
      case kTheArchive:
        ASSERT_FALSE(written);
        EXPECT_EQ(written.error().fault, exporter::WriteError::Fault::kOpenArchive);
        EXPECT_EQ(ReadBytes(archive), archiveBytes);
        break;
      case kReadOnly:
        ASSERT_FALSE(written);
        EXPECT_EQ(written.error().reason, std::strerror(EACCES));
        EXPECT_EQ(ReadBytes(target), OldFile());
        break;
      case kFifo:
        ASSERT_FALSE(written);
        EXPECT_EQ(written.error().fault, exporter::WriteError::Fault::kNotRegularFile);
        break;
      case kPlainFile:
        // A file anyone could have replaced is replaced, whole, as a target that stood there from the start.
        ASSERT_TRUE(written);
        EXPECT_EQ(ReadBytes(target), (Bytes{'n', 'e', 'w'}));
        break;
    }
  }
}

// An export into a folder that holds some older files: the new names are
// linked without a look first, each older file is replaced whole and keeps
// its mode, the archive under another name stays, and nothing else is left.
TEST(FilePromises, AnExportAmongOlderFilesReplacesThemAndLinksTheNewOnes) {
  auto a = LoadArchive(FourSprites(10));
  ASSERT_TRUE(a->loaded());
  const std::string archive = a->dir / "USER.sff";
  const Bytes archiveBytes = ReadBytes(archive);
  TempDir out;
  if (!MakesUnnamedFilesIn(out.path())) GTEST_SKIP() << "this file system has no unnamed files";
  WriteBytes(out / "2.pcx", OldFile());
  WriteBytes(out / "3.pcx", OldFile());
  ASSERT_EQ(::chmod((out / "3.pcx").c_str(), 0640), 0);
  ASSERT_EQ(::link(archive.c_str(), (out / "6.pcx").c_str()), 0);
  FaultyFileSystem files;
  std::vector<std::string> lookedAt;
  files.before = [&](FsCall call, const std::string& path) {
    if (call == FsCall::kInspectTarget) lookedAt.push_back(path.substr(path.rfind('/') + 1));
  };
  exporter::AtomicFileWriter writer(a->archive->SourceFile());
  for (const char* name : {"1.pcx", "2.pcx", "3.pcx", "4.pcx", "5.pcx"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(writer.Write(out / name, name));
    EXPECT_EQ(ReadBytes(out / name), Bytes(name, name + 5));
  }
  const auto refused = writer.Write(out / "6.pcx", "6.pcx");
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error().fault, exporter::WriteError::Fault::kOpenArchive);
  EXPECT_EQ(ReadBytes(archive), archiveBytes);
  EXPECT_EQ(ModeOf(out / "3.pcx") & 0777, 0640u);
  // A taken name is looked at once its link fails; the name after an older
  // file is looked at first; the name after a new one is not.
  EXPECT_EQ(lookedAt, (std::vector<std::string>{"2.pcx", "3.pcx", "4.pcx", "6.pcx"}));
  EXPECT_EQ(out.Entries(), (std::vector<std::string>{"1.pcx", "2.pcx", "3.pcx", "4.pcx", "5.pcx", "6.pcx"}));
}

// Never waited on: a FIFO with no writer would hold a blocking open forever,
// and this test with it.
TEST(FilePromises, AnArchiveThatIsAFifoIsRefusedAtOnceEvenWhenSwappedInAfterTheCheck) {
  TempDir dir;
  const std::string path = dir / "a.sff";
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  const auto asFifo = sff::LoadSff(path, [] { return true; });
  ASSERT_FALSE(asFifo);
  EXPECT_EQ(asFifo.error().fault, sff::LoadFault::kNotRegularFile);

  const std::string swapped = dir / "b.sff";
  WriteBytes(swapped, FourSprites(10));
  FaultyFileSystem files;
  files.before = [&](FsCall call, const std::string&) {
    if (call != FsCall::kOpenForReading) return;
    ASSERT_EQ(::unlink(swapped.c_str()), 0);
    ASSERT_EQ(::mkfifo(swapped.c_str(), 0600), 0);
  };
  const auto afterCheck = sff::LoadSff(swapped, [] { return true; });
  EXPECT_EQ(files.CallsOf(FsCall::kInspectSource), 1);
  ASSERT_FALSE(afterCheck);
  EXPECT_EQ(afterCheck.error().fault, sff::LoadFault::kNotRegularFile);
  EXPECT_EQ(afterCheck.error().path, swapped);
}

}  // namespace
}  // namespace pelvaro::testing
