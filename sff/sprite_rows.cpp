#include "sff/sprite_rows.h"

#include "text/ansi_text.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <numeric>
#include <span>
#include <string_view>
#include <type_traits>
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
// where 34 bits take three, and held in 32 bits.
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

// A stable radix sort of keys of up to 34 bits, in at most three passes of
// at most 12 bits each: as few as the keys need, the same width each.
class RadixDigits {
 public:
  static constexpr int kMostPasses = 3;
  explicit RadixDigits(int keyBits)
      : bits_(std::max(1, (keyBits + Passes(keyBits) - 1) / Passes(keyBits))), mask_((std::uint64_t{1} << bits_) - 1) {}
  std::size_t Buckets() const { return std::size_t{1} << bits_; }
  template <class Key>
  std::size_t Of(Key key, int pass) const {
    return static_cast<std::size_t>(key >> (pass * bits_) & mask_);
  }

 private:
  static constexpr int kMostDigitBits = 12;
  static int Passes(int keyBits) { return std::max(1, (keyBits + kMostDigitBits - 1) / kMostDigitBits); }
  int bits_;
  std::uint64_t mask_;
};

// The display order of an archive whose palette flags are all 0 or 1: chain
// positions in the order of their packed keys, equal keys in chain order.
// The positions move, the keys stay where they are and are looked up, and
// the last pass writes into the order. A pass whose digit is the same for
// every key is skipped; so is every pass beyond those the keys need, whose
// digits are all 0.
template <class Key>
RowOrder OrderByPackedKeys(const Records& records, const KeyPacking& packing) {
  const std::size_t n = records.size();
  const RadixDigits digits(packing.Bits());
  const std::size_t buckets = digits.Buckets();
  // Keys of 32 bits and the sort's spare half share one block: fresh memory
  // costs a fault a page, and one block of this size is one huge page.
  constexpr bool kNarrow = std::is_same_v<Key, std::uint32_t>;
  LargeVector<Key> keyBlock(kNarrow ? 2 * n : n);
  LargeVector<std::uint32_t> spareBlock(kNarrow ? 0 : n);
  const std::span<Key> keys(keyBlock.data(), n);
  std::span<std::uint32_t> spare;
  if constexpr (kNarrow) {
    spare = std::span(keyBlock.data() + n, n);
  } else {
    spare = spareBlock;
  }
  std::vector<std::uint32_t> counts(RadixDigits::kMostPasses * buckets, 0);
  std::uint32_t* const count0 = counts.data();
  std::uint32_t* const count1 = count0 + buckets;
  std::uint32_t* const count2 = count1 + buckets;
  for (std::size_t i = 0; i < n; ++i) {
    const auto key = static_cast<Key>(packing.Pack(KeyPartsOf(records[i])));
    keys[i] = key;
    ++count0[digits.Of(key, 0)];
    ++count1[digits.Of(key, 1)];
    ++count2[digits.Of(key, 2)];
  }

  std::array<int, RadixDigits::kMostPasses> moving{};
  std::size_t movingCount = 0;
  for (int pass = 0; pass < RadixDigits::kMostPasses; ++pass)
    if (counts[static_cast<std::size_t>(pass) * buckets + digits.Of(keys[0], pass)] != n) moving[movingCount++] = pass;
  RowOrder order(n);
  if (movingCount == 0) {
    std::iota(order.begin(), order.end(), 0u);
    return order;
  }
  // Each pass writes the other half, so that the last one ends in the order.
  std::span<std::uint32_t> to = movingCount % 2 == 1 ? std::span(order) : spare;
  std::span<std::uint32_t> from = movingCount % 2 == 1 ? spare : std::span(order);
  for (std::size_t m = 0; m < movingCount; ++m) {
    const int pass = moving[m];
    std::uint32_t* const count = counts.data() + static_cast<std::size_t>(pass) * buckets;
    std::uint32_t at = 0;
    for (std::size_t b = 0; b < buckets; ++b) at += std::exchange(count[b], at);
    if (m == 0) {
      for (std::uint32_t i = 0; i < n; ++i) to[count[digits.Of(keys[i], pass)]++] = i;
    } else {
      for (const std::uint32_t i : from) to[count[digits.Of(keys[i], pass)]++] = i;
    }
    std::swap(to, from);
  }
  return order;
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
  if (records.empty()) return {};
  std::uint32_t anyGroupBits = 0;
  std::uint32_t anyItemBits = 0;
  std::uint8_t anyFlagBits = 0;
  for (const SpriteRecord& r : records) {
    const KeyParts k = KeyPartsOf(r);
    anyGroupBits |= k.group;
    anyItemBits |= k.item;
    anyFlagBits |= r.PalFlag;
  }
  if (anyFlagBits > 1) return OrderByKeyTexts(records);
  const KeyPacking packing(anyGroupBits, anyItemBits);
  if (packing.Bits() <= 32) return OrderByPackedKeys<std::uint32_t>(records, packing);
  return OrderByPackedKeys<std::uint64_t>(records, packing);
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
