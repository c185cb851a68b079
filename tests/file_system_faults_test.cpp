// Every write path under a file system that fails one call on demand. Whatever
// the fault, each export keeps four promises: the message names the file and
// the system's reason; the files written before it stay whole; no temporary
// file is left; a file that stood under the failing name is the old one.

#include "commands/viewed_sprite.h"
#include "export/definition_text.h"
#include "export/output_folder.h"
#include "export/pcx_export.h"
#include "export/png_export.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/load_archive.h"
#include "text/native_path.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <variant>

namespace pelvaro::testing {
namespace {

namespace fs = std::filesystem;

struct Fault {
  FsCall call;
  int code;
  const char* what;
};

// The calls of one file's write that can fail on every platform, with the
// faults a user meets there.
const Fault kFaults[] = {
    {FsCall::kInspectTarget, ENAMETOOLONG, "a name too long"},
    {FsCall::kCreateNew, EACCES, "permission refused on the temporary file"},
    {FsCall::kCreateUnnamed, ENOSPC, "no room for a new file"},
    {FsCall::kWrite, ENOSPC, "no space midway through the bytes"},
    {FsCall::kClose, EIO, "an I/O error on close"},
    {FsCall::kReplace, EACCES, "permission refused on rename"},
};

// Three decodable sprites 1/0, 1/1, 1/2 in display order.
Bytes ThreeImages() {
  const Palette palette = TestPalette(7);
  return SffBuilder()
      .Add({.group = 1, .item = 0, .palFlag = 0, .payload = MakePcx(4, 3, PatternPixels(4, 3, 1), &palette)})
      .Add({.group = 1, .item = 1, .palFlag = 1, .payload = MakePcx(5, 2, PatternPixels(5, 2, 2), nullptr)})
      .Add({.group = 1, .item = 2, .palFlag = 1, .payload = MakePcx(3, 3, PatternPixels(3, 3, 3), nullptr)})
      .Build();
}

using Export = std::function<Result<exporter::ExportSummary, exporter::WriteError>(
    const std::string& folder, const sff::Archive&, const exporter::ProgressFn&)>;

struct ExportKind {
  const char* name;
  const char* extension;
  Export run;
};

const std::size_t kFirstThree[] = {0, 1, 2};

const ExportKind kExports[] = {
    {"PCX, all rows", ".pcx",
     [](const std::string& f, const sff::Archive& a, const exporter::ProgressFn& p) {
       return exporter::ExportAllPcx(f, a, p);
     }},
    {"PCX, a selection", ".pcx",
     [](const std::string& f, const sff::Archive& a, const exporter::ProgressFn& p) {
       return exporter::ExportPcx(f, a, exporter::RowSelection::Only(kFirstThree), p);
     }},
    {"PNG, all rows", ".png",
     [](const std::string& f, const sff::Archive& a, const exporter::ProgressFn& p) {
       return exporter::ExportAllPng(f, a, p);
     }},
};

std::string NameOf(int item, const char* extension) { return "USER_00001_0000" + std::to_string(item) + extension; }

// The ways a new file is made: without a name where the file system makes
// such files, else under a temporary name renamed into place.
enum class NewFiles { kUnnamed, kTemporaryName };

// Whether the fault hits a call the third file's write never makes, so that
// the file is written. A new file in a folder of new names is linked without a
// look first and never renamed. Over an older file, the unnamed file whose
// link finds the name taken is dropped, so a failing close of it cannot
// matter, and the file is then made under a temporary name. Where unnamed
// files are refused, the first file learns so and no later file asks again.
bool CallNotMade(FsCall call, NewFiles newFiles, bool oldThird) {
  if (newFiles == NewFiles::kTemporaryName) return call == FsCall::kCreateUnnamed;
  if (oldThird) return call == FsCall::kClose;
  return call == FsCall::kInspectTarget || call == FsCall::kCreateNew || call == FsCall::kReplace;
}

// The third file fails; with `oldThird`, an older file stood under its name.
TEST(FileSystemFaults, AnExportStoppedByAnyFaultKeepsEveryPromise) {
  auto a = LoadArchive(ThreeImages());
  ASSERT_TRUE(a->loaded());
  // What the first two files hold, from a run without faults.
  TempDir clean;
  std::vector<NewFiles> ways{NewFiles::kTemporaryName};
  if (MakesUnnamedFilesIn(clean.path())) ways.push_back(NewFiles::kUnnamed);
  for (const ExportKind& kind : kExports) {
    const std::string reference = text::WithTrailingSeparator(clean / kind.name);
    ASSERT_TRUE(exporter::EnsureOutputFolder(reference));
    ASSERT_TRUE(kind.run(reference, *a->archive, {}));
    for (const NewFiles newFiles : ways)
      for (const Fault& fault : kFaults) {
        for (const bool oldThird : {false, true}) {
          SCOPED_TRACE(std::string(kind.name) + ", " + fault.what + (oldThird ? ", over an older file" : "") +
                       (newFiles == NewFiles::kUnnamed ? ", unnamed files" : ", temporary names"));
          TempDir out;
          const std::string third = out / NameOf(2, kind.extension);
          if (oldThird) WriteBytes(third, OldFile());
          FaultyFileSystem files;
          if (newFiles == NewFiles::kTemporaryName) files.RefuseUnnamedFiles();
          bool armed = false;
          const auto result = kind.run(out.path(), *a->archive, [&](std::size_t done, std::size_t) {
            if (done == 2 && !armed) files.FailAt(fault.call, files.CallsOf(fault.call) + 1, fault.code), armed = true;
            return true;
          });
          EXPECT_EQ(result.has_value(), CallNotMade(fault.call, newFiles, oldThird));
          std::vector<std::string> expected{NameOf(0, kind.extension), NameOf(1, kind.extension)};
          if (result) {
            EXPECT_EQ(ReadBytes(third), ReadBytes(reference + NameOf(2, kind.extension)));
            expected.push_back(NameOf(2, kind.extension));
            EXPECT_EQ(out.Entries(), expected);
            continue;
          }
          EXPECT_EQ(result.error().file, third);
          EXPECT_EQ(result.error().reason, std::strerror(fault.code));
          for (int item : {0, 1})
            EXPECT_EQ(ReadBytes(out / NameOf(item, kind.extension)),
                      ReadBytes(reference + NameOf(item, kind.extension)));
          if (oldThird) {
            EXPECT_EQ(ReadBytes(third), OldFile());
            expected.push_back(NameOf(2, kind.extension));
          }
          EXPECT_EQ(out.Entries(), expected);
        }
      }
  }
}

// Removed after the second file: nothing brings the folder back, and the
// third file is the one named.
TEST(FileSystemFaults, AFolderTakenAwayBetweenTwoFilesStopsTheExportAtTheNext) {
  auto a = LoadArchive(ThreeImages());
  ASSERT_TRUE(a->loaded());
  for (const ExportKind& kind : kExports) {
    SCOPED_TRACE(kind.name);
    TempDir out;
    const std::string folder = text::WithTrailingSeparator(out / "o");
    ASSERT_TRUE(exporter::EnsureOutputFolder(folder));
    FaultyFileSystem files;
    const auto result = kind.run(folder, *a->archive, [&](std::size_t done, std::size_t) {
      if (done == 2) fs::remove_all(fs::path(text::ToNativePath(folder)));
      return true;
    });
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().file, folder + NameOf(2, kind.extension));
    EXPECT_EQ(result.error().reason, std::strerror(ENOENT));
    EXPECT_TRUE(out.Entries().empty());
  }
}

TEST(FileSystemFaults, AnOutputFolderThatCannotBeMadeIsNamedWithTheReason) {
  TempDir out;
  FaultyFileSystem files;
  files.FailAt(FsCall::kMakeFolders, 1, EROFS);
  const auto made = exporter::EnsureOutputFolder(out / "new");
  ASSERT_FALSE(made);
  EXPECT_EQ(made.error().folder, out / "new");
  EXPECT_EQ(made.error().reason, std::strerror(EROFS));
  EXPECT_TRUE(out.Entries().empty());
}

// Make Text writes the text, then the batch file. A fault in the text leaves
// neither; a fault in the batch leaves the whole text and the old batch.
TEST(FileSystemFaults, MakeTextKeepsItsPromisesWhicheverFileFails) {
  auto a = LoadArchive(ManySprites(5, 0));
  ASSERT_TRUE(a->loaded());
  TempDir clean;
  ASSERT_TRUE(exporter::MakeText(clean / "USER_SFF.txt", *a->archive, "C:"));
  for (const Fault& fault : kFaults) {
    for (const int failing : {1, 2}) {
      SCOPED_TRACE(std::string(fault.what) + (failing == 1 ? ", the text" : ", the batch file"));
      TempDir out;
      WriteBytes(out / "USER_SFF.txt", OldFile());
      WriteBytes(out / "USER_SFFBuild.bat", OldFile());
      FaultyFileSystem files;
      // Both targets are asked about before anything is written, then each again as it is written.
      const int nth = fault.call == FsCall::kInspectTarget ? 2 + failing : failing;
      files.FailAt(fault.call, nth, fault.code);
      const auto made = exporter::MakeText(out / "USER_SFF.txt", *a->archive, "C:");
      const std::vector<std::string> both{"USER_SFF.txt", "USER_SFFBuild.bat"};
      EXPECT_EQ(out.Entries(), both);
      if (made) {
        // Over existing files no unnamed file is made.
        EXPECT_EQ(fault.call, FsCall::kCreateUnnamed);
        continue;
      }
      const auto* error = std::get_if<exporter::WriteError>(&made.error());
      ASSERT_NE(error, nullptr);
      EXPECT_EQ(error->file, out / (failing == 1 ? "USER_SFF.txt" : "USER_SFFBuild.bat"));
      EXPECT_EQ(error->reason, std::strerror(fault.code));
      EXPECT_EQ(ReadBytes(out / "USER_SFF.txt"), failing == 1 ? OldFile() : ReadBytes(clean / "USER_SFF.txt"));
      EXPECT_EQ(ReadBytes(out / "USER_SFFBuild.bat"), OldFile());
    }
  }
}

// A long text is written a piece at a time while the next is made: a write
// that fails, first, midway or last, ends the text there, with nothing
// written after it and the old text kept.
TEST(FileSystemFaults, ALongTextStopsAtTheFirstPieceThatCannotBeWritten) {
  auto a = LoadArchive(ManySprites(12000, 1));
  ASSERT_TRUE(a->loaded());
  TempDir clean;
  FaultyFileSystem counting;
  ASSERT_TRUE(exporter::WriteSprText(clean / "USER_SFF.txt", *a->archive));
  const int pieces = counting.CallsOf(FsCall::kWrite);
  ASSERT_GE(pieces, 4);
  // Each piece but the last is whole, so every write begins at a whole
  // multiple of a piece in the file: the file system takes those fastest.
  for (int piece = 0; piece + 1 < pieces; ++piece)
    EXPECT_EQ(counting.writeSizes[static_cast<std::size_t>(piece)], exporter::kTextPieceBytes) << "piece " << piece;
  for (const int failing : {1, 2, pieces}) {
    SCOPED_TRACE("piece " + std::to_string(failing) + " of " + std::to_string(pieces));
    TempDir out;
    WriteBytes(out / "USER_SFF.txt", OldFile());
    FaultyFileSystem files;
    files.FailAt(FsCall::kWrite, failing, ENOSPC);
    const auto written = exporter::WriteSprText(out / "USER_SFF.txt", *a->archive);
    ASSERT_FALSE(written);
    const auto* error = std::get_if<exporter::WriteError>(&written.error());
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->reason, std::strerror(ENOSPC));
    EXPECT_EQ(files.CallsOf(FsCall::kWrite), failing);
    EXPECT_EQ(ReadBytes(out / "USER_SFF.txt"), OldFile());
    EXPECT_EQ(out.Entries(), std::vector<std::string>{"USER_SFF.txt"});
  }
}

