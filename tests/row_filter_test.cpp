// The filter's syntax, and the rows it keeps: never reordered, never renumbered.

#include "commands/row_filter.h"
#include "tests/support/load_archive.h"
#include "tests/support/sff_builder.h"

#include <gtest/gtest.h>

using namespace pelvaro;
using namespace pelvaro::testing;
using commands::FilterTerm;
using Kind = commands::FilterTerm::Kind;

TEST(RowFilterSyntax, ReadsEachFormAndMarksWhatItCannotRead) {
  const auto f = commands::ParseRowFilter("  200 200,1\t5000-5999 5999-5000 LINKED bad ");
  EXPECT_TRUE(f.unreadable.empty());
  EXPECT_EQ(f.terms, (std::vector<FilterTerm>{{Kind::kGroups, 200, 200, 0},
                                              {Kind::kPair, 200, 200, 1},
                                              {Kind::kGroups, 5000, 5999, 0},
                                              {Kind::kGroups, 5000, 5999, 0},
                                              {Kind::kLinked, 0, 0, 0},
                                              {Kind::kBad, 0, 0, 0}}));
  EXPECT_TRUE(f.asksDecoding());

  //                                           0    5         15      23       32
  const auto bad = commands::ParseRowFilter("12x 65536 1,2,3 -5 200, ,7 linkd 7");
  EXPECT_EQ(bad.terms, (std::vector<FilterTerm>{{Kind::kGroups, 7, 7, 0}}));
  const std::vector<std::string> marked{"12x", "65536", "1,2,3", "-5", "200,", ",7", "linkd"};
  ASSERT_EQ(bad.unreadable.size(), marked.size());
  const std::string text = "12x 65536 1,2,3 -5 200, ,7 linkd 7";
  for (std::size_t i = 0; i < marked.size(); ++i) {
    const auto& span = bad.unreadable[i];
    EXPECT_EQ(text.substr(span.begin, span.end - span.begin), marked[i]);
  }
  EXPECT_TRUE(commands::ParseRowFilter("   ").empty());
  EXPECT_FALSE(commands::ParseRowFilter("1").asksDecoding());
}

// Rows in display order: 9000/0 heads the list, then 0/0, 0/1, 0/2 (linked to 0/1), 5/0 (a damaged image),
// 200/1 (linked to 0/1), 5000/2.
TEST(RowFilterRows, EveryTermMustHoldAndTheOrderStays) {
  const Palette palette = TestPalette(1);
  const Bytes image = MakePcx(2, 2, {1, 2, 3, 4}, &palette);
  Bytes broken = image;
  broken.resize(40);
  SffBuilder b;
  b.Add({.group = 0, .item = 0, .payload = image})
      .Add({.group = 0, .item = 1, .payload = image})
      .Add({.group = 0, .item = 2, .link = 1, .payload = {}})
      .Add({.group = 5, .item = 0, .payload = broken})
      .Add({.group = 200, .item = 1, .link = 1, .payload = {}})
      .Add({.group = 5000, .item = 2, .payload = image})
      .Add({.group = 9000, .item = 0, .payload = image});
  const auto loaded = LoadArchive(b.Build());
  ASSERT_TRUE(loaded->loaded());
  const sff::Archive& archive = *loaded->archive;
  ASSERT_EQ(archive.RowCount(), 7u);
  commands::DecodeVerdicts verdicts(archive);
  const auto rows = [&](std::string_view text) {
    return commands::FilterRows(archive, commands::ParseRowFilter(text), verdicts);
  };
  EXPECT_EQ(rows(""), (std::vector<std::size_t>{0, 1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(rows("0"), (std::vector<std::size_t>{1, 2, 3}));
  EXPECT_EQ(rows("0,1"), (std::vector<std::size_t>{2}));
  EXPECT_EQ(rows("1-5000"), (std::vector<std::size_t>{4, 5, 6}));
  EXPECT_EQ(rows("linked"), (std::vector<std::size_t>{3, 5}));
  EXPECT_EQ(rows("bad"), (std::vector<std::size_t>{4}));
  EXPECT_EQ(rows("0-200 linked"), (std::vector<std::size_t>{3, 5}));
  EXPECT_EQ(rows("0 9000"), (std::vector<std::size_t>{}));
  EXPECT_EQ(rows("9000 nonsense"), (std::vector<std::size_t>{0})) << "an unreadable term hides nothing";
}
