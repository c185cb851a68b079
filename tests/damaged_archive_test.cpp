// Damaged archives loaded as their bytes say, every range inside the file: corners the fuzzer kept returning to.

#include "export/pcx_export.h"
#include "tests/support/load_archive.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace pelvaro::testing {
namespace {

// Every row exports without an error: the ranges of a loaded archive are all in the file.
exporter::ExportSummary ExportAll(const LoadedArchive& a, const TempDir& out) {
  auto result = exporter::ExportAllPcx(out.path(), *a.archive);
  EXPECT_TRUE(result);
  return result ? *result : exporter::ExportSummary{};
}

// Also how any looping chain ends: after as many subfiles as the image count.
TEST(DamagedArchive, ASubfileWhoseNextOffsetIsItselfRepeatsUntilTheImageCount) {
  SffBuilder b;
  b.ImageCount(4);
  b.Add({.group = 5, .palFlag = 1, .payload = Payload(200, 1), .next = 512});
  for (std::uint16_t g = 6; g <= 8; ++g) b.Add({.group = g, .palFlag = 1, .payload = Payload(200, 2)});
  auto a = LoadArchive(b.Build());
  ASSERT_TRUE(a->loaded());
  for (int pos = 0; pos < 4; ++pos) {
    EXPECT_EQ(a->Record(pos).GroupNo, 5);
    EXPECT_LT(a->Record(pos).DataEnd, a->Record(pos).DataStart);  // next 512 lies before the payload
  }
  TempDir out;
  EXPECT_EQ(ExportAll(*a, out).written, 4u);
  EXPECT_EQ(out.Entries(), std::vector<std::string>{"USER_00005_00000.pcx"});
}

// Image count 4, the chain ends at position 1 with next offset -1: 2 and 3 are
// empty rows without a name. 1 links to itself and keeps its own image; 0 links
// to 3 and takes over its missing name, so its row is skipped too.
TEST(DamagedArchive, AnEarlyChainEndAndLinksToItselfOrToSpritesNeverReached) {
  SffBuilder b;
  b.ImageCount(4);
  b.Add({.group = 1, .link = 3, .palFlag = 1, .payload = Payload(30, 1)});
  b.Add({.group = 2, .link = 1, .palFlag = 1, .payload = Payload(30, 2), .next = -1});
  Bytes bytes = b.Build();
  bytes.resize(512 + 4 * 32 + 60, 0);  // room for four headers, as far as the count check goes
  auto a = LoadArchive(bytes);
  ASSERT_TRUE(a->loaded());
  EXPECT_EQ(a->Row(3), (std::vector<std::string>{"03", "0", "0", "0", "10000000000", "2", ""}));
  EXPECT_EQ(a->Row(4), (std::vector<std::string>{"04", "0", "0", "0", "10000000000", "3", ""}));
  EXPECT_EQ(a->NameOf(0), "");
  EXPECT_EQ(a->NameOf(1), "USER_00002_00000.pcx");
  EXPECT_EQ(a->Record(1).DataStart, static_cast<std::int32_t>(b.OffsetOf(1) + 32));
  TempDir out;
  const auto result = ExportAll(*a, out);
  EXPECT_EQ(result.written, 1u);
  EXPECT_EQ(result.skipped, 3u);
}

// 0: own payload of 1000 bytes (flag 1). 1: flag 0, next offset 1000, inside the
// payload of 0, where the bytes read as a last subfile with flag 1. So 1 is the
// palette source: its palette is the 768 bytes before offset 1000, its own range empty.
TEST(DamagedArchive, APaletteSourceWhoseNextOffsetPointsBackTakesThePaletteFromBeforeIt) {
  Bytes first = Payload(1000, 0);
  std::fill(first.begin() + (1000 - 544), first.begin() + (1000 - 544) + 32, std::uint8_t{0});
  first[1000 - 544 + 18] = 1;
  SffBuilder b;
  b.Add({.group = 1, .palFlag = 1, .payload = first});
  b.Add({.group = 2, .palFlag = 0, .payload = Payload(10, 9), .next = 1000});
  const Bytes bytes = b.ImageCount(3).Build();
  auto a = LoadArchive(bytes);
  ASSERT_TRUE(a->loaded());
  const auto& palette = a->archive->SharedPal();
  EXPECT_TRUE(std::equal(palette.begin(), palette.end(), bytes.begin() + 1000 - 768));
  const auto& source = a->Record(1);
  EXPECT_EQ(source.PalFlag, 1);
  EXPECT_LT(source.DataEnd, source.DataStart);
  // An empty range with flag 1: the file is the shared palette alone.
  EXPECT_EQ(exporter::PcxFileBytes(*a->archive, source), std::string(bytes.begin() + 1000 - 768, bytes.begin() + 1000));
  TempDir out;
  EXPECT_EQ(ExportAll(*a, out).written, 3u);
}

// A header may count one record for every 32 bytes of the file, far above 32767:
// that is all the room a self-looping archive takes, and the records must stay
// small enough that memory never grows far past the file (bench/run measures it).
TEST(DamagedArchive, AFileOfSelfLoopingHeadersLoadsAsManyRecordsAsItHolds) {
  const int count = 40000;
  Bytes bytes = SffBuilder().ImageCount(count).Add({.group = 3, .palFlag = 1, .next = 512}).Build();
  bytes.resize(512 + static_cast<std::size_t>(count) * 32, 0);
  auto a = LoadArchive(bytes);
  ASSERT_TRUE(a->loaded());
  EXPECT_EQ(a->archive->RowCount(), static_cast<std::size_t>(count));
  EXPECT_EQ(a->Cell(count, sff::Column::kSortNo), "040000");
  EXPECT_LE(sizeof(sff::SpriteRecord) + sizeof(std::uint32_t), 40u);
}

}  // namespace
}  // namespace pelvaro::testing
