#include "sff/sprite_rows.h"

#include "text/ansi_text.h"

#include <algorithm>
#include <charconv>
#include <numeric>
#include <string_view>
#include <utility>
#include <vector>

namespace pelvaro::sff {
namespace {

// Room for any 64-bit number in decimal, sign included.
constexpr std::size_t kNumberBytes = 20;

void AppendNumber(std::string& out, std::int64_t n) {
  char digits[kNumberBytes];
  out.append(digits, static_cast<std::size_t>(std::to_chars(digits, digits + kNumberBytes, n).ptr - digits));
}

void AppendZeroPadded(std::string& out, std::int64_t n, int width) {
  char digits[kNumberBytes + 16];
  out.append(digits, static_cast<std::size_t>(text::ZeroPadNumber(digits, n, width) - digits));
}

int DigitCount(std::size_t n) {
  char digits[kNumberBytes];
  return static_cast<int>(std::to_chars(digits, digits + kNumberBytes, n).ptr - digits);
}

bool HasPortraitKey(const SpriteRecord& r) { return r.GroupNo == 9000 && (r.ItemNo == 0 || r.ItemNo == 1); }

// The sort key as a number in the order of the texts, for palette flags 0 and
// 1, whose keys are all eleven bytes: a space or a digit, then the numbers.
std::uint64_t NumericSortKey(const SpriteRecord& r) {
  if (HasPortraitKey(r)) return r.ItemNo;        // " 00000..." sorts first
  const std::uint64_t lead = r.PalFlag == 1 ? 1 : 2;  // "0..." before "1..."
  return lead << 32 | std::uint64_t{r.GroupNo} << 16 | r.ItemNo;
}

// Sorts numbers whose bits from 27 up are the key, keeping the order of
// equal keys (the chain positions below them already rise): a stable radix
// sort on 12 bits at a time, three passes for the 34 bits of a key. A pass
// whose digit is the same for every number is skipped.
void SortByKey(LargeVector<std::uint64_t>& keyed) {
  constexpr int kDigitBits = 12;
  constexpr int kPasses = 3;
  constexpr std::size_t kBuckets = std::size_t{1} << kDigitBits;
  const auto digit = [](std::uint64_t v, int pass) {
    return static_cast<std::size_t>(v >> (27 + pass * kDigitBits)) & (kBuckets - 1);
  };
  if (keyed.size() < 2) return;
  std::vector<std::uint32_t> counts(kPasses * kBuckets, 0);
  for (const std::uint64_t v : keyed)
    for (int pass = 0; pass < kPasses; ++pass) ++counts[pass * kBuckets + digit(v, pass)];
  LargeVector<std::uint64_t> other;
  for (int pass = 0; pass < kPasses; ++pass) {
    std::uint32_t* const count = counts.data() + pass * kBuckets;
    if (count[digit(keyed.front(), pass)] == keyed.size()) continue;
    std::uint32_t at = 0;
    for (std::size_t b = 0; b < kBuckets; ++b) at += std::exchange(count[b], at);
    if (other.size() != keyed.size()) other.resize(keyed.size());
    for (const std::uint64_t v : keyed) other[count[digit(v, pass)]++] = v;
    keyed.swap(other);
  }
}

// Keys of flags above 1 begin with a minus sign and differ in length; those
// archives are ordered by the texts themselves.
RowOrder OrderByKeyTexts(const Records& records) {
  std::vector<std::string> keys(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) AppendSortKey(keys[i], records[i]);
  RowOrder order(records.size());
  std::iota(order.begin(), order.end(), 0u);
  std::stable_sort(order.begin(), order.end(), [&keys](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; });
  return order;
}

}  // namespace

void AppendSortKey(std::string& out, const SpriteRecord& r) {
  if (HasPortraitKey(r)) {
    out += " 00000";
  } else {
    AppendNumber(out, 1 - std::int64_t{r.PalFlag});
    AppendZeroPadded(out, r.GroupNo, 5);
  }
  AppendZeroPadded(out, r.ItemNo, 5);
}

RowOrder DisplayOrderOf(const Records& records) {
  const bool allFlagsSimple =
      std::all_of(records.begin(), records.end(), [](const SpriteRecord& r) { return r.PalFlag <= 1; });
  if (!allFlagsSimple) return OrderByKeyTexts(records);
  // Key and chain position in one number, so a plain sort keeps equal keys in
  // chain order. Keys take 34 bits, positions (below 2^27: a record per 32
  // bytes of a file under 2 GiB) the rest.
  LargeVector<std::uint64_t> keyed(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) keyed[i] = NumericSortKey(records[i]) << 27 | i;
  SortByKey(keyed);
  RowOrder order(records.size());
  for (std::size_t k = 0; k < keyed.size(); ++k) order[k] = static_cast<std::uint32_t>(keyed[k] & ((1u << 27) - 1));
  return order;
}

void AppendPcxName(std::string& out, const Archive& archive, const SpriteRecord& record) {
  if (record.NameSource == SpriteRecord::kNoName) return;
  const SpriteRecord& source = archive.SpriteInfo()[static_cast<std::size_t>(record.NameSource)];
  const std::size_t start = out.size();
  out.resize(start + archive.SffBase().size() + kPcxNameTailBytes);
  out.resize(static_cast<std::size_t>(PutPcxName(out.data() + start, archive.SffBase(), source) - out.data()));
}

std::string PcxName(const Archive& archive, const SpriteRecord& record) {
  std::string name;
  AppendPcxName(name, archive, record);
  return name;
}

void AppendPngName(std::string& out, const Archive& archive, const SpriteRecord& record) {
  constexpr std::string_view kPcxExtension = ".pcx";
  constexpr std::string_view kPngExtension = ".png";
  const std::size_t start = out.size();
  AppendPcxName(out, archive, record);
  // Every PCX name ends in ".pcx" (PutPcxName).
  if (out.size() > start) out.replace(out.size() - kPcxExtension.size(), kPcxExtension.size(), kPngExtension);
}

std::string PngName(const Archive& archive, const SpriteRecord& record) {
  std::string name;
  AppendPngName(name, archive, record);
  return name;
}

void AppendCell(std::string& out, const Archive& archive, std::size_t row, Column column) {
  const std::uint32_t position = archive.DisplayOrder()[row];
  const SpriteRecord& r = archive.SpriteInfo()[position];
  switch (column) {
    case Column::kSortNo: return AppendZeroPadded(out, static_cast<std::int64_t>(row) + 1, DigitCount(archive.RowCount()) + 1);
    case Column::kGroupNo: return AppendNumber(out, r.GroupNo);
    case Column::kItemNo: return AppendNumber(out, r.ItemNo);
    case Column::kPalType: return AppendNumber(out, r.PalFlag);
    case Column::kSortKey: return AppendSortKey(out, r);
    case Column::kPPos: return AppendNumber(out, position);
    case Column::kPcxName: return AppendPcxName(out, archive, r);
  }
}

std::string CellText(const Archive& archive, std::size_t row, Column column) {
  std::string text;
  AppendCell(text, archive, row, column);
  return text;
}

}  // namespace pelvaro::sff