TEST(FileSystemFaults, TheViewersSaveAsPngKeepsTheOldFileOnAnyFault) {
  auto a = LoadArchive(ThreeImages());
  ASSERT_TRUE(a->loaded());
  const commands::ViewedSprite sprite = commands::ViewRow(*a->archive, 1);
  ASSERT_TRUE(sprite.image);
  TempDir clean;
  ASSERT_TRUE(commands::WriteSpritePng(clean / "s.png", sprite));
  for (const Fault& fault : kFaults) {
    for (const bool old : {false, true}) {
      SCOPED_TRACE(std::string(fault.what) + (old ? ", over an older file" : ""));
      TempDir out;
      if (old) WriteBytes(out / "s.png", OldFile());
      FaultyFileSystem files;
      files.FailAt(fault.call, 1, fault.code);
      const auto saved = commands::WriteSpritePng(out / "s.png", sprite);
      if (saved) {
        EXPECT_EQ(ReadBytes(out / "s.png"), ReadBytes(clean / "s.png"));
        EXPECT_EQ(out.Entries(), std::vector<std::string>{"s.png"});
        continue;
      }
      EXPECT_EQ(saved.error().file, out / "s.png");
      EXPECT_EQ(saved.error().reason, std::strerror(fault.code));
      if (old) {
        EXPECT_EQ(ReadBytes(out / "s.png"), OldFile());
      }
      EXPECT_EQ(out.Entries(), old ? std::vector<std::string>{"s.png"} : std::vector<std::string>{});
    }
  }
}

}  // namespace
}  // namespace pelvaro::testing
