#include "export/pcx_export.h"
#include "tests/support/load_archive.h"

#include <gtest/gtest.h>

namespace pelvaro::testing {
namespace {

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// 0: 9/9 shared; 1: 0/0 own palette (the source: followed by a shared sprite); 2: 0/1 shared; 3: 0/2 flag 2;
// 4: 5/0 linked to 1; 5: 5/1 linked to 2; 6: 6/0 last subfile, shared. Link 0 means "own image".
TEST(PcxExport, WritesStoredBytesAndAppendsTheSharedPaletteForFlagOne) {
  const Palette palette = TestPalette(40);
  const Bytes pal(palette.begin(), palette.end()), first = Payload(7, 70), flag2 = Payload(33, 3);
  const Bytes source = MakePcx(4, 3, PatternPixels(4, 3, 1), &palette);
  const Bytes shared = MakePcx(5, 2, PatternPixels(5, 2, 2), nullptr);
  const Bytes last = MakePcx(2, 2, PatternPixels(2, 2, 4), nullptr);
  auto a = LoadArchive(SffBuilder()
                           .Add({.group = 9, .item = 9, .palFlag = 1, .payload = first})
                           .Add({.group = 0, .item = 0, .palFlag = 0, .payload = source})
                           .Add({.group = 0, .item = 1, .palFlag = 1, .payload = shared})
                           .Add({.group = 0, .item = 2, .palFlag = 2, .payload = flag2})
                           .Add({.group = 5, .item = 0, .link = 1, .palFlag = 0})
                           .Add({.group = 5, .item = 1, .link = 2, .palFlag = 0, .payload = Payload(3, 9)})
                           .Add({.group = 6, .item = 0, .palFlag = 1, .payload = last})
                           .Build());
  ASSERT_TRUE(a->loaded());
  TempDir out;
  WriteBytes(out / "USER_00000_00002.pcx", Bytes(5000, 0xEE));  // replaced whole
  const auto result = exporter::ExportAllPcx(out.path(), *a->archive);
  ASSERT_TRUE(result) << result.error().reason;
  EXPECT_EQ(result->written, 7u);
  EXPECT_EQ(result->skipped, 0u);
  EXPECT_EQ(ReadBytes(out / "USER_00000_00000.pcx"), source);  // the palette source: its own palette at the end
  EXPECT_EQ(ReadBytes(out / "USER_00000_00002.pcx"), flag2);   // flag 2: nothing appended
  EXPECT_EQ(ReadBytes(out / "USER_00006_00000.pcx"), Concat(last, pal));
  EXPECT_EQ(ReadBytes(out / "USER_00009_00009.pcx"), Concat(first, pal));
  // Linked rows come last (flag 0) and rewrite the file they share a name with: 5/0 writes the untrimmed
  // source again; 5/1 links to 0/1 with flag 0, so 0/1's file ends without the palette.
  EXPECT_EQ(ReadBytes(out / "USER_00000_00001.pcx"), shared);
  // No temporary files are left and no other names appear.
  EXPECT_EQ(out.Entries(), (std::vector<std::string>{"USER_00000_00000.pcx", "USER_00000_00001.pcx",
                                                     "USER_00000_00002.pcx", "USER_00006_00000.pcx",
                                                     "USER_00009_00009.pcx"}));

  // A linked row with flag 1 appends the palette to the source's bytes; a range reaching outside the
  // archive is clipped to it, never read past it.
  sff::SpriteRecord record = a->Record(4);
  record.PalFlag = 1;
  const std::string bytes = exporter::PcxFileBytes(*a->archive, record);
  EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), Concat(source, pal));
  record.DataEnd = static_cast<std::int32_t>(a->archive->SffBytes().size()) + 100;
  EXPECT_EQ(exporter::PcxFileBytes(*a->archive, record).size(),
            a->archive->SffBytes().size() - static_cast<std::size_t>(record.DataStart) + 768);
}

}  // namespace
}  // namespace pelvaro::testing
