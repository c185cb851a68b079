#include "sff/load_sff.h"

#include "sff/archive_walk.h"
#include "sff/arriving_file.h"
#include "sff/message_box.h"
#include "sff/record_rows.h"
#include "sff/refusal.h"
#include "sff/sff_layout.h"

#include <algorithm>
#include <array>
#include <limits>
#include <memory>
#include <new>
#include <variant>

namespace pelvaro::sff {

const char* const kSharedPaletteWarning =
    "このSFFファイルは共有パレットモードではありません。\r\n"
    "このSFFを正しくデコードすることは出来ません。\r\n"
    "\r\n"
    "デコード結果から、正しくSFFを再構築出来る保証はありません。\r\n"
    "処理を続行しますか？";

namespace {

void ClearView(LoaderView& view) {
  view.SetSffNameText("");
  view.SetImageText("");
  view.BeginTableReset();
  view.Table().Clear();
  view.EndTableReset();
}

// In ascending order, so a link to an earlier linked record passes its image on.
void ResolveLinks(std::vector<SpriteRecord>& records) {
  for (auto& r : records) {
    if (r.LinkNo == 0) continue;
    const SpriteRecord& target = records[static_cast<std::size_t>(r.LinkNo)];
    r.DataStart = target.DataStart;
    r.DataEnd = target.DataEnd;
    r.PcxName = target.PcxName;
  }
}

// The first sprite with its own palette directly followed by one using the shared palette.
std::size_t FindPaletteSource(const std::vector<SpriteRecord>& records) {
  for (std::size_t i = 1; i < records.size(); ++i)
    if (records[i - 1].PalFlag == 0 && records[i].PalFlag == 1) return i - 1;
  return 0;
}

// Takes the last 768 bytes of the source's payload as the shared palette and
// makes the source a shared-palette sprite; its exported bytes stay the same.
void LiftSharedPalette(const ByteReader& reader, SpriteRecord& source, std::array<std::uint8_t, kPaletteSize>& pal) {
  pal.fill(0);
  const std::int64_t end = source.NextPos >= 1 ? source.NextPos : static_cast<std::int64_t>(source.DataEnd) + 1;
  const auto bytes = reader.Sub(end - static_cast<std::int64_t>(kPaletteSize), kPaletteSize);
  if (!bytes) return;  // too little before it: no palette, the source stays as it is
  std::copy(bytes->begin(), bytes->end(), pal.begin());
  source.DataEnd -= static_cast<std::int32_t>(kPaletteSize);
  source.DataLen = static_cast<std::int32_t>(static_cast<std::int64_t>(source.DataLen) - 768);
  source.PalFlag = 1;
}

LoadOutcome Refuse(LoadOutcome outcome, SffState& state, LoaderView& view) {
  DropArchive(state, view);
  view.MsgBox(outcome.message, mb::kStop);
  return outcome;
}

}  // namespace

void DropArchive(SffState& state, LoaderView& view) {
  state.Reset();
  ClearView(view);
}

std::string StoppedWorkMessage(const std::exception& e, std::string_view newline) {
  if (dynamic_cast<const std::bad_alloc*>(&e)) return "メモリが足りないため、処理を続けられません。";
  return "処理を続けられません。" + std::string(newline) + e.what();
}

std::string StemOfArchiveName(const std::string& label) {
  // Count characters, not bytes: step back over four UTF-8 sequences.
  std::size_t end = label.size();
  for (int chars = 0; chars < 4; ++chars) {
    if (end == 0) return {};
    --end;
    while (end > 0 && (static_cast<unsigned char>(label[end]) & 0xC0) == 0x80) --end;
  }
  return label.substr(0, end);
}

namespace {

// Everything after the file is read: the palette question, the refusals the
// walk found, links, palette and the table.
LoadOutcome Complete(ByteImage bytes, std::string stem, Walked walked, SffState& state, LoaderView& view) {
  const ByteReader reader(bytes);
  const auto paletteType = reader.U8(kPaletteTypeOffset);
  if (!paletteType)
    return Refuse(Refusal(LoadFault::kTooShort, "ファイルが短すぎます（" + Decimal(static_cast<std::int64_t>(bytes.size())) +
                                                    " バイト）。SFFファイルのヘッダがありません。"),
                  state, view);
  if (*paletteType != kSharedPaletteMode &&
      view.MsgBox(kSharedPaletteWarning, mb::kYesNoStopDefaultNo) != mb::kAnswerYes) {
    state.SffBase = std::move(stem);
    state.SffBytes = std::move(bytes);
    ClearView(view);
    LoadOutcome declined;
    declined.status = LoadStatus::kDeclined;
    return declined;
  }
  if (walked.refusal) return Refuse(std::move(*walked.refusal), state, view);

  std::vector<SpriteRecord> records = std::move(walked.records);
  const auto imageCount = static_cast<std::int32_t>(records.size());
  ResolveLinks(records);
  std::array<std::uint8_t, kPaletteSize> palette{};
  const std::size_t paletteSource = FindPaletteSource(records);
  LiftSharedPalette(reader, records[paletteSource], palette);
  SpriteTable rows = std::move(walked.rows);
  RefreshChangedRows(rows, records, paletteSource);
  OrderAndNumberRows(rows, records);

  state.SffBase = std::move(stem);
  state.SffBytes = std::move(bytes);
  state.ImageCount = imageCount;
  state.SpriteInfo = std::move(records);
  state.SharedPal = palette;

  view.SetImageText(Decimal(imageCount));
  view.BeginTableReset();
  view.Table() = std::move(rows);
  view.EndTableReset();
  return {};
}

}  // namespace

LoadOutcome LoadSff(const std::string& path, SffState& state, LoaderView& view) {
  auto opened = ArrivingFile::Open(path);
  if (auto* failure = std::get_if<ReadFailure>(&opened)) {
    if (failure->kind == ReadFailure::Kind::kTooLarge)
      return Refuse(Refusal(LoadFault::kTooLarge, "ファイルが大きすぎます（" + failure->reason + "）。2 GB 未満のファイルしか読み込めません。"),
                    state, view);
    return Refuse(Refusal(LoadFault::kCannotRead, "ファイルを読み込めません。\r\n" + path + "\r\n" + failure->reason), state,
                  view);
  }
  ArrivingFile& file = *std::get<std::unique_ptr<ArrivingFile>>(opened);
  std::string stem = StemOfArchiveName(view.SffNameText());
  Walked walked = ReadAndWalk(file, stem);
  // A failed read is reported before anything the walk found.
  ByteImage bytes;
  if (const auto failure = file.Finish(bytes))
    return Refuse(Refusal(LoadFault::kCannotRead, "ファイルを読み込めません。\r\n" + path + "\r\n" + failure->reason), state,
                  view);
  return Complete(std::move(bytes), std::move(stem), std::move(walked), state, view);
}

LoadOutcome LoadSffFromBytes(std::span<const std::uint8_t> bytes, SffState& state, LoaderView& view) {
  return LoadSffFromBytes(ByteImage(bytes.begin(), bytes.end()), state, view);
}

LoadOutcome LoadSffFromBytes(ByteImage bytes, SffState& state, LoaderView& view) {
  if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
    return Refuse(Refusal(LoadFault::kTooLarge, "ファイルが大きすぎます（" + Decimal(static_cast<std::int64_t>(bytes.size())) +
                                                    " bytes）。2 GB 未満のファイルしか読み込めません。"),
                  state, view);
  std::string stem = StemOfArchiveName(view.SffNameText());
  Walked walked = WalkInMemory(bytes, stem);
  return Complete(std::move(bytes), std::move(stem), std::move(walked), state, view);
}

}  // namespace pelvaro::sff
