// What a load makes of an archive: the records, links, the shared palette and the rows in display order.

#include "tests/support/load_archive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

namespace pelvaro::testing {
namespace {

using sff::Column;
using Row = std::vector<std::string>;

// The extremes of every header field, as records and as rows.
TEST(Loader, RecordsAndRowsKeepEveryHeaderField) {
  Bytes bytes = SffBuilder()
                    .Add({.group = 0xFFFF, .item = 0xFFFF, .axisX = -1, .axisY = -32768, .palFlag = 0,
                          .payload = Payload(900, 0), .length = 0x7FFFFFFF})
                    .Add({.group = 0, .item = 1, .axisX = 32767, .palFlag = 1, .payload = Payload(40, 2)})
                    .Add({.group = 9000, .item = 0, .palFlag = 0, .payload = Payload(50, 3)})
                    .Build();
  PutI32(bytes, 24, 9999);  // the header's first-subfile offset is not followed
  auto a = LoadArchive(bytes);
  ASSERT_TRUE(a->loaded());
  EXPECT_EQ(a->questions, 0);
  ASSERT_EQ(a->archive->RowCount(), 3u);
  const auto& r = a->Record(0);
  EXPECT_EQ(std::tuple(r.GroupNo, r.ItemNo, r.AxisX, r.AxisY, r.NextPos), std::tuple(65535, 65535, -1, -32768, 1444));
  // Not the last subfile: its length field is not looked at. Trimmed: it is the palette source.
  EXPECT_EQ(r.DataEnd, 1444 - 1 - 768);
  EXPECT_EQ(a->Record(1).AxisX, 32767);
  EXPECT_EQ(a->Row(1), (Row{"01", "9000", "0", "0", " 0000000000", "2", "USER_09000_00000.pcx"}));
  EXPECT_EQ(a->Row(2), (Row{"02", "0", "1", "1", "00000000001", "1", "USER_00000_00001.pcx"}));
  EXPECT_EQ(a->Row(3), (Row{"03", "65535", "65535", "1", "06553565535", "0", "USER_65535_65535.pcx"}));
}

TEST(Loader, LastSubfilePayloadComesFromItsLengthClippedToTheFile) {
  auto lengthOf = [](std::int32_t length) {
    const Bytes bytes = SffBuilder().Add({.palFlag = 1, .payload = Payload(20, 0), .length = length}).Build();
    auto a = LoadArchive(bytes);
    EXPECT_TRUE(a->loaded());
    return a->Record(0).DataEnd - a->Record(0).DataStart + 1;
  };
  EXPECT_EQ(lengthOf(20), 20);
  EXPECT_EQ(lengthOf(7), 7);
  EXPECT_EQ(lengthOf(5000), 20);  // clipped to the end of the file
  EXPECT_EQ(lengthOf(-3), 0);     // a negative length counts as 0
}

TEST(Loader, LinksResolveInAscendingOrder) {
  // 1: link 0, own empty payload; 3 and 6 link to 2; 4 to an earlier linked record (gets what 3 got);
  // 5 to a later one (gets 6's own, unresolved values).
  SffBuilder b;
  b.Add({.group = 0, .item = 0, .palFlag = 0, .payload = Payload(1000, 0)});
  b.Add({.group = 0, .item = 1, .link = 0, .palFlag = 1, .payload = {}});
  b.Add({.group = 3, .item = 0, .palFlag = 1, .payload = Payload(30, 0)});
  b.Add({.group = 4, .item = 0, .link = 2, .palFlag = 1, .payload = {}});
  b.Add({.group = 5, .item = 0, .link = 3, .palFlag = 1, .payload = {}});
  b.Add({.group = 6, .item = 0, .link = 6, .palFlag = 1, .payload = Payload(3, 0)});
  b.Add({.group = 7, .item = 0, .link = 2, .palFlag = 1, .payload = Payload(9, 0)});
  auto a = LoadArchive(b.Build());
  ASSERT_TRUE(a->loaded());
  const auto& r2 = a->Record(2);
  EXPECT_EQ(a->Record(3).DataStart, r2.DataStart);
  EXPECT_EQ(a->NameOf(3), "USER_00003_00000.pcx");
  EXPECT_EQ(a->Record(4).DataStart, r2.DataStart);
  EXPECT_EQ(a->NameOf(4), "USER_00003_00000.pcx");
  EXPECT_EQ(a->Record(4).GroupNo, 5);  // keeps its own header values
  EXPECT_EQ(a->Record(5).DataStart, static_cast<std::int32_t>(b.OffsetOf(6) + 32));
  EXPECT_EQ(a->NameOf(5), "USER_00007_00000.pcx");
  EXPECT_EQ(a->Record(6).DataStart, r2.DataStart);
  EXPECT_EQ(a->Record(1).DataEnd, a->Record(1).DataStart - 1);
  EXPECT_EQ(a->NameOf(1), "USER_00000_00001.pcx");
}

TEST(Loader, ThePaletteSourceAndWhatItGives) {
  // Without an own-then-shared pair the first sprite is the source; one with under 768 bytes gives none.
  struct Case {
    std::vector<std::pair<std::uint8_t, std::size_t>> sprites;  // flag, payload size; group = position + 1
    int source;                                                  // chain position, -1: no palette
  };
  const Case cases[] = {
      {{{0, 800}, {0, 800}, {1, 10}, {0, 800}, {1, 10}}, 1},  // a later pair does not count
      {{{0, 800}, {1, 10}, {0, 800}, {1, 10}}, 0},            // nor when the first pair stands at 0 and 1
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
    ASSERT_TRUE(a->loaded());
    for (std::size_t i = 0; i < c.sprites.size(); ++i) {
      const sff::SpriteRecord& r = a->Record(static_cast<int>(i));
      const bool isSource = static_cast<int>(i) == c.source;
      EXPECT_EQ(r.PalFlag, isSource ? 1 : c.sprites[i].first) << "position " << i;
      const std::int64_t stored = static_cast<std::int64_t>(c.sprites[i].second) - (isSource ? 768 : 0);
      EXPECT_EQ(r.DataEnd - r.DataStart + 1, stored) << "position " << i;
    }
    Palette expected{};
    if (c.source >= 0) {
      const Bytes payload = Payload(c.sprites[static_cast<std::size_t>(c.source)].second,
                                    static_cast<std::uint8_t>(c.source));
      std::copy(payload.end() - 768, payload.end(), expected.begin());
    }
    EXPECT_EQ(a->archive->SharedPal(), expected);
  }
}

TEST(Loader, ALinkedPaletteSourceGivesThePaletteBeforeItsOwnNextOffset) {
  // 1 links to 3's image: the palette ends at 1's own next offset, not at the end of 3's payload.
  SffBuilder b;
  b.Add({.group = 1, .palFlag = 1, .payload = Payload(10, 0)});
  b.Add({.group = 2, .link = 3, .palFlag = 0, .payload = Payload(900, 50)});
  b.Add({.group = 3, .palFlag = 1, .payload = Payload(10, 0)});
  b.Add({.group = 4, .palFlag = 0, .payload = Payload(1000, 90)});
  const Bytes bytes = b.Build();
  auto a = LoadArchive(bytes);
  ASSERT_TRUE(a->loaded());
  const Bytes own = Payload(900, 50);
  EXPECT_TRUE(std::equal(own.end() - 768, own.end(), a->archive->SharedPal().begin()));
  EXPECT_EQ(a->Record(1).DataStart, a->Record(3).DataStart);
  EXPECT_EQ(a->Record(1).DataEnd, a->Record(3).DataEnd - 768);  // 3's range, trimmed as the source's
  EXPECT_EQ(a->Record(1).PalFlag, 1);
}

TEST(Loader, PortraitsComeFirstAndEveryFlagButOneSortsAsItsKeyText) {
  // 9000/2 is no portrait; a flag above 1 gives a key with a minus sign, after the portraits and before every digit.
  auto a = LoadArchive(SffBuilder()
                           .Add({.group = 9000, .item = 2, .palFlag = 1, .payload = Payload(4, 0)})
                           .Add({.group = 1, .palFlag = 0, .payload = Payload(800, 1)})
                           .Add({.group = 2, .palFlag = 0, .payload = Payload(800, 2)})
                           .Add({.group = 9000, .item = 1, .palFlag = 1})
                           .Add({.group = 3, .palFlag = 2})
                           .Add({.group = 9000, .item = 0, .palFlag = 0})
                           .Build());
  ASSERT_TRUE(a->loaded());
  std::vector<std::string> keys, positions;
  for (int row = 1; row <= 6; ++row) {
    keys.push_back(a->Cell(row, Column::kSortKey));
    positions.push_back(a->Cell(row, Column::kPPos));
  }
  EXPECT_EQ(keys, (Row{" 0000000000", " 0000000001", "-10000300000", "00000200000", "00900000002", "10000100000"}));
  EXPECT_EQ(positions, (Row{"5", "3", "4", "2", "0", "1"}));
}

// Equal keys stay in chain order, whether the loader sorts numbers (every flag 0 or 1) or the key texts.
// The archives: few numbers, so that many keys are equal; numbers over the whole range, so that every bit
// of a group and an item decides somewhere (the values next to powers of two among them); one sprite in a
// hundred whose group and flag differ from all the others'; flags above 1, whose keys are texts; and
// small groups and items, whose keys fit in fewer bits than the whole range needs (12 bits, 13, 24 and 25
// with the flag, on either side of a sorting pass's width).
TEST(Loader, DisplayOrderIsTheStableOrderOfTheKeyTexts) {
  enum Kind { kFewNumbers, kEveryNumber, kOneInAHundredDiffers, kSomeFlagsAboveOne, kSmallNumbers };
  struct Small {
    std::uint16_t groupsBelow;
    std::uint16_t itemsBelow;
  };
  const Small smallRanges[] = {{64, 16}, {128, 16}, {16, 64}, {2048, 2048}, {4096, 2048}, {2, 1}};
  const std::uint16_t edges[] = {0, 1, 255, 256, 4095, 4096, 9000, 32767, 32768, 65535};
  std::vector<std::pair<Kind, Small>> archives;
  for (const Kind kind : {kFewNumbers, kEveryNumber, kOneInAHundredDiffers, kSomeFlagsAboveOne})
    archives.emplace_back(kind, Small{});
  for (const Small& range : smallRanges) archives.emplace_back(kSmallNumbers, range);
  for (const auto& [kind, range] : archives) {
    SCOPED_TRACE(::testing::Message() << "kind " << kind << ", groups below " << range.groupsBelow << ", items below "
                                      << range.itemsBelow);
    std::mt19937 random(7 + kind + range.groupsBelow);
    const auto number = [&] {
      return static_cast<std::uint16_t>(random() % 2 ? random() : edges[random() % std::size(edges)]);
    };
    // The largest values of the range come first, so that every archive reaches them.
    const auto small = [&](int i, std::uint16_t below) {
      return static_cast<std::uint16_t>(i < 2 ? below - 1 : random() % below);
    };
    SffBuilder b;
    for (int i = 0; i < 3000; ++i) {
      SpriteSpec s;
      s.group =
          kind == kEveryNumber ? number() : static_cast<std::uint16_t>(random() % 3 == 0 ? 9000 : random() % 40 * 1000);
      s.item = kind == kEveryNumber ? number() : static_cast<std::uint16_t>(random() % 4);
      s.palFlag = static_cast<std::uint8_t>(kind == kSomeFlagsAboveOne ? random() % 13 : random() % 2);
      if (kind == kOneInAHundredDiffers) {
        const bool odd = i % 100 == 50;
        s.group = odd ? number() : 5;
        s.palFlag = odd ? 0 : 1;
      }
      if (kind == kSmallNumbers) {
        s.group = small(i, range.groupsBelow);
        s.item = small(i, range.itemsBelow);
        // Portraits (9000/0 and 9000/1) keep groups out of the key's bits.
        if (i % 500 == 7) s = SpriteSpec{.group = 9000, .item = static_cast<std::uint16_t>(i % 2), .palFlag = 1};
      }
      if (i > 0 && i % 9 == 0) s.link = static_cast<std::uint16_t>(random() % static_cast<unsigned>(i));
      b.Add(std::move(s));
    }
    auto a = LoadArchive(b.Build());
    ASSERT_TRUE(a->loaded());
    const auto& records = a->archive->SpriteInfo();
    std::vector<std::string> keys(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) sff::AppendSortKey(keys[i], records[i]);
    sff::RowOrder expected(records.size());
    std::iota(expected.begin(), expected.end(), 0u);
    std::stable_sort(expected.begin(), expected.end(), [&](auto x, auto y) { return keys[x] < keys[y]; });
    EXPECT_EQ(a->archive->DisplayOrder(), expected);
  }
  // The fewest sprites that can be out of order.
  auto two = LoadArchive(SffBuilder().Add({.group = 2}).Add({.group = 1}).Build());
  ASSERT_TRUE(two->loaded());
  EXPECT_EQ(two->archive->DisplayOrder(), (sff::RowOrder{1, 0}));
}

TEST(Loader, StemDropsFourCharactersNotBytes) {
  EXPECT_EQ(sff::StemOfArchiveName("テスト.ｓｆｆ"), "テスト");
  EXPECT_EQ(sff::StemOfArchiveName(".sff"), "");
  EXPECT_EQ(sff::StemOfArchiveName("ab"), "");
  EXPECT_EQ(LoadArchive(ManySprites(1, 1), "a.b.sff")->Cell(1, Column::kPcxName), "a.b_00001_00000.pcx");
}

// A damaged archive is refused only after the question, as a good one loads.
TEST(Loader, EveryPaletteTypeButOneAsksBeforeLoading) {
  for (const int type : {0, 2, 255}) {
    Bytes bytes = ManySprites(3, 1);
    bytes[32] = static_cast<std::uint8_t>(type);
    auto no = LoadArchive(bytes, "USER.sff", false);
    EXPECT_EQ(no->questions, 1) << type;
    ASSERT_FALSE(no->loaded());
    EXPECT_EQ(no->error->fault, sff::LoadFault::kDeclined);
    auto yes = LoadArchive(bytes, "USER.sff", true);
    EXPECT_EQ(yes->questions, 1);
    ASSERT_TRUE(yes->loaded());
    EXPECT_EQ(yes->archive->RowCount(), 3u);
    PutI32(bytes, 20, 0);
    auto damaged = LoadArchive(bytes, "USER.sff", true);
    EXPECT_EQ(damaged->questions, 1);
    EXPECT_EQ(damaged->error->fault, sff::LoadFault::kBadImageCount);
  }
}

}  // namespace
}  // namespace pelvaro::testing
