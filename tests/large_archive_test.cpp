// Large archives: loading a file walks its chain piece by piece while it is
// read and lists the records on a second thread, and a long definition text
// is made in two halves at once. Whatever path the work takes, the result must
// be the one an archive in memory gives, row for row and byte for byte.

#include "export/definition_text.h"
#include "sff/progress.h"
#include "tests/support/load_archive.h"
#include "tests/support/small_disk.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace pelvaro::testing {
namespace {

using sff::SpriteTable;

// `count` sprites of 100 to 160 payload bytes: more than 256 KiB from about
// 2,000 on, so a file of them is listed alongside its read. Groups and items
// repeat, so keys tie; one in seven links back, portraits 9000/0 and 9000/1
// sit in the middle, and `flagOf` gives each sprite's palette flag.
SffBuilder ManyKinds(int count, const std::function<std::uint8_t(int)>& flagOf) {
  SffBuilder b;
  std::uint32_t seed = 7;
  const auto next = [&] { return (seed = seed * 1103515245u + 12345u) >> 16; };
  for (int i = 0; i < count; ++i) {
    SpriteSpec s;
    s.group = static_cast<std::uint16_t>(next() % 40 * 25);
    s.item = static_cast<std::uint16_t>(next() % 30);
    s.axisX = static_cast<std::int16_t>(static_cast<int>(next() % 200) - 100);
    s.axisY = static_cast<std::int16_t>(next() % 300);
    s.palFlag = flagOf(i);
    if (i == count / 2 || i == count / 2 + 1) s.group = 9000, s.item = static_cast<std::uint16_t>(i - count / 2);
    if (i > 10 && i % 7 == 0) {
      s.link = static_cast<std::uint16_t>(next() % static_cast<unsigned>(i));
    } else {
      s.payload = Payload(100 + next() % 61, static_cast<std::uint8_t>(i));
    }
    b.Add(std::move(s));
  }
  return b;
}

// The walk and the lister hand counts to each other through Progress. Two
// threads that answer each other's every step, never spinning, go to sleep
// and are woken thousands of times: a wake-up that slips between a waiter's
// last look and its sleep leaves both waiting for ever (the run then ends at
// CTest's time limit instead of passing).
TEST(Progress, AWaiterThatGoesToSleepIsAlwaysWokenByTheNextStep) {
  constexpr std::uint64_t kSteps = 5'000;
  sff::Progress there(0);
  sff::Progress back(0);
  std::thread answerer([&] {
    for (std::uint64_t i = 1; i <= kSteps; ++i) {
      there.WaitFor(i);
      back.Publish(i, i == kSteps);
    }
  });
  for (std::uint64_t i = 1; i <= kSteps; ++i) {
    there.Publish(i, false);
    const sff::Progress::Seen seen = back.WaitFor(i);
    EXPECT_EQ(seen.count, i);
  }
  answerer.join();
  EXPECT_TRUE(back.WaitFor(kSteps + 1).ended);
}

std::uint8_t MostlyShared(int i) { return i == 0 || i % 97 == 5 ? 0 : 1; }

// Expects `bytes` loaded from memory to give what `fromFile` got from a file:
// the same outcome, records, palette and rows.
void ExpectSameAsInMemory(const LoadedArchive* fromFile, const Bytes& bytes) {
  sff::SffState state;
  TestView view("USER.sff");
  const sff::LoadOutcome fromMemory = sff::LoadSffFromBytes(std::span<const std::uint8_t>(bytes), state, view);

  EXPECT_EQ(fromFile->outcome.status, fromMemory.status);
  EXPECT_EQ(fromFile->outcome.fault, fromMemory.fault);
  EXPECT_EQ(fromFile->outcome.message, fromMemory.message);
  EXPECT_EQ(fromFile->outcome.position, fromMemory.position);
  EXPECT_EQ(fromFile->state.SharedPal, state.SharedPal);
  EXPECT_EQ(fromFile->view.imageText, view.imageText);
  EXPECT_EQ(fromFile->state.SpriteInfo.size(), state.SpriteInfo.size());
  for (std::size_t i = 0; i < std::min(state.SpriteInfo.size(), fromFile->state.SpriteInfo.size()); ++i) {
    const sff::SpriteRecord& a = fromFile->state.SpriteInfo[i];
    const sff::SpriteRecord& b = state.SpriteInfo[i];
    ASSERT_TRUE(a.GroupNo == b.GroupNo && a.ItemNo == b.ItemNo && a.PalFlag == b.PalFlag && a.LinkNo == b.LinkNo &&
                a.DataStart == b.DataStart && a.DataEnd == b.DataEnd && a.DataLen == b.DataLen &&
                a.NextPos == b.NextPos && a.AxisX == b.AxisX && a.AxisY == b.AxisY && a.PcxName == b.PcxName)
        << "record " << i;
  }
  EXPECT_EQ(fromFile->view.table.Count(), view.table.Count());
  for (int k = 1; k <= std::min(view.table.Count(), fromFile->view.table.Count()); ++k)
    for (int c = 0; c < SpriteTable::kColumnCount; ++c)
      ASSERT_EQ(fromFile->view.table.Text(k, c), view.table.Text(k, c)) << "row " << k << ", column " << c;
}

std::unique_ptr<LoadedArchive> ExpectFileLoadsAsMemory(const Bytes& bytes) {
  auto fromFile = LoadArchive(bytes);
  ExpectSameAsInMemory(fromFile.get(), bytes);
  return fromFile;
}

int PPosAt(const SpriteTable& t, int k) {
  const std::string_view text = t.Text(k, SpriteTable::kPPos);
  int pos = -1;
  std::from_chars(text.data(), text.data() + text.size(), pos);
  return pos;
}

// Rows stand in sort-key order, byte by byte, equal keys in chain order, and
// are numbered 1, 2, ... one digit wider than the row count has.
void ExpectOrderedAndNumbered(const SpriteTable& t) {
  const std::size_t width = std::to_string(t.Count()).size() + 1;
  for (int k = 1; k <= t.Count(); ++k) {
    std::string number = std::to_string(k);
    number.insert(0, width - number.size(), '0');
    ASSERT_EQ(t.Text(k, SpriteTable::kSortNo), number);
    if (k == 1) continue;
    const std::string_view before = t.Text(k - 1, SpriteTable::kSortKey);
    const std::string_view key = t.Text(k, SpriteTable::kSortKey);
    ASSERT_LE(before, key) << "row " << k;
    if (before == key) {
      ASSERT_LT(PPosAt(t, k - 1), PPosAt(t, k)) << "row " << k;
    }
  }
}

TEST(LargeArchive, AFileLoadsAsTheSameBytesInMemory) {
  // Mostly shared palettes; with flags 0 and 1 only, and with flags up to 5,
  // whose keys are ordered as texts instead.
  for (const auto& flagOf : {std::function<std::uint8_t(int)>(MostlyShared),
                            std::function<std::uint8_t(int)>([](int i) { return static_cast<std::uint8_t>(i % 6); })}) {
    auto a = ExpectFileLoadsAsMemory(ManyKinds(3000, flagOf).Build());
    ASSERT_EQ(a->outcome.status, sff::LoadStatus::kLoaded);
    ExpectOrderedAndNumbered(a->view.table);
  }
}

TEST(LargeArchive, DamageLateInTheChainIsFoundAsInMemory) {
  SffBuilder b = ManyKinds(3000, MostlyShared);
  Bytes base = b.Build();
  const auto header = [&](int i) { return static_cast<std::size_t>(b.OffsetOf(static_cast<std::size_t>(i))); };

  // The chain ends early: the rest are empty records with rows of their own.
  Bytes endsEarly = base;
  PutI32(endsEarly, header(2500), 0);
  auto a = ExpectFileLoadsAsMemory(endsEarly);
  ASSERT_EQ(a->outcome.status, sff::LoadStatus::kLoaded);
  EXPECT_EQ(a->Record(2999).PcxName, "");
  ExpectOrderedAndNumbered(a->view.table);

  // A link beyond the image count, a next offset past the end, a header that
  // would reach past it.
  Bytes badLink = base;
  PutU16(badLink, header(2800) + 16, 3000);
  Bytes nextPastEnd = base;
  PutI32(nextPastEnd, header(2900), static_cast<std::int32_t>(base.size()) + 1);
  Bytes headerPastEnd = base;
  PutI32(headerPastEnd, header(2950), static_cast<std::int32_t>(base.size()) - 10);
  for (const Bytes& bytes : {badLink, nextPastEnd, headerPastEnd}) {
    auto refused = ExpectFileLoadsAsMemory(bytes);
    EXPECT_EQ(refused->outcome.status, sff::LoadStatus::kRefused);
    EXPECT_GE(refused->outcome.position, 2800);
    EXPECT_EQ(refused->view.table.Count(), 0);
  }
}

// The definition text of a table long enough to be made in halves, read back:
// the rows must come in display order, each with its record's numbers.
TEST(LargeArchive, ALongDefinitionTextListsEveryRowInDisplayOrder) {
  SffBuilder b;
  for (int i = 0; i < 12000; ++i)
    b.Add({.group = static_cast<std::uint16_t>(i % 300), .item = static_cast<std::uint16_t>(i / 300),
           .axisX = static_cast<std::int16_t>(i % 17), .palFlag = 1, .payload = Payload(4, 0)});
  auto a = LoadArchive(b.Build());
  ASSERT_EQ(a->outcome.status, sff::LoadStatus::kLoaded);
  const SpriteTable& t = a->view.table;
  const auto text = exporter::SprTextBytes("USER.sff", a->state, t);
  ASSERT_TRUE(std::holds_alternative<std::string>(text));

  std::string expected = "#\r\n1\r\n2\r\nUSER.sff\r\n";
  for (int k = 1; k <= t.Count(); ++k) {
    const sff::SpriteRecord& r = a->Record(PPosAt(t, k));
    if (r.PalFlag == 0 || k < 4) expected += "#\r\n1\r\n1\r\n";
    expected += std::string(t.Text(k, SpriteTable::kPcxName)) + "\r\n";
    for (const int n : {r.GroupNo, r.ItemNo, r.AxisX, r.AxisY}) expected += std::to_string(n) + "\r\n";
  }
  expected += "\r\n";
  EXPECT_TRUE(std::get<std::string>(text) == expected);  // megabytes: no dump on failure

  // A fault in each half: the first in display order is the one reported.
  a->view.table.SetText(a->view.table.HandleAt(11000), SpriteTable::kPPos, "x");
  const auto late = exporter::SprTextBytes("USER.sff", a->state, t);
  ASSERT_TRUE(std::holds_alternative<exporter::ExportError>(late));
  EXPECT_EQ(std::get<exporter::ExportError>(late).message.substr(0, 6), "11000 ");
  a->view.table.SetText(a->view.table.HandleAt(20), SpriteTable::kPcxName, "\xF0\x9F\x98\x80.pcx");
  const auto early = exporter::SprTextBytes("USER.sff", a->state, t);
  ASSERT_TRUE(std::holds_alternative<exporter::ExportError>(early));
  EXPECT_NE(std::get<exporter::ExportError>(early).message.find("PCXファイル名"), std::string::npos);
}

TEST(LargeArchive, ADiskThatFillsMidwayThroughALongTextLeavesNoFile) {
  auto a = LoadArchive(ManySprites(30000, 1));  // a definition text of about 1 MiB
  ASSERT_EQ(a->outcome.status, sff::LoadStatus::kLoaded);
  SmallDisk disk(512 * 1024);
  if (!disk.available()) GTEST_SKIP() << "no small disk here";
  const auto error = exporter::WriteSprText(disk / "USER_SFF.txt", "USER.sff", a->state, a->view.table);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->path, disk / "USER_SFF.txt");
  EXPECT_TRUE(disk.Entries().empty());
}

}  // namespace
}  // namespace pelvaro::testing
