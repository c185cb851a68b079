#include "sff/record_rows.h"

#include "text/ansi_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <iterator>
#include <numeric>
#include <optional>
#include <string_view>

namespace pelvaro::sff {
namespace {

// Room for any 64-bit number in decimal, sign included.
constexpr std::size_t kNumberBytes = 20;
// What a PCX name holds besides the stem: "_GGGGG_IIIII.pcx".
constexpr std::size_t kPcxNameExtraBytes = 16;
// A row's texts other than its PCX name, at their longest for a 16-bit group
// and item, an 8-bit flag, a chain position and a row number.
constexpr std::size_t kRowNumberBytes = 11 + 5 + 5 + 3 + 14 + 10;
constexpr std::string_view kZeros = "00000000000000000000";

// "<stem>_GGGGG_IIIII.pcx".
std::string PcxNameOf(const std::string& stem, std::int32_t group, std::int32_t item) {
  char tail[kPcxNameExtraBytes + 2 * kNumberBytes];
  char* end = tail;
  *end++ = '_';
  end = text::ZeroPadNumber(end, group, 5);
  *end++ = '_';
  end = text::ZeroPadNumber(end, item, 5);
  end = std::copy_n(".pcx", 4, end);
  std::string name;
  name.reserve(stem.size() + static_cast<std::size_t>(end - tail));
  name += stem;
  name.append(tail, static_cast<std::size_t>(end - tail));
  return name;
}

// SortNo: one digit more than the row count has.
int SortNoWidth(std::size_t rows) {
  char digits[kNumberBytes];
  return static_cast<int>(text::ZeroPadNumber(digits, static_cast<std::int64_t>(rows), 0) - digits) + 1;
}

bool HasPortraitKey(const SpriteRecord& r) { return r.GroupNo == 9000 && (r.ItemNo == 0 || r.ItemNo == 1); }

// Writes the sort key at `out` and returns its end: 11 bytes, more when the
// palette flag is neither 0 nor 1 and 1 - flag is negative.
char* WriteSortKey(char* out, const SpriteRecord& r) {
  if (HasPortraitKey(r)) {
    out = std::copy_n(" 00000", 6, out);
  } else {
    out = std::to_chars(out, out + kNumberBytes, 1 - static_cast<std::int32_t>(r.PalFlag)).ptr;
    out = text::ZeroPadNumber(out, r.GroupNo, 5);
  }
  return text::ZeroPadNumber(out, r.ItemNo, 5);
}

// The sort key as a number in the same order as the texts, for the keys of
// palette flags 0 and 1: all eleven bytes long, a space or a digit first,
// then five-digit group and item numbers.
std::optional<std::uint64_t> NumericSortKey(const SpriteRecord& r) {
  if (HasPortraitKey(r)) return static_cast<std::uint64_t>(r.ItemNo);  // " 00000" sorts first
  if (r.PalFlag > 1) return std::nullopt;
  const std::uint64_t lead = r.PalFlag == 1 ? 1 : 2;  // "0" before "1"
  return lead << 32 | static_cast<std::uint64_t>(r.GroupNo) << 16 | static_cast<std::uint64_t>(r.ItemNo);
}

// Positions 0..n-1 stably ordered by `keys`: one counting pass for every byte
// in which the keys differ, least significant first.
std::vector<int> StableOrder(const std::vector<std::uint64_t>& keys) {
  std::vector<int> order(keys.size());
  std::iota(order.begin(), order.end(), 0);
  if (keys.empty()) return order;
  std::uint64_t differs = 0;
  for (const std::uint64_t key : keys) differs |= key ^ keys.front();
  std::vector<int> next(keys.size());
  for (int shift = 0; shift < 64; shift += 8) {
    if (((differs >> shift) & 0xFF) == 0) continue;
    std::array<std::size_t, 256> start{};
    for (const std::uint64_t key : keys) ++start[(key >> shift) & 0xFF];
    std::size_t sum = 0;
    for (std::size_t& slot : start) sum += std::exchange(slot, sum);
    for (const int k : order) next[start[(keys[static_cast<std::size_t>(k)] >> shift) & 0xFF]++] = k;
    order.swap(next);
  }
  return order;
}

std::string_view Number(char* buffer, std::int64_t n) {
  return {buffer, static_cast<std::size_t>(std::to_chars(buffer, buffer + kNumberBytes, n).ptr - buffer)};
}

// SortNo: ZeroPad(width, number), written over the row's room for it.
void SetRowNumber(SpriteTable& table, int handle, int number, int width) {
  char digits[kNumberBytes + 16];
  const char* end = text::ZeroPadNumber(digits, number, width);
  table.SetText(handle, SpriteTable::kSortNo, std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

// Zeros as wide as the row numbers of `rows` rows, written over when they are numbered.
std::string_view SortNoRoom(std::size_t rows) { return kZeros.substr(0, static_cast<std::size_t>(SortNoWidth(rows))); }

// A row's texts are formatted into one buffer and stored in one go: a row is
// added for every sprite, and a string for every cell would cost more than
// reading the archive does.
void AddRecordRow(SpriteTable& table, const SpriteRecord& r, std::size_t index, std::string_view sortNoRoom) {
  char buffer[5 * kNumberBytes];
  char* end = buffer;
  const auto next = [&end](char* after) {
    const std::string_view text(end, static_cast<std::size_t>(after - end));
    end = after;
    return text;
  };
  const auto number = [&end](std::int64_t n) { return std::to_chars(end, end + kNumberBytes, n).ptr; };
  const std::string_view group = next(number(r.GroupNo));
  const std::string_view item = next(number(r.ItemNo));
  const std::string_view palType = next(number(r.PalFlag));
  const std::string_view sortKey = next(WriteSortKey(end, r));
  const std::string_view pos = next(number(static_cast<std::int64_t>(index)));
  table.Add({sortNoRoom, group, item, palType, sortKey, pos, r.PcxName});
}

}  // namespace

void PrepareRecordRows(SpriteTable& table, std::size_t records, std::size_t stemBytes) {
  table.Clear();
  table.SetSorted(false);
  table.Reserve(static_cast<int>(records), records * (kRowNumberBytes + stemBytes + kPcxNameExtraBytes));
}

void NameAndAddRows(std::vector<SpriteRecord>& records, std::size_t from, std::size_t to, const std::string& stem,
                    SpriteTable& table) {
  const std::string_view sortNoRoom = SortNoRoom(records.size());
  for (std::size_t i = from; i < to; ++i) {
    SpriteRecord& r = records[i];
    r.PcxName = PcxNameOf(stem, r.GroupNo, r.ItemNo);
    AddRecordRow(table, r, i, sortNoRoom);
  }
}

void AddUnreachedRows(const std::vector<SpriteRecord>& records, std::size_t from, SpriteTable& table) {
  const std::string_view sortNoRoom = SortNoRoom(records.size());
  for (std::size_t i = from; i < records.size(); ++i) AddRecordRow(table, records[i], i, sortNoRoom);
}


void RefreshChangedRows(SpriteTable& table, const std::vector<SpriteRecord>& records, std::size_t paletteSource) {
  for (std::size_t i = 0; i < records.size(); ++i)
    if (records[i].LinkNo != 0) table.SetText(static_cast<int>(i), SpriteTable::kPcxName, records[i].PcxName);
  if (paletteSource >= records.size()) return;
  const SpriteRecord& source = records[paletteSource];
  const int handle = static_cast<int>(paletteSource);
  char buffer[2 * kNumberBytes + 16];
  table.SetText(handle, SpriteTable::kPalType, Number(buffer, source.PalFlag));
  table.SetText(handle, SpriteTable::kSortKey,
                std::string_view(buffer, static_cast<std::size_t>(WriteSortKey(buffer, source) - buffer)));
}

void OrderAndNumberRows(SpriteTable& table, const std::vector<SpriteRecord>& records) {
  const int width = SortNoWidth(records.size());
  std::vector<std::uint64_t> keys;
  keys.reserve(records.size());
  for (const SpriteRecord& r : records) {
    const auto key = NumericSortKey(r);
    if (!key) break;
    keys.push_back(*key);
  }
  if (keys.size() == records.size()) {
    // The usual case: ordered as numbers, which is quicker than as texts.
    std::vector<int> order = StableOrder(keys);
    for (std::size_t k = 0; k < order.size(); ++k) SetRowNumber(table, order[k], static_cast<int>(k) + 1, width);
    table.SetSortColumn(SpriteTable::kSortNo);
    table.SetSortAscending(true);
    table.SetSorted(true);
    table.SetOrder(std::move(order));
    return;
  }
  // Keys of other lengths: the table orders them as texts.
  table.SetSortColumn(SpriteTable::kSortKey);
  table.SetSortAscending(true);
  table.SetSorted(true);
  for (int k = 1; k <= table.Count(); ++k) SetRowNumber(table, table.HandleAt(k), k, width);
  table.SetSortColumn(SpriteTable::kSortNo);
}

}  // namespace pelvaro::sff
