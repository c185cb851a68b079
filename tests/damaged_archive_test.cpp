// Damaged archives the loader takes without a refusal, because every range it
// derives still lies inside the file, and one it refuses before reading a byte.
// These are the corners the loader fuzzer keeps returning to; each is pinned
// down here with what the user gets from it.

#include "export/definition_text.h"
#include "export/pcx_export.h"
#include "sff/message_box.h"
#include "tests/support/load_archive.h"
#include "text/native_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace pelvaro::testing {
namespace {

using sff::LoadStatus;

// Every row exports without an error: the ranges of a loaded archive are all in the file.
exporter::PcxExportResult ExportAll(const LoadedArchive& a, const TempDir& out) {
  auto result = exporter::ExportAllPcx(out.path(), a.state, a.view.table);
  EXPECT_FALSE(result.error) << result.error->message;
  return result;
}

// Also how any looping chain ends: after as many subfiles as the image count.
TEST(DamagedArchive, ASubfileWhoseNextOffsetIsItselfRepeatsUntilTheImageCount) {
  SffBuilder b;
  b.ImageCount(4);
  b.Add({.group = 5, .palFlag = 1, .payload = Payload(200, 1), .next = 512});
  b.Add({.group = 6, .palFlag = 1, .payload = Payload(200, 2)});
  b.Add({.group = 7, .palFlag = 1, .payload = Payload(200, 3)});
  b.Add({.group = 8, .palFlag = 1, .payload = Payload(200, 4)});
  auto a = LoadArchive(b.Build());
  ASSERT_EQ(a->outcome.status, LoadStatus::kLoaded);
  for (int pos = 0; pos < 4; ++pos) {
    EXPECT_EQ(a->Record(pos).GroupNo, 5);
    EXPECT_LT(a->Record(pos).DataEnd, a->Record(pos).DataStart);  // next 512 lies before the payload
  }
  TempDir out;
  EXPECT_EQ(ExportAll(*a, out).written, 4);
  EXPECT_EQ(out.Entries(), std::vector<std::string>{"USER_00005_00000.pcx"});
}

TEST(DamagedArchive, LinksToThemselvesOrToSpritesTheChainNeverReached) {
  // Image count 4, the chain ends at position 1, so 2 and 3 are never reached.
  // Position 1 links to itself and keeps its own image; position 0 links to 3
  // and takes over that record's missing name, so its row is skipped.
  SffBuilder b;
  b.ImageCount(4);
  b.Add({.group = 1, .link = 3, .palFlag = 1, .payload = Payload(30, 1)});
  b.Add({.group = 2, .link = 1, .palFlag = 1, .payload = Payload(30, 2)});
  Bytes bytes = b.Build();
  bytes.resize(512 + 4 * 32 + 60, 0);  // room for four headers, as far as the count check goes
  auto a = LoadArchive(bytes);
  ASSERT_EQ(a->outcome.status, LoadStatus::kLoaded);
  EXPECT_EQ(a->Record(0).PcxName, "");
  EXPECT_EQ(a->Record(1).PcxName, "USER_00002_00000.pcx");
  EXPECT_EQ(a->Record(1).DataStart, static_cast<std::int32_t>(b.OffsetOf(1) + 32));
  TempDir out;
  const auto result = ExportAll(*a, out);
  EXPECT_EQ(result.written, 1);
  EXPECT_EQ(result.skipped, 3);
  EXPECT_EQ(exporter::SkippedRowsMessage(result.skipped), "PCX名のない 3 行は出力されませんでした。");
}

TEST(DamagedArchive, APaletteSourceWhoseNextOffsetPointsBackTakesThePaletteFromBeforeIt) {
  // 0: own payload of 1000 bytes (flag 1). 1: flag 0, next offset 1000, inside
  // the payload of 0, where the bytes read as a last subfile with flag 1. So 1
  // is the palette source: its palette is the 768 bytes before offset 1000, and
  // its own range is empty.
  Bytes first = Payload(1000, 0);
  std::fill(first.begin() + (1000 - 544), first.begin() + (1000 - 544) + 32, std::uint8_t{0});
  first[1000 - 544 + 18] = 1;
  SffBuilder b;
  b.Add({.group = 1, .palFlag = 1, .payload = first});
  b.Add({.group = 2, .palFlag = 0, .payload = Payload(10, 9), .next = 1000});
  const Bytes bytes = b.ImageCount(3).Build();
  auto a = LoadArchive(bytes);
  ASSERT_EQ(a->outcome.status, LoadStatus::kLoaded);
  EXPECT_TRUE(std::equal(a->state.SharedPal.begin(), a->state.SharedPal.end(), bytes.begin() + 1000 - 768));
  const auto& source = a->Record(1);
  EXPECT_EQ(source.PalFlag, 1);
  EXPECT_LT(source.DataEnd, source.DataStart);
  const auto pcx = exporter::PcxFileBytes(a->state, source);
  ASSERT_TRUE(pcx);
  EXPECT_EQ(*pcx, std::string(bytes.begin() + 1000 - 768, bytes.begin() + 1000));
  TempDir out;
  EXPECT_EQ(ExportAll(*a, out).written, 3);
}

TEST(DamagedArchive, AFileOfTwoGigabytesIsRefusedBeforeItIsRead) {
  // A sparse file: its size is what counts, and nothing of it is read.
  TempDir dir;
  const std::string path = dir / "huge.sff";
  WriteBytes(path, {});
  std::error_code ec;
  std::filesystem::resize_file(std::filesystem::path(text::ToNativePath(path)), std::uintmax_t{1} << 31, ec);
  if (ec) GTEST_SKIP() << "no sparse file of 2 GiB here: " << ec.message();
  TestView view("huge.sff");
  sff::SffState state;
  const auto outcome = sff::LoadSff(path, state, view);
  EXPECT_EQ(outcome.status, LoadStatus::kRefused);
  EXPECT_EQ(outcome.fault, sff::LoadFault::kTooLarge);
  ASSERT_EQ(view.boxes.size(), 1u);
  EXPECT_EQ(view.boxes[0].style, mb::kStop);
  EXPECT_NE(view.boxes[0].text.find("ファイルが大きすぎます（2147483648 bytes）。2 GB 未満のファイルしか読み込めません。"),
            std::string::npos)
      << view.boxes[0].text;
  EXPECT_TRUE(state.SffBytes.empty());
}

}  // namespace
}  // namespace pelvaro::testing
