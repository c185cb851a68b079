// What the loader refuses, and that a refusal leaves nothing of the archive
// behind. Prefixes and corrupted bytes at large are the fuzzer's work.

#include "sff/message_box.h"
#include "tests/support/load_archive.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

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

TEST(LoaderRefusal, EachDamageIsRefusedWithWhatAndWhere) {
  struct Case {
    const char* what;
    std::function<Bytes()> bytes;
    LoadFault fault;
    std::string fragment;
  };
  const auto withI32 = [](std::size_t at, std::function<std::int32_t(std::size_t)> value) {
    return [=] {
      Bytes b = Valid();
      PutI32(b, at, value(b.size()));
      return b;
    };
  };
  const auto count = [&](std::int32_t n) { return withI32(20, [=](std::size_t) { return n; }); };
  const Case cases[] = {
      {"empty", [] { return Bytes{}; }, LoadFault::kTooShort, "0 バイト"},
      {"one byte short", [] { return Bytes(543, 1); }, LoadFault::kTooShort, "543 バイト"},
      {"no images", count(0), LoadFault::kBadImageCount, "画像数 0"},
      {"negative count", count(-1), LoadFault::kBadImageCount, "画像数 -1"},
      {"more headers than fit", count(1004), LoadFault::kBadImageCount, "画像数 1004"},
      {"next past the end", withI32(512, [](std::size_t n) { return static_cast<std::int32_t>(n) + 1; }),
       LoadFault::kNextOutside, "0 番目のサブファイル、オフセット 512"},
      {"header past the end", withI32(512, [](std::size_t n) { return static_cast<std::int32_t>(n) - 10; }),
       LoadFault::kHeaderOutside, "1 番目のサブファイル"},
      {"next at the very end", withI32(512, [](std::size_t n) { return static_cast<std::int32_t>(n); }),
       LoadFault::kHeaderOutside, "1 番目のサブファイル"},
      {"link past the chain",
       [] { return SffBuilder().Add({.palFlag = 1, .payload = Payload(4, 0)}).Add({.link = 2, .palFlag = 1}).Build(); },
       LoadFault::kBadLink, "リンク先 2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto a = LoadArchive(c.bytes());
    EXPECT_EQ(a->outcome.status, LoadStatus::kRefused);
    EXPECT_EQ(a->outcome.fault, c.fault);
    ASSERT_FALSE(a->view.boxes.empty());
    EXPECT_EQ(a->view.boxes.back().style, mb::kStop);
    EXPECT_NE(a->view.boxes.back().text.find(c.fragment), std::string::npos) << a->view.boxes.back().text;
    EXPECT_EQ(a->view.table.Count(), 0);
    EXPECT_EQ(a->view.sffName, "");
    EXPECT_EQ(a->view.imageText, "");
    EXPECT_TRUE(a->state.SpriteInfo.empty());
    EXPECT_TRUE(a->state.SffBytes.empty());
  }
  // Exactly as many headers as the file can hold passes the count check.
  Bytes fits = Valid();
  PutI32(fits, 20, static_cast<std::int32_t>((fits.size() - 512) / 32));
  EXPECT_NE(LoadArchive(fits)->outcome.fault, LoadFault::kBadImageCount);
}

TEST(LoaderRefusal, ImageCountsAbove32767AreOrdinary) {
  SffBuilder b;
  for (int i = 0; i < 40000; ++i) b.Add({.group = 1, .item = static_cast<std::uint16_t>(i), .palFlag = 1});
  auto a = LoadArchive(b.Build());
  EXPECT_EQ(a->outcome.status, LoadStatus::kLoaded);
  EXPECT_EQ(a->view.table.Text(40000, sff::SpriteTable::kSortNo), "040000");
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

// A refusal, or work stopped by an exception (memory running out, say), leaves
// nothing of the archive before.
TEST(LoaderRefusal, ARefusalOrAStoppedLoadAfterAGoodLoadEmptiesEverything) {
  Session session;
  ASSERT_EQ(session.Load("good.sff", Valid()).status, LoadStatus::kLoaded);
  EXPECT_EQ(session.Load("bad.sff", Bytes(600, 1)).status, LoadStatus::kRefused);
  EXPECT_EQ(session.view.table.Count(), 0);
  EXPECT_TRUE(session.state.SpriteInfo.empty());

  ASSERT_EQ(session.Load("good.sff", Valid()).status, LoadStatus::kLoaded);
  sff::DropArchive(session.state, session.view);
  EXPECT_EQ(session.view.table.Count(), 0);
  EXPECT_EQ(session.view.sffName, "");
  EXPECT_EQ(session.view.imageText, "");
  EXPECT_TRUE(session.state.SpriteInfo.empty());
  EXPECT_TRUE(session.state.SffBytes.empty());
  EXPECT_EQ(sff::StoppedWorkMessage(std::bad_alloc(), "\n"), "メモリが足りないため、処理を続けられません。");
  EXPECT_EQ(sff::StoppedWorkMessage(std::runtime_error("boom"), "\r\n"), "処理を続けられません。\r\nboom");
}

}  // namespace
}  // namespace pelvaro::testing
