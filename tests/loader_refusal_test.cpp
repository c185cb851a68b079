#include "sff/message_box.h"
#include "tests/support/load_archive.h"

#include <gtest/gtest.h>

namespace pelvaro::testing {
namespace {

using sff::LoadFault;
using sff::LoadStatus;

Bytes Valid() {
  return SffBuilder()
      .Add({.group = 0, .item = 0, .palFlag = 0, .payload = Payload(800, 1)})
      .Add({.group = 0, .item = 1, .palFlag = 1, .payload = Payload(40, 2)})
      .Add({.group = 1, .item = 0, .link = 1, .palFlag = 1})
      .Build();
}

void ExpectRefused(const LoadedArchive& a, LoadFault fault, const std::string& fragment) {
  EXPECT_EQ(a.outcome.status, LoadStatus::kRefused);
  EXPECT_EQ(a.outcome.fault, fault);
  ASSERT_FALSE(a.view.boxes.empty());
  EXPECT_EQ(a.view.boxes.back().style, mb::kStop);
  EXPECT_NE(a.view.boxes.back().text.find(fragment), std::string::npos) << a.view.boxes.back().text;
  EXPECT_EQ(a.view.table.Count(), 0);
  EXPECT_EQ(a.view.sffName, "");
  EXPECT_EQ(a.view.imageText, "");
  EXPECT_TRUE(a.state.SpriteInfo.empty());
  EXPECT_TRUE(a.state.SffBytes.empty());
}

TEST(LoaderRefusal, FilesThatCannotBeRead) {
  TempDir dir;
  TestView view;
  sff::SffState state;
  auto missing = sff::LoadSff(dir / "missing.sff", state, view);
  EXPECT_EQ(missing.fault, LoadFault::kCannotRead);
  EXPECT_NE(view.boxes.back().text.find("ファイルを読み込めません。"), std::string::npos);
  EXPECT_NE(view.boxes.back().text.find("missing.sff"), std::string::npos);
  auto folder = sff::LoadSff(dir.path(), state, view);
  EXPECT_EQ(folder.fault, LoadFault::kCannotRead);
}

TEST(LoaderRefusal, ShortFiles) {
  auto empty = LoadArchive({});
  ExpectRefused(*empty, LoadFault::kTooShort, "0 バイト");
  Bytes header(543, 0);
  header[32] = 1;
  auto justShort = LoadArchive(header);
  ExpectRefused(*justShort, LoadFault::kTooShort, "543 バイト");
}

TEST(LoaderRefusal, ImageCounts) {
  for (std::int32_t bad : {0, -1, 4 + 1000}) {
    Bytes bytes = Valid();
    PutI32(bytes, 20, bad);
    auto a = LoadArchive(bytes);
    ExpectRefused(*a, LoadFault::kBadImageCount, "画像数 " + std::to_string(bad));
  }
  // Exactly as many headers as the file can hold is accepted by the count check.
  Bytes bytes = Valid();
  const auto fits = static_cast<std::int32_t>((bytes.size() - 512) / 32);
  PutI32(bytes, 20, fits);
  auto a = LoadArchive(bytes);
  EXPECT_NE(a->outcome.fault, LoadFault::kBadImageCount);
}

TEST(LoaderRefusal, ImageCountsAbove32767AreOrdinary) {
  SffBuilder b;
  for (int i = 0; i < 40000; ++i) b.Add({.group = 1, .item = static_cast<std::uint16_t>(i), .palFlag = 1});
  auto a = LoadArchive(b.Build());
  EXPECT_EQ(a->outcome.status, LoadStatus::kLoaded);
  EXPECT_EQ(a->view.table.Count(), 40000);
  EXPECT_EQ(a->view.table.Text(40000, sff::SpriteTable::kSortNo), "040000");
}

TEST(LoaderRefusal, NextOffsetBeyondTheFile) {
  Bytes bytes = Valid();
  PutI32(bytes, 512, static_cast<std::int32_t>(bytes.size()) + 1);
  auto a = LoadArchive(bytes);
  ExpectRefused(*a, LoadFault::kNextOutside, "0 番目のサブファイル、オフセット 512");
  EXPECT_EQ(a->outcome.position, 0);
  EXPECT_EQ(a->outcome.offset, 512);
}

TEST(LoaderRefusal, SubfileHeaderOutsideTheFile) {
  // The second subfile's offset leaves fewer than 32 bytes to the end.
  Bytes bytes = Valid();
  PutI32(bytes, 512, static_cast<std::int32_t>(bytes.size()) - 10);
  auto a = LoadArchive(bytes);
  ExpectRefused(*a, LoadFault::kHeaderOutside, "1 番目のサブファイル");
  EXPECT_EQ(a->outcome.offset, static_cast<std::int64_t>(bytes.size()) - 10);
  // A next offset equal to the file length: in range itself, but no header there.
  PutI32(bytes, 512, static_cast<std::int32_t>(bytes.size()));
  auto b = LoadArchive(bytes);
  ExpectRefused(*b, LoadFault::kHeaderOutside, "1 番目のサブファイル");
}

TEST(LoaderRefusal, LinksOutsideTheChain) {
  SffBuilder b;
  b.Add({.palFlag = 1, .payload = Payload(4, 0)}).Add({.link = 2, .palFlag = 1});
  auto a = LoadArchive(b.Build());
  ExpectRefused(*a, LoadFault::kBadLink, "リンク先 2");
  EXPECT_EQ(a->outcome.position, 1);
}

TEST(LoaderRefusal, ARefusalComesOnlyAfterTheSharedPaletteQuestion) {
  Bytes bytes = Valid();
  bytes[32] = 0;
  PutI32(bytes, 20, 0);
  auto declined = LoadArchive(bytes, "USER.sff", {mb::kAnswerNo});
  EXPECT_EQ(declined->outcome.status, LoadStatus::kDeclined);
  EXPECT_EQ(declined->view.boxes.size(), 1u);
  auto accepted = LoadArchive(bytes, "USER.sff", {mb::kAnswerYes});
  EXPECT_EQ(accepted->view.boxes.size(), 2u);
  EXPECT_EQ(accepted->outcome.fault, LoadFault::kBadImageCount);
  // Too short to hold the palette type: refused without a question.
  auto tiny = LoadArchive(Bytes(20, 0));
  EXPECT_EQ(tiny->view.boxes.size(), 1u);
  EXPECT_EQ(tiny->outcome.fault, LoadFault::kTooShort);
}

TEST(LoaderRefusal, ARefusalAfterAGoodLoadEmptiesEverything) {
  Session session;
  ASSERT_EQ(session.Load("good.sff", Valid()).status, LoadStatus::kLoaded);
  EXPECT_EQ(session.Load("bad.sff", Bytes(600, 1)).status, LoadStatus::kRefused);
  EXPECT_EQ(session.view.table.Count(), 0);
  EXPECT_TRUE(session.state.SpriteInfo.empty());
}

// Every prefix and every single-byte change of a valid archive must load or be
// refused, never read outside the file (the sanitizer build checks the reads).
TEST(LoaderRefusal, EveryPrefixAndEveryCorruptedByteIsHandled) {
  const Bytes valid = SffBuilder()
                          .Add({.group = 0, .item = 0, .palFlag = 0, .payload = Payload(780, 1)})
                          .Add({.group = 0, .item = 1, .link = 0, .palFlag = 1, .payload = Payload(6, 2)})
                          .Add({.group = 9000, .item = 1, .link = 1, .palFlag = 1})
                          .Build();
  TempDir dir;
  const std::string path = dir / "x.sff";
  sff::SffState state;
  for (std::size_t cut = 0; cut <= valid.size(); cut += (cut < 600 ? 1 : 7)) {
    WriteBytes(path, Bytes(valid.begin(), valid.begin() + static_cast<std::ptrdiff_t>(cut)));
    TestView view("x.sff");
    view.answers = {mb::kAnswerYes};
    const auto outcome = sff::LoadSff(path, state, view);
    if (cut < 544) {
      EXPECT_EQ(outcome.status, LoadStatus::kRefused) << cut;
    }
  }
  for (std::size_t at = 0; at < 512 + 3 * 32 + 40; ++at) {
    const std::size_t offset = at < 512 ? at : (at - 512 < 32 ? at : 512 + 32 + 780 + (at - 544));
    if (offset >= valid.size()) continue;
    for (std::uint8_t value : {std::uint8_t{0x00}, std::uint8_t{0x7F}, std::uint8_t{0x80}, std::uint8_t{0xFF}}) {
      Bytes bytes = valid;
      bytes[offset] = value;
      WriteBytes(path, bytes);
      TestView view("x.sff");
      view.answers = {mb::kAnswerYes};
      const auto outcome = sff::LoadSff(path, state, view);
      if (outcome.status == LoadStatus::kLoaded) {
        for (const auto& r : state.SpriteInfo) {
          if (r.DataEnd < r.DataStart) continue;
          EXPECT_GE(r.DataStart, 0);
          EXPECT_LT(r.DataEnd, static_cast<std::int32_t>(state.SffBytes.size()));
        }
      }
    }
  }
}

}  // namespace
}  // namespace pelvaro::testing
