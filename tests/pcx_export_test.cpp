#include "export/pcx_export.h"
#include "tests/support/load_archive.h"

#include <gtest/gtest.h>

namespace pelvaro::testing {
namespace {

using exporter::ExportAllPcx;

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class PcxExport : public ::testing::Test {
 protected:
  // 0: 9/9 shared; 1: 0/0 own palette (the source: followed by a shared sprite);
  // 2: 0/1 shared; 3: 0/2 flag 2; 4: 5/0 linked to 1; 5: 5/1 linked to 2;
  // 6: 6/0 last subfile, shared. A link cannot name position 0 (0 means "own image").
  void SetUp() override {
    const Palette pal = TestPalette(40);
    source_ = MakePcx(4, 3, PatternPixels(4, 3, 1), &pal);
    shared_ = MakePcx(5, 2, PatternPixels(5, 2, 2), nullptr);
    flag2_ = Payload(33, 3);
    last_ = MakePcx(2, 2, PatternPixels(2, 2, 4), nullptr);
    first_ = Payload(7, 70);
    archive_ = LoadArchive(SffBuilder()
                               .Add({.group = 9, .item = 9, .palFlag = 1, .payload = first_})
                               .Add({.group = 0, .item = 0, .palFlag = 0, .payload = source_})
                               .Add({.group = 0, .item = 1, .palFlag = 1, .payload = shared_})
                               .Add({.group = 0, .item = 2, .palFlag = 2, .payload = flag2_})
                               .Add({.group = 5, .item = 0, .link = 1, .palFlag = 0})
                               .Add({.group = 5, .item = 1, .link = 2, .palFlag = 0, .payload = Payload(3, 9)})
                               .Add({.group = 6, .item = 0, .palFlag = 1, .payload = last_})
                               .Build());
    ASSERT_TRUE(archive_->loaded());
    pal_ = Bytes(pal.begin(), pal.end());
  }

  Bytes first_, source_, shared_, flag2_, last_, pal_;
  std::unique_ptr<LoadedArchive> archive_;
  TempDir out_;
};

TEST_F(PcxExport, WritesStoredBytesAndAppendsTheSharedPaletteForFlagOne) {
  WriteBytes(out_ / "USER_00000_00002.pcx", Bytes(5000, 0xEE));  // replaced whole
  const auto result = ExportAllPcx(out_.path(), *archive_->archive);
  ASSERT_TRUE(result) << result.error().reason;
  EXPECT_EQ(result->written, 7u);
  EXPECT_EQ(result->skipped, 0u);
  // The palette source: byte-identical to its stored payload, its own palette at the end.
  EXPECT_EQ(ReadBytes(out_ / "USER_00000_00000.pcx"), source_);
  EXPECT_EQ(ReadBytes(out_ / "USER_00000_00002.pcx"), flag2_);  // flag 2: nothing appended
  EXPECT_EQ(ReadBytes(out_ / "USER_00006_00000.pcx"), Concat(last_, pal_));
  EXPECT_EQ(ReadBytes(out_ / "USER_00009_00009.pcx"), Concat(first_, pal_));
  // No temporary files are left and no other names appear.
  EXPECT_EQ(out_.Entries(), (std::vector<std::string>{"USER_00000_00000.pcx", "USER_00000_00001.pcx",
                                                      "USER_00000_00002.pcx", "USER_00006_00000.pcx",
                                                      "USER_00009_00009.pcx"}));
  // Linked rows come last (flag 0) and rewrite the file they share a name with:
  // 5/0 links to the untrimmed source, its payload again; 5/1 links to 0/1
  // with flag 0, so 0/1's file ends without the palette.
  EXPECT_EQ(ReadBytes(out_ / "USER_00000_00001.pcx"), shared_);
  // A folder without a separator at its end is joined to the names as it is.
  ASSERT_TRUE(ExportAllPcx(out_ / "x", *archive_->archive));
  EXPECT_EQ(ReadBytes(out_ / "xUSER_00000_00002.pcx"), flag2_);
}

TEST_F(PcxExport, ALinkedRowWithFlagOneAppendsThePaletteToTheSourcesBytes) {
  sff::SpriteRecord record = archive_->Record(4);  // links to the palette source
  record.PalFlag = 1;
  const std::string bytes = exporter::PcxFileBytes(*archive_->archive, record);
  EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), Concat(source_, pal_));
  // A range reaching outside the archive is clipped to it, never read past it.
  record.DataEnd = static_cast<std::int32_t>(archive_->archive->SffBytes().size()) + 100;
  EXPECT_EQ(exporter::PcxFileBytes(*archive_->archive, record).size(),
            archive_->archive->SffBytes().size() - static_cast<std::size_t>(record.DataStart) + 768);
}

}  // namespace
}  // namespace pelvaro::testing
