#include "sff/sprite_table.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace pelvaro::sff {
namespace {

std::vector<std::string> Column(const SpriteTable& t, int column) {
  std::vector<std::string> out;
  for (int k = 1; k <= t.Count(); ++k) out.emplace_back(t.Text(k, column));
  return out;
}

int AddRow(SpriteTable& t, const std::string& key, const std::string& tag) {
  const int h = t.Add();
  t.SetText(h, SpriteTable::kSortKey, key);
  t.SetText(h, SpriteTable::kPcxName, tag);
  return h;
}

TEST(SpriteTable, ReSortsWhenAKeyOrTheSettingsChange) {
  SpriteTable t;
  t.SetSortColumn(SpriteTable::kSortKey);
  t.SetSorted(true);
  const int a = AddRow(t, "2", "a");
  AddRow(t, "1", "b");
  EXPECT_EQ(t.Text(1, SpriteTable::kPcxName), "b");
  t.SetText(a, SpriteTable::kSortKey, "0");
  EXPECT_EQ(t.Text(1, SpriteTable::kPcxName), "a");
  t.SetSortAscending(false);
  EXPECT_EQ(t.Text(1, SpriteTable::kPcxName), "b");
  t.SetSortColumn(SpriteTable::kPcxName);
  EXPECT_EQ(Column(t, SpriteTable::kPcxName), (std::vector<std::string>{"b", "a"}));
}

TEST(SpriteTable, LongKeysPrefixesAndBothDirectionsMatchAStableSort) {
  // Keys from a few bytes (NUL, space, '-' and a byte above 0x7F among them,
  // as sort keys have) and of many lengths, so that keys share their first 16
  // bytes, end inside another's beginning, and repeat.
  const std::string alphabet("a0\0\xE9 -", 6);
  std::uint32_t seed = 12345;
  const auto next = [&] { return (seed = seed * 1103515245u + 12345u) >> 16; };
  std::vector<std::string> keys;
  for (int i = 0; i < 3000; ++i) {
    std::string key = i % 3 == 0 ? std::string(17, 'p') : std::string();
    for (auto n = next() % 20; n > 0; --n) key += alphabet[next() % alphabet.size()];
    keys.push_back(key);
  }
  for (const bool ascending : {true, false}) {
    SpriteTable t;
    t.SetSortColumn(SpriteTable::kSortKey);
    t.SetSortAscending(ascending);
    t.SetSorted(true);
    std::vector<int> expected;
    for (const auto& key : keys) expected.push_back(AddRow(t, key, ""));
    std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
      return ascending ? keys[a] < keys[b] : keys[b] < keys[a];
    });
    for (int k = 1; k <= t.Count(); ++k) {
      ASSERT_EQ(t.HandleAt(k), expected[k - 1]) << "position " << k;
      ASSERT_EQ(t.PositionOf(expected[k - 1]), k);
    }
  }
}

TEST(SpriteTable, TextsKeepTheirBytesWhateverIsWrittenOverThem) {
  SpriteTable t;
  const int a = AddRow(t, "key-a", "name-a");
  const int b = AddRow(t, "key-b", "name-b");
  t.SetText(a, SpriteTable::kPcxName, "n");                   // shorter: in place
  t.SetText(b, SpriteTable::kPcxName, "a much longer name");  // longer: moved
  t.SetText(a, SpriteTable::kSortKey, t.Text(2, SpriteTable::kPcxName));      // a text of the table itself
  t.SetText(b, SpriteTable::kSortKey, t.Text(2, SpriteTable::kPcxName).substr(2));
  const int c = t.Add({t.Text(1, SpriteTable::kSortKey), "", "", "", "", "", t.Text(2, SpriteTable::kPcxName)});
  EXPECT_EQ(Column(t, SpriteTable::kPcxName), (std::vector<std::string>{"n", "a much longer name", "a much longer name"}));
  EXPECT_EQ(Column(t, SpriteTable::kSortKey), (std::vector<std::string>{"a much longer name", "much longer name", ""}));
  EXPECT_EQ(t.Text(3, SpriteTable::kSortNo), "a much longer name");

  // Texts that keep growing leave old space behind, which is given back.
  std::string grown;
  for (int i = 0; i < 3000; ++i) {
    grown += "0123456789";
    t.SetText(c, SpriteTable::kItemNo, grown);
  }
  EXPECT_EQ(t.Text(3, SpriteTable::kItemNo), grown);
  EXPECT_EQ(Column(t, SpriteTable::kPcxName), (std::vector<std::string>{"n", "a much longer name", "a much longer name"}));

  // A text longer than a cell holds is refused, and nothing changes.
  const std::string tooLong(SpriteTable::kMaxTextBytes + 1, 'x');
  EXPECT_THROW(t.SetText(a, SpriteTable::kPcxName, tooLong), std::length_error);
  EXPECT_THROW(t.Add({tooLong}), std::length_error);
  EXPECT_EQ(t.Count(), 3);
  EXPECT_EQ(t.Text(1, SpriteTable::kPcxName), "n");
}

TEST(SpriteTable, AnOrderFromOutsideIsTakenOnlyWhenSortingWouldGiveIt) {
  const auto table = [] {
    SpriteTable t;
    t.SetSortColumn(SpriteTable::kSortKey);
    t.SetSorted(true);
    for (const char* key : {"b", "a", "b", "c"}) AddRow(t, key, key);
    return t;
  };
  const std::vector<int> sorted = {1, 0, 2, 3};
  for (const std::vector<int>& order : {std::vector<int>{1, 0, 2, 3},   // right
                                        std::vector<int>{1, 2, 0, 3},   // equal keys out of the order added
                                        std::vector<int>{0, 1, 2, 3},   // not in key order
                                        std::vector<int>{1, 0, 0, 3},   // a row twice
                                        std::vector<int>{1, 0, 2}}) {   // a row missing
    SpriteTable t = table();
    t.SetOrder(order);
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(t.HandleAt(k), sorted[static_cast<std::size_t>(k - 1)]);
  }
}

TEST(SpriteTable, UnsortedRowsStandAsAddedClearEmptiesAndBadPositionsAreRefused) {
  SpriteTable t;
  AddRow(t, "b", "1");
  AddRow(t, "a", "2");
  EXPECT_EQ(Column(t, SpriteTable::kPcxName), (std::vector<std::string>{"1", "2"}));
  t.Clear();
  EXPECT_EQ(t.Count(), 0);
  EXPECT_THROW(t.RowAt(1), std::out_of_range);
  EXPECT_THROW(t.RowAt(0), std::out_of_range);
  EXPECT_THROW(t.SetText(0, 1, "x"), std::out_of_range);
}

}  // namespace
}  // namespace pelvaro::sff
