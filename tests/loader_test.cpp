#include "sff/message_box.h"
#include "tests/support/load_archive.h"

#include <gtest/gtest.h>

namespace pelvaro::testing {
namespace {

using sff::LoadStatus;
using sff::SpriteTable;
using Row = std::vector<std::string>;

Row RowAt(const LoadedArchive& a, int k) {
  Row row;
  for (int c = 0; c < SpriteTable::kColumnCount; ++c) row.push_back(a.Cell(k, c));
  return row;
}

// Three sprites: the palette source 0/0 (own palette), 0/1 using it, 9000/0 with its own.
Bytes ThreeSprites() {
  return SffBuilder()
      .Add({.group = 0, .item = 0, .palFlag = 0, .payload = Payload(800, 1)})
      .Add({.group = 0, .item = 1, .palFlag = 1, .payload = Payload(40, 2)})
      .Add({.group = 9000, .item = 0, .palFlag = 0, .payload = Payload(50, 3)})
      .Build();
}

TEST(Loader, ThreeSpriteArchiveGivesTheDocumentedRows) {
  Bytes bytes = ThreeSprites();
  PutI32(bytes, 24, 9999);  // the header's first-subfile offset is not followed
  auto a = LoadArchive(bytes);
  ASSERT_EQ(a->outcome.status, LoadStatus::kLoaded);
  EXPECT_EQ(a->view.imageText, "3");
  EXPECT_EQ(a->view.sffName, "USER.sff");
  EXPECT_EQ(a->state.SffBase, "USER");
  ASSERT_EQ(a->view.table.Count(), 3);
  EXPECT_EQ(RowAt(*a, 1), (Row{"01", "9000", "0", "0", " 0000000000", "2", "USER_09000_00000.pcx"}));
  EXPECT_EQ(RowAt(*a, 2), (Row{"02", "0", "0", "1", "00000000000", "0", "USER_00000_00000.pcx"}));
  EXPECT_EQ(RowAt(*a, 3), (Row{"03", "0", "1", "1", "00000000001", "1", "USER_00000_00001.pcx"}));
  EXPECT_TRUE(a->view.boxes.empty());
}

TEST(Loader, RecordsKeepEveryHeaderField) {
  const Bytes bytes = SffBuilder()
                          .Add({.group = 0xFFFF, .item = 0xFFFF, .axisX = -1, .axisY = -32768, .palFlag = 0,
                                .payload = Payload(900, 0), .length = 0x7FFFFFFF})
                          .Add({.group = 7, .item = 8, .axisX = 32767, .axisY = 5, .palFlag = 1, .payload = Payload(4, 0)})
                          .Build();
  auto a = LoadArchive(bytes);
  ASSERT_EQ(a->outcome.status, LoadStatus::kLoaded);
  const auto& r = a->Record(0);
  EXPECT_EQ(r.GroupNo, 65535);
  EXPECT_EQ(r.ItemNo, 65535);
  EXPECT_EQ(r.AxisX, -1);
  EXPECT_EQ(r.AxisY, -32768);
  EXPECT_EQ(r.NextPos, 512 + 32 + 900);
  EXPECT_EQ(r.NextBytes, (std::array<std::uint8_t, 4>{0x00, 0x00, 0x05, 0xA4}));
  EXPECT_EQ(r.LenBytes, (std::array<std::uint8_t, 4>{0x7F, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(r.DataLen, 0x7FFFFFFF - 768);  // trimmed: it is the palette source
  EXPECT_EQ(r.DataStart, 544);
  EXPECT_EQ(r.DataEnd, 512 + 32 + 900 - 1 - 768);
  EXPECT_EQ(r.PcxName, "USER_65535_65535.pcx");
  EXPECT_EQ(a->Record(1).AxisX, 32767);
  // Five-digit fields in the key as well.
  EXPECT_EQ(a->Cell(2, SpriteTable::kPPos), "0");
  EXPECT_EQ(a->Cell(2, SpriteTable::kSortKey), "06553565535");
}

TEST(Loader, ChainEndsAtANextOffsetBelowOne) {
  // Image count 6, the chain ends at position 3 with next offset -1 (FF FF FF FF).
  SffBuilder b;
  b.ImageCount(6);
  for (int i = 0; i < 4; ++i) b.Add({.group = 1, .item = static_cast<std::uint16_t>(i), .payload = Payload(10, 0)});
  Bytes bytes = b.Add({.group = 1, .item = 9, .payload = Payload(10, 0)}).Build();
  PutI32(bytes, static_cast<std::size_t>(b.OffsetOf(3)), -1);
  auto a = LoadArchive(bytes);
  ASSERT_EQ(a->outcome.status, LoadStatus::kLoaded);
  EXPECT_EQ(a->view.imageText, "6");
  ASSERT_EQ(a->view.table.Count(), 6);
  // Positions 4 and 5 were never reached: empty records, own P.Pos, no name.
  // Their key 10000000000 sorts first: no sprite here has room for a palette,
  // so every flag stays 0.
  for (int k : {1, 2}) {
    const Row row = RowAt(*a, k);
    EXPECT_EQ(row[1], "0");
    EXPECT_EQ(row[3], "0");
    EXPECT_EQ(row[4], "10000000000");
    EXPECT_EQ(row[6], "");
  }
  EXPECT_EQ(a->Cell(1, SpriteTable::kPPos), "4");
  EXPECT_EQ(a->Cell(2, SpriteTable::kPPos), "5");
  EXPECT_EQ(a->Record(4).DataEnd, 0);
  EXPECT_EQ(a->Record(4).PcxName, "");
  // The last subfile keeps the payload its length field counts.
  EXPECT_EQ(a->Record(3).DataEnd, a->Record(3).DataStart + 10 - 1);
}

TEST(Loader, LastSubfilePayloadComesFromItsLengthClippedToTheFile) {
  auto lengthOf = [](std::int32_t length) {
    const Bytes bytes = SffBuilder().Add({.palFlag = 1, .payload = Payload(20, 0), .length = length}).Build();
    auto a = LoadArchive(bytes);
    EXPECT_EQ(a->outcome.status, LoadStatus::kLoaded);
    return a->Record(0).DataEnd - a->Record(0).DataStart + 1;
  };
  EXPECT_EQ(lengthOf(20), 20);
  EXPECT_EQ(lengthOf(7), 7);
  EXPECT_EQ(lengthOf(5000), 20);  // clipped to the end of the file
  EXPECT_EQ(lengthOf(-3), 0);     // a negative length counts as 0
}

TEST(Loader, LinksResolveInAscendingOrder) {
  // 0: palette source; 1: links to 0 (untrimmed range); 2: own; 3: links to 2;
  // 4: links to 3, an earlier linked record (gets what 3 got); 5: links to 6, a later
  // linked record (gets 6's own, unresolved values); 6: links to 2.
  SffBuilder b;
  b.Add({.group = 0, .item = 0, .palFlag = 0, .payload = Payload(1000, 0)});
  b.Add({.group = 0, .item = 1, .link = 0, .palFlag = 1, .payload = {}});
  b.Add({.group = 3, .item = 0, .palFlag = 1, .payload = Payload(30, 0)});
  b.Add({.group = 4, .item = 0, .link = 2, .palFlag = 1, .payload = {}});
  b.Add({.group = 5, .item = 0, .link = 3, .palFlag = 1, .payload = {}});
  b.Add({.group = 6, .item = 0, .link = 6, .palFlag = 1, .payload = Payload(3, 0)});
  b.Add({.group = 7, .item = 0, .link = 2, .palFlag = 1, .payload = Payload(9, 0)});
  auto a = LoadArchive(b.Build());
  ASSERT_EQ(a->outcome.status, LoadStatus::kLoaded);
  const auto& r2 = a->Record(2);
  EXPECT_EQ(a->Record(3).DataStart, r2.DataStart);
  EXPECT_EQ(a->Record(3).PcxName, "USER_00003_00000.pcx");
  EXPECT_EQ(a->Record(4).DataStart, r2.DataStart);
  EXPECT_EQ(a->Record(4).PcxName, "USER_00003_00000.pcx");
  EXPECT_EQ(a->Record(4).GroupNo, 5);  // keeps its own header values
  const auto& r6 = a->Record(6);
  EXPECT_EQ(a->Record(5).DataStart, static_cast<std::int32_t>(b.OffsetOf(6) + 32));
  EXPECT_EQ(a->Record(5).PcxName, "USER_00007_00000.pcx");
  EXPECT_EQ(r6.DataStart, r2.DataStart);
  // The link field 0 of record 1 means it keeps its own (empty) payload.
  EXPECT_EQ(a->Record(1).DataEnd, a->Record(1).DataStart - 1);
  EXPECT_EQ(a->Record(1).PcxName, "USER_00000_00001.pcx");
}

TEST(Loader, ThePaletteSourceAndWhatItGives) {
  // The palette comes from the last 768 bytes of the first own-palette sprite
  // directly followed by a shared one; without such a pair, from the first
  // sprite; a source with fewer than 768 bytes before its end gives none.
  struct Case {
    std::vector<std::pair<std::uint8_t, std::size_t>> sprites;  // flag, payload size; group = position + 1
    int source;                                                  // chain position, -1: no palette
  };
  const Case cases[] = {
      {{{0, 800}, {0, 800}, {1, 10}, {0, 800}, {1, 10}}, 1},  // a later pair does not count
      {{{0, 800}, {0, 800}}, 0},
      {{{0, 1000}}, 0},  // the last subfile, its payload clipped by its length
      {{{0, 100}}, -1},  // 544 + 100 < 768
  };
  for (const Case& c : cases) {
    SffBuilder b;
    for (std::size_t i = 0; i < c.sprites.size(); ++i)
      b.Add({.group = static_cast<std::uint16_t>(i + 1), .palFlag = c.sprites[i].first,
             .payload = Payload(c.sprites[i].second, static_cast<std::uint8_t>(i))});
    auto a = LoadArchive(b.Build());
    ASSERT_EQ(a->outcome.status, LoadStatus::kLoaded);
    for (std::size_t i = 0; i < c.sprites.size(); ++i) {
      const sff::SpriteRecord& r = a->Record(static_cast<int>(i));
      const bool isSource = static_cast<int>(i) == c.source;
      EXPECT_EQ(r.PalFlag, isSource ? 1 : c.sprites[i].first) << "position " << i;
      const std::int64_t stored = static_cast<std::int64_t>(c.sprites[i].second) - (isSource ? 768 : 0);
      EXPECT_EQ(r.DataEnd - r.DataStart + 1, stored) << "position " << i;
    }
    std::array<std::uint8_t, 768> expected{};
    if (c.source >= 0) {
      const Bytes payload = Payload(c.sprites[static_cast<std::size_t>(c.source)].second,
                                    static_cast<std::uint8_t>(c.source));
      std::copy(payload.end() - 768, payload.end(), expected.begin());
    }
    EXPECT_EQ(a->state.SharedPal, expected);
  }
  // The source's row shows flag 1 and sorts with the shared sprites; a flag
  // above 1 gives a negative key prefix, which sorts first.
  auto a = LoadArchive(SffBuilder()
                           .Add({.group = 1, .palFlag = 0, .payload = Payload(800, 1)})
                           .Add({.group = 2, .palFlag = 0, .payload = Payload(800, 2)})
                           .Add({.group = 3, .palFlag = 2})
                           .Build());
  EXPECT_EQ(a->Cell(1, SpriteTable::kSortKey), "-10000300000");
  EXPECT_EQ(a->Cell(2, SpriteTable::kPalType), "1");
  EXPECT_EQ(a->Cell(2, SpriteTable::kSortKey), "00000100000");
  EXPECT_EQ(a->Cell(3, SpriteTable::kSortKey), "10000200000");
}

TEST(Loader, RowsAreNumberedOneDigitWiderThanTheCount) {
  for (auto [rows, first, last] : {std::tuple{9, "01", "09"}, std::tuple{10, "001", "010"}}) {
    SffBuilder b;
    for (int i = 0; i < rows; ++i) b.Add({.group = 1, .item = static_cast<std::uint16_t>(i), .palFlag = 1});
    auto a = LoadArchive(b.Build());
    ASSERT_EQ(a->outcome.status, LoadStatus::kLoaded);
    ASSERT_EQ(a->view.table.Count(), rows);
    EXPECT_EQ(a->Cell(1, SpriteTable::kSortNo), first);
    EXPECT_EQ(a->Cell(rows, SpriteTable::kSortNo), last);
  }
}

TEST(Loader, StemDropsFourCharactersNotBytes) {
  EXPECT_EQ(sff::StemOfArchiveName("テスト.ｓｆｆ"), "テスト");
  EXPECT_EQ(sff::StemOfArchiveName(".sff"), "");
  EXPECT_EQ(sff::StemOfArchiveName("ab"), "");
  auto a = LoadArchive(ThreeSprites(), "a.b.sff");
  EXPECT_EQ(a->Cell(2, SpriteTable::kPcxName), "a.b_00000_00000.pcx");
}

TEST(Loader, WarnsWhenNotInSharedPaletteMode) {
  Bytes bytes = ThreeSprites();
  bytes[32] = 0;
  auto no = LoadArchive(bytes, "USER.sff", {mb::kAnswerNo});
  EXPECT_EQ(no->outcome.status, LoadStatus::kDeclined);
  ASSERT_EQ(no->view.boxes.size(), 1u);
  EXPECT_EQ(no->view.boxes[0].style, 276);
  EXPECT_EQ(no->view.boxes[0].text,
            "このSFFファイルは共有パレットモードではありません。\r\nこのSFFを正しくデコードすることは出来ません。\r\n\r\n"
            "デコード結果から、正しくSFFを再構築出来る保証はありません。\r\n処理を続行しますか？");
  EXPECT_EQ(no->view.sffName, "");
  EXPECT_EQ(no->view.imageText, "");
  EXPECT_EQ(no->view.table.Count(), 0);
  EXPECT_EQ(no->state.SffBytes.size(), bytes.size());  // the file image is the new one
  EXPECT_EQ(no->state.SffBase, "USER");

  bytes[32] = 7;
  auto yes = LoadArchive(bytes, "USER.sff", {mb::kAnswerYes});
  EXPECT_EQ(yes->outcome.status, LoadStatus::kLoaded);
  EXPECT_EQ(yes->view.table.Count(), 3);
  EXPECT_EQ(yes->view.sffName, "USER.sff");
}

TEST(Loader, ALaterLoadReplacesTheFirstOrOnlyEmptiesTheTableWhenDeclined) {
  Session session;
  ASSERT_EQ(session.Load("USER.sff", ThreeSprites()).status, LoadStatus::kLoaded);
  const auto palette = session.state.SharedPal;
  const Bytes other = SffBuilder().PaletteType(0).Add({.group = 5, .payload = Payload(900, 77)}).Build();
  ASSERT_EQ(session.Load("OTHER.sff", other, {mb::kAnswerNo}).status, LoadStatus::kDeclined);
  EXPECT_EQ(session.state.SpriteInfo.size(), 3u);  // records and palette stay, no row refers to them
  EXPECT_EQ(session.state.SharedPal, palette);
  EXPECT_EQ(session.state.SffBase, "OTHER");
  EXPECT_EQ(session.view.table.Count(), 0);

  ASSERT_EQ(session.Load("ABC.sff", SffBuilder().Add({.group = 8, .palFlag = 1, .payload = Payload(3, 0)}).Build()).status,
            LoadStatus::kLoaded);
  EXPECT_EQ(session.view.table.Count(), 1);
  EXPECT_EQ(session.view.imageText, "1");
  EXPECT_EQ(session.view.table.Text(1, SpriteTable::kPcxName), "ABC_00008_00000.pcx");
  EXPECT_EQ(session.state.SpriteInfo.size(), 1u);
}

}  // namespace
}  // namespace pelvaro::testing
