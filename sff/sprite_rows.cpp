#include "sff/sprite_rows.h"

#include "text/ansi_text.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <numeric>
#include <span>
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

// The parts of a sort key for palette flags 0 and 1, whose keys are all
// eleven bytes: a space or a digit, then the numbers. The lead orders the
// first byte: 0 for the portraits (" 00000..." sorts first), 1 for the shared
// palette ("0..."), 2 for a palette of its own ("1...").
struct KeyParts {
  std::uint32_t lead;
  std::uint32_t group;
  std::uint32_t item;
};

KeyParts KeyPartsOf(const SpriteRecord& r) {
  if (HasPortraitKey(r)) return {0, 0, r.ItemNo};
  return {r.PalFlag == 1 ? 1u : 2u, r.GroupNo, r.ItemNo};
}

// The key as one number in the order of the texts, each part in as many bits
// as the archive's largest value of it needs: an archive whose groups stay
// below 2,048 and items below 64 has keys of 19 bits, sorted in two passes
// where 34 bits take three.
class KeyPacking {
 public:
  KeyPacking(std::uint32_t anyGroupBits, std::uint32_t anyItemBits)
      : groupBits_(std::bit_width(anyGroupBits)), itemBits_(std::bit_width(anyItemBits)) {}
  int Bits() const { return kLeadBits + groupBits_ + itemBits_; }
  std::uint64_t Pack(const KeyParts& k) const {
    return (std::uint64_t{k.lead} << groupBits_ | k.group) << itemBits_ | k.item;
  }

 private:
  static constexpr int kLeadBits = 2;
  int groupBits_;
  int itemBits_;
};

// Packed keys and chain positions in one number, so a plain sort keeps equal
// keys in chain order. Keys take at most 34 bits, positions (below 2^27: a
// record per 32 bytes of a file under 2 GiB) the rest.
constexpr int kPositionBits = 27;

// Sorts numbers whose bits from kPositionBits up are a key of `keyBits`,
// keeping the order of equal keys (the chain positions below them already
// rise): a stable radix sort in as few passes of at most 12 bits as the key
// needs, from `keyed` to `spare` and back. A pass whose digit is the same
// for every number is skipped. Returns the half that holds the sorted numbers.
std::span<std::uint64_t> SortByKey(std::span<std::uint64_t> keyed, std::span<std::uint64_t> spare, int keyBits) {
  constexpr int kMostDigitBits = 12;
  if (keyed.size() < 2) return keyed;
  const int passes = std::max(1, (keyBits + kMostDigitBits - 1) / kMostDigitBits);
  const int digitBits = std::max(1, (keyBits + passes - 1) / passes);
  const std::size_t buckets = std::size_t{1} << digitBits;
  const auto digit = [&](std::uint64_t v, int pass) {
    return static_cast<std::size_t>(v >> (kPositionBits + pass * digitBits)) & (buckets - 1);
  };
  std::vector<std::uint32_t> counts(static_cast<std::size_t>(passes) * buckets, 0);
  for (const std::uint64_t v : keyed)
    for (int pass = 0; pass < passes; ++pass) ++counts[static_cast<std::size_t>(pass) * buckets + digit(v, pass)];
  for (int pass = 0; pass < passes; ++pass) {
    std::uint32_t* const count = counts.data() + static_cast<std::size_t>(pass) * buckets;
    if (count[digit(keyed.front(), pass)] == keyed.size()) continue;
    std::uint32_t at = 0;
    for (std::size_t b = 0; b < buckets; ++b) at += std::exchange(count[b], at);
    for (const std::uint64_t v : keyed) spare[count[digit(v, pass)]++] = v;
    std::swap(keyed, spare);
  }
  return keyed;
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
  std::uint32_t anyGroupBits = 0;
  std::uint32_t anyItemBits = 0;
  for (const SpriteRecord& r : records) {
    const KeyParts k = KeyPartsOf(r);
    anyGroupBits |= k.group;
    anyItemBits |= k.item;
  }
  const KeyPacking packing(anyGroupBits, anyItemBits);
  // The sort's two halves in one block: fresh memory costs a fault a page,
  // and one block of this size is one huge page.
  const std::size_t n = records.size();
  LargeVector<std::uint64_t> halves(2 * n);
  const std::span<std::uint64_t> keyed(halves.data(), n);
  for (std::size_t i = 0; i < n; ++i) keyed[i] = packing.Pack(KeyPartsOf(records[i])) << kPositionBits | i;
  const std::span<const std::uint64_t> sorted = SortByKey(keyed, std::span(halves.data() + n, n), packing.Bits());
  constexpr std::uint64_t kPositionMask = (std::uint64_t{1} << kPositionBits) - 1;
  RowOrder order(n);
  for (std::size_t k = 0; k < n; ++k) order[k] = static_cast<std::uint32_t>(sorted[k] & kPositionMask);
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
