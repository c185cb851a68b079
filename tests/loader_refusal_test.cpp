// What the loader refuses, with what and where, and the user's words; corrupted bytes at large are the fuzzer's.

#include "export/messages.h"
#include "sff/read_whole_file.h"
#include "tests/support/load_archive.h"
#include "text/native_path.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <algorithm>
#include <filesystem>
#include <span>
#include <utility>
#include <vector>
#include <tuple>

namespace pelvaro::testing {
namespace {

using sff::LoadError;
using sff::LoadFault;

// A file of this kind never gets as far as the palette question.
TEST(LoaderRefusal, EachDamageIsRefusedWithWhatAndWhere) {
  struct Case {
    const char* what;
    Bytes bytes;
    LoadFault fault;
    std::int64_t value, limit, position, offset;
  };
  const Bytes valid = ManySprites(3, 1);
  const auto with = [&](std::size_t at, std::int64_t value) {
    Bytes b = valid;
    PutI32(b, at, static_cast<std::int32_t>(value));
    return b;
  };
  const auto size = static_cast<std::int64_t>(valid.size());
  const std::int64_t fits = (size - 512) / 32;
  const Case cases[] = {
      {"empty", {}, LoadFault::kNoHeader, 0, 0, -1, -1},
      {"no palette type", Bytes(32, 1), LoadFault::kNoHeader, 32, 0, -1, -1},
      {"one byte short", Bytes(543, 1), LoadFault::kTooShort, 543, 544, -1, -1},
      {"no images", with(20, 0), LoadFault::kBadImageCount, 0, fits, -1, -1},
      {"negative count", with(20, -1), LoadFault::kBadImageCount, -1, fits, -1, -1},
      {"more headers than fit", with(20, fits + 1), LoadFault::kBadImageCount, fits + 1, fits, -1, -1},
      {"next past the end", with(512, size + 1), LoadFault::kNextOutside, size + 1, 0, 0, 512},
      {"header past the end", with(512, size - 10), LoadFault::kHeaderOutside, 0, 0, 1, size - 10},
      {"next at the very end", with(512, size), LoadFault::kHeaderOutside, 0, 0, 1, size},
      {"link past the chain",
       SffBuilder().Add({.palFlag = 1, .payload = Payload(4, 0)}).Add({.link = 2, .palFlag = 1}).Build(),
       LoadFault::kBadLink, 2, 2, 1, 512 + 32 + 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto a = LoadArchive(c.bytes);
    ASSERT_FALSE(a->loaded());
    const LoadError& e = *a->error;
    EXPECT_EQ(e.fault, c.fault);
    EXPECT_EQ(std::tuple(e.value, e.limit, e.position, e.offset), std::tuple(c.value, c.limit, c.position, c.offset));
    EXPECT_EQ(a->questions, 0);
  }
}

TEST(LoaderRefusal, FilesThatCannotBeReadAreRefusedBeforeAnyQuestion) {
  TempDir dir;
  int questions = 0;
  const auto load = [&](const std::string& path) {
    auto result = sff::LoadSff(path, [&] { return ++questions, true; });
    EXPECT_FALSE(result);
    return result ? LoadError{} : result.error();
  };
  const LoadError missing = load(dir / "missing.sff");
  EXPECT_EQ(missing.fault, LoadFault::kCannotRead);
  EXPECT_EQ(missing.path, dir / "missing.sff");
  EXPECT_EQ(missing.reason, std::strerror(ENOENT));
  const LoadError folder = load(dir.path());
  EXPECT_EQ(folder.fault, LoadFault::kCannotRead);
  EXPECT_EQ(folder.reason, std::strerror(EISDIR));
  // A FIFO: tests/posix/file_promises_test.cpp.
  // A sparse file of 2 GiB: its size is what counts, and nothing of it is read.
  WriteBytes(dir / "huge.sff", {});
  std::error_code ec;
  std::filesystem::resize_file(std::filesystem::path(text::ToNativePath(dir / "huge.sff")), std::uintmax_t{1} << 31, ec);
  if (!ec) {
    const LoadError huge = load(dir / "huge.sff");
    EXPECT_EQ(huge.fault, LoadFault::kTooLarge);
    EXPECT_EQ(huge.value, std::int64_t{1} << 31);
  }
  EXPECT_EQ(questions, 0);
}

// The words the window and pelvaro-cli give every refusal, made in one place.
// A file is read a megabyte at a time and its chain walked as the pieces come in. Whatever falls on a piece's
// edge (a subfile header cut in two, a next offset into bytes not read yet, a header past the end), the file
// loads to the same records, or is refused with the same fault and place, as its bytes loaded at once; and a
// declined palette question still comes before any damage.
TEST(LoaderRefusal, AFileReadInPiecesIsJudgedAsItsWholeBytesAre) {
  constexpr auto kPiece = static_cast<std::int64_t>(sff::kReadPieceBytes);
  // Payloads sized so that subfile headers start 10 bytes before the first and the second piece's end.
  SffBuilder b;
  b.Add({.group = 1, .item = 0, .palFlag = 0, .payload = Payload(static_cast<std::size_t>(kPiece - 512 - 32 - 10), 1)});
  b.Add({.group = 1, .item = 1, .axisX = -7, .palFlag = 1, .payload = Payload(static_cast<std::size_t>(kPiece - 32), 2)});
  b.Add({.group = 2, .item = 0, .link = 1, .palFlag = 1, .payload = {}});
  b.Add({.group = 2, .item = 1, .axisY = 9, .palFlag = 1, .payload = Payload(300, 3)});
  ASSERT_EQ(b.OffsetOf(1), kPiece - 10);
  ASSERT_EQ(b.OffsetOf(2), 2 * kPiece - 10);
  const Bytes valid = b.Build();

  TempDir dir;
  const auto fromFile = [&](const Bytes& bytes, bool answer) {
    WriteBytes(dir / "PIECES.sff", bytes);
    return sff::LoadSff(dir / "PIECES.sff", [answer] { return answer; });
  };
  const auto fromMemory = [](const Bytes& bytes, bool answer) {
    return sff::LoadSffFromBytes("PIECES.sff", std::span<const std::uint8_t>(bytes), [answer] { return answer; });
  };
  const auto fields = [](const sff::SpriteRecord& r) {
    return std::tuple(r.DataStart, r.DataEnd, r.NextPos, r.NameSource, r.AxisX, r.AxisY, r.GroupNo, r.ItemNo,
                      r.LinkNo, r.PalFlag);
  };

  const auto file = fromFile(valid, true);
  const auto memory = fromMemory(valid, true);
  ASSERT_TRUE(file && memory);
  ASSERT_EQ(file->SpriteInfo().size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(fields(file->SpriteInfo()[i]), fields(memory->SpriteInfo()[i]));
  EXPECT_EQ(file->SpriteInfo()[3].AxisY, 9);
  EXPECT_EQ(file->SharedPal(), memory->SharedPal());
  EXPECT_TRUE(std::ranges::equal(file->DisplayOrder(), memory->DisplayOrder()));

  const auto with = [&](std::int64_t at, std::int32_t value) {
    Bytes damaged = valid;
    PutI32(damaged, static_cast<std::size_t>(at), value);
    return damaged;
  };
  const std::int64_t size = static_cast<std::int64_t>(valid.size());
  const std::vector<std::pair<const char*, Bytes>> damaged{
      {"next offset past the end, read before the end", with(b.OffsetOf(1), static_cast<std::int32_t>(size + 1))},
      {"header past the end", with(b.OffsetOf(2), static_cast<std::int32_t>(size - 8))},
      {"link past the count, cut by a piece's edge", with(b.OffsetOf(2) + 16, 9)},
      {"count past what fits", with(20, 1 << 30)},
  };
  for (const auto& [what, bytes] : damaged) {
    SCOPED_TRACE(what);
    const auto f = fromFile(bytes, true);
    const auto m = fromMemory(bytes, true);
    ASSERT_FALSE(f);
    ASSERT_FALSE(m);
    EXPECT_EQ(std::tuple(f.error().fault, f.error().value, f.error().limit, f.error().position, f.error().offset),
              std::tuple(m.error().fault, m.error().value, m.error().limit, m.error().position, m.error().offset));
    EXPECT_NE(f.error().fault, LoadFault::kDeclined);
  }
  Bytes asking = damaged[0].second;
  asking[static_cast<std::size_t>(sff::kPaletteTypeOffset)] = 0;
  const auto declined = fromFile(asking, false);
  ASSERT_FALSE(declined);
  EXPECT_EQ(declined.error().fault, LoadFault::kDeclined);
}

TEST(LoaderRefusal, EachErrorHasItsOwnWords) {
  const auto error = [](LoadFault fault, std::int64_t value = 0, std::int64_t limit = 0) {
    return LoadError{fault, "/x/USER.sff", "No such file or directory", value, limit, 3, 1234};
  };
  const std::string damaged = "SFFファイルが壊れているため、読み込めません。";
  const std::pair<LoadError, exporter::Lines> cases[] = {
      {error(LoadFault::kDeclined), {}},
      {error(LoadFault::kCannotRead), {"ファイルを読み込めません。", "/x/USER.sff", "No such file or directory"}},
      {error(LoadFault::kNotRegularFile), {"ファイルを読み込めません。", "/x/USER.sff", "通常のファイルではありません。"}},
      {error(LoadFault::kShortenedWhileRead),
       {"ファイルを読み込めません。", "/x/USER.sff", "読み込みの途中でファイルが短くなりました。"}},
      {error(LoadFault::kTooLarge, 2147483648),
       {"ファイルが大きすぎます（2147483648 バイト）。2 GB 未満のファイルしか読み込めません。"}},
      {error(LoadFault::kOutOfMemory), {"メモリが足りないため、処理を続けられません。"}},
      {error(LoadFault::kNoHeader, 20), {damaged, "ファイルが短すぎます（20 バイト）。SFFファイルのヘッダがありません。"}},
      {error(LoadFault::kTooShort, 543, 544),
       {damaged, "ファイルが短すぎます（543 バイト）。SFFファイルには少なくとも 544 バイト必要です。"}},
      {error(LoadFault::kBadImageCount, -1, 2),
       {damaged, "ヘッダの画像数 -1 が不正です（オフセット 20）。このファイルに収まる画像数は 1 ～ 2 です。"}},
      {error(LoadFault::kHeaderOutside),
       {damaged, "サブファイルヘッダがファイルの外にあります（3 番目のサブファイル、オフセット 1234）。"}},
      {error(LoadFault::kNextOutside, 99999),
       {damaged, "次のサブファイルのオフセット 99999 がファイルの外を指しています（3 番目のサブファイル、オフセット 1234）。"}},
      {error(LoadFault::kBadLink, 7, 4),
       {damaged, "リンク先 7 が画像数 4 の範囲外です（3 番目のサブファイル、オフセット 1234）。"}},
  };
  for (const auto& [refusal, lines] : cases)
    EXPECT_EQ(exporter::DescribeLoadError(refusal), lines) << static_cast<int>(refusal.fault);
  EXPECT_EQ(exporter::DescribeStoppedWork(std::bad_alloc()), exporter::Lines{"メモリが足りないため、処理を続けられません。"});
  EXPECT_EQ(exporter::DescribeStoppedWork(std::runtime_error("boom")), (exporter::Lines{"処理を続けられません。", "boom"}));
}

}  // namespace
}  // namespace pelvaro::testing
