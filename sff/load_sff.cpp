#include "sff/load_sff.h"

#include "sff/file_read.h"
#include "sff/message_box.h"
#include "sff/sff_layout.h"
#include "text/ansi_text.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <variant>

namespace pelvaro::sff {

const char* const kSharedPaletteWarning =
    "このSFFファイルは共有パレットモードではありません。\r\n"
    "このSFFを正しくデコードすることは出来ません。\r\n"
    "\r\n"
    "デコード結果から、正しくSFFを再構築出来る保証はありません。\r\n"
    "処理を続行しますか？";

namespace {

constexpr const char* kDamagedHeading = "SFFファイルが壊れているため、読み込めません。\r\n";

std::string Decimal(std::int64_t n) { return std::to_string(n); }

// `n` (0..99999) as exactly five digits.
void AppendFiveDigits(std::string& out, std::int32_t n) {
  char digits[5];
  for (int k = 4; k >= 0; --k) {
    digits[k] = static_cast<char>('0' + n % 10);
    n /= 10;
  }
  out.append(digits, 5);
}

std::string PcxNameOf(const std::string& stem, std::int32_t group, std::int32_t item) {
  std::string name;
  name.reserve(stem.size() + 16);
  name += stem;
  name += '_';
  AppendFiveDigits(name, group);
  name += '_';
  AppendFiveDigits(name, item);
  name += ".pcx";
  return name;
}

std::string Where(std::int32_t position, std::int64_t offset) {
  return "（" + Decimal(position) + " 番目のサブファイル、オフセット " + Decimal(offset) + "）";
}

LoadOutcome Refusal(LoadFault fault, std::string detail, std::int32_t position = -1, std::int64_t offset = -1) {
  LoadOutcome out;
  out.status = LoadStatus::kRefused;
  out.fault = fault;
  out.position = position;
  out.offset = offset;
  // Only a damaged archive gets the heading; an unreadable or oversized file is not damaged.
  const bool damaged = fault != LoadFault::kCannotRead && fault != LoadFault::kTooLarge;
  out.message = (damaged ? std::string(kDamagedHeading) : std::string()) + detail;
  return out;
}

void ClearView(LoaderView& view) {
  view.SetSffNameText("");
  view.SetImageText("");
  view.BeginTableReset();
  view.Table().Clear();
  view.EndTableReset();
}

// Checks the header against the file and returns the image count, or a refusal.
std::variant<std::int32_t, LoadOutcome> ReadImageCount(const ByteReader& reader) {
  const auto length = static_cast<std::int64_t>(reader.size());
  constexpr std::int64_t kMinimum = kFileHeaderSize + kSubfileHeaderSize;
  if (length < kMinimum)
    return Refusal(LoadFault::kTooShort, "ファイルが短すぎます（" + Decimal(length) + " バイト）。SFFファイルには少なくとも " +
                                             Decimal(kMinimum) + " バイト必要です。");
  const std::int32_t count = *reader.I32le(kImageCountOffset);
  const std::int64_t fits = (length - kFileHeaderSize) / kSubfileHeaderSize;
  if (count < 1 || count > fits)
    return Refusal(LoadFault::kBadImageCount, "ヘッダの画像数 " + Decimal(count) + " が不正です（オフセット " +
                                                  Decimal(kImageCountOffset) + "）。このファイルに収まる画像数は 1 ～ " +
                                                  Decimal(fits) + " です。");
  return count;
}

// Fills the records in chain order; records after the last subfile stay empty.
std::optional<LoadOutcome> WalkChain(const ByteReader& reader, const std::string& stem,
                                     std::vector<SpriteRecord>& records) {
  const auto length = static_cast<std::int64_t>(reader.size());
  const auto count = static_cast<std::int32_t>(records.size());
  std::int64_t p = kFirstSubfileOffset;
  for (std::int32_t i = 0; i < count; ++i) {
    const auto header = ReadSubfileHeader(reader, p);
    if (!header)
      return Refusal(LoadFault::kHeaderOutside, "サブファイルヘッダがファイルの外にあります" + Where(i, p) + "。", i, p);
    if (header->next > length)
      return Refusal(LoadFault::kNextOutside,
                     "次のサブファイルのオフセット " + Decimal(header->next) + " がファイルの外を指しています" + Where(i, p) + "。",
                     i, p);
    if (header->link >= count)
      return Refusal(LoadFault::kBadLink,
                     "リンク先 " + Decimal(header->link) + " が画像数 " + Decimal(count) + " の範囲外です" + Where(i, p) + "。", i,
                     p);
    SpriteRecord& r = records[static_cast<std::size_t>(i)];
    r.NextBytes = header->nextBytes;
    r.LenBytes = header->lengthBytes;
    r.NextPos = header->next;
    r.DataLen = header->length;
    r.AxisX = header->axisX;
    r.AxisY = header->axisY;
    r.GroupNo = header->group;
    r.ItemNo = header->item;
    r.LinkNo = header->link;
    r.PalFlag = header->palFlag;
    r.DataStart = static_cast<std::int32_t>(p + kSubfileHeaderSize);
    if (r.NextPos >= 1) {
      r.DataEnd = r.NextPos - 1;
    } else {
      // The last subfile: its length field counts the payload, clipped to the file.
      const std::int64_t available = length - r.DataStart;
      const std::int64_t payload = std::min<std::int64_t>(std::max<std::int32_t>(r.DataLen, 0), available);
      r.DataEnd = static_cast<std::int32_t>(r.DataStart + payload - 1);
    }
    r.PcxName = PcxNameOf(stem, r.GroupNo, r.ItemNo);
    if (r.NextPos < 1) break;
    p = r.NextPos;
  }
  return std::nullopt;
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

std::string SortKeyOf(const SpriteRecord& r) {
  std::string key;
  key.reserve(12);
  if (r.GroupNo == 9000 && (r.ItemNo == 0 || r.ItemNo == 1)) {
    key = " 00000";
  } else {
    key = Decimal(1 - static_cast<std::int32_t>(r.PalFlag));
    AppendFiveDigits(key, r.GroupNo);
  }
  AppendFiveDigits(key, r.ItemNo);
  return key;
}

void FillTable(const std::vector<SpriteRecord>& records, SpriteTable& table) {
  table.Clear();
  table.SetSortColumn(SpriteTable::kSortKey);
  table.SetSortAscending(true);
  table.SetSorted(true);
  table.Reserve(static_cast<int>(records.size()));
  for (std::size_t i = 0; i < records.size(); ++i) {
    const SpriteRecord& r = records[i];
    // SortNo stays empty until the rows are numbered.
    table.Add({std::string(), Decimal(r.GroupNo), Decimal(r.ItemNo), Decimal(r.PalFlag), SortKeyOf(r),
               Decimal(static_cast<std::int64_t>(i)), r.PcxName});
  }
}

// SortNo: the display position, zero-filled to one digit more than the row count has.
void NumberRows(SpriteTable& table) {
  const int n = table.Count();
  const auto width = static_cast<std::int32_t>(Decimal(n).size() + 1);
  for (int k = 1; k <= n; ++k)
    table.SetText(table.HandleAt(k), SpriteTable::kSortNo, text::ToText(text::ZeroPad(width, std::int64_t{k})));
  table.SetSortColumn(SpriteTable::kSortNo);
  table.SetSortAscending(true);
  table.SetSorted(true);
}

LoadOutcome Refuse(LoadOutcome outcome, SffState& state, LoaderView& view) {
  state.Reset();
  ClearView(view);
  view.MsgBox(outcome.message, mb::kStop);
  return outcome;
}

}  // namespace

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

LoadOutcome LoadSff(const std::string& path, SffState& state, LoaderView& view) {
  ByteImage bytes;
  if (const auto failure = ReadWholeFile(path, bytes)) {
    if (failure->kind == ReadFailure::Kind::kTooLarge)
      return Refuse(Refusal(LoadFault::kTooLarge, "ファイルが大きすぎます（" + failure->reason + "）。2 GB 未満のファイルしか読み込めません。"),
                    state, view);
    return Refuse(Refusal(LoadFault::kCannotRead, "ファイルを読み込めません。\r\n" + path + "\r\n" + failure->reason), state,
                  view);
  }
  return LoadSffFromBytes(std::move(bytes), state, view);
}

LoadOutcome LoadSffFromBytes(std::span<const std::uint8_t> bytes, SffState& state, LoaderView& view) {
  return LoadSffFromBytes(ByteImage(bytes.begin(), bytes.end()), state, view);
}

LoadOutcome LoadSffFromBytes(ByteImage bytes, SffState& state, LoaderView& view) {
  std::string stem = StemOfArchiveName(view.SffNameText());
  if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
    return Refuse(Refusal(LoadFault::kTooLarge, "ファイルが大きすぎます（" + Decimal(static_cast<std::int64_t>(bytes.size())) +
                                                    " bytes）。2 GB 未満のファイルしか読み込めません。"),
                  state, view);
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

  auto count = ReadImageCount(reader);
  if (auto* refusal = std::get_if<LoadOutcome>(&count)) return Refuse(std::move(*refusal), state, view);
  const std::int32_t imageCount = std::get<std::int32_t>(count);

  std::vector<SpriteRecord> records(static_cast<std::size_t>(imageCount));
  if (auto refusal = WalkChain(reader, stem, records)) return Refuse(std::move(*refusal), state, view);
  ResolveLinks(records);
  std::array<std::uint8_t, kPaletteSize> palette{};
  LiftSharedPalette(reader, records[FindPaletteSource(records)], palette);

  state.SffBase = std::move(stem);
  state.SffBytes = std::move(bytes);
  state.ImageCount = imageCount;
  state.SpriteInfo = std::move(records);
  state.SharedPal = palette;

  view.SetImageText(Decimal(imageCount));
  view.BeginTableReset();
  FillTable(state.SpriteInfo, view.Table());
  NumberRows(view.Table());
  view.EndTableReset();
  return {};
}

}  // namespace pelvaro::sff
