// What may stand where a file is written: the open archive never, under any name; special files are refused and
// left as they were (tests/posix/ has the special files, links and permission bits).

#include "export/atomic_file.h"
#include "export/definition_text.h"
#include "export/messages.h"
#include "export/pcx_export.h"
#include "tests/support/load_archive.h"
#include "tests/support/other_spellings.h"
#include "text/native_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

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
  for (auto& spelling : OtherSpellingsOf(a->dir.path(), "xBuild.bat")) names.push_back(std::move(spelling));
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
  if (ec) fs::create_symlink(Native(file), Native(out / "xBuild_00001_00001.pcx"), ec);
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

}  // namespace
}  // namespace pelvaro::testing
