#include "sff/sprite_table.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <tuple>
#include <utility>

namespace pelvaro::sff {
namespace {

// A row as the sort sees it: the first 16 bytes of its key, zero-filled past
// its end, and the row. For a descending sort every byte is inverted, so that
// both directions sort the prefixes ascending.
//
// Keys whose prefixes differ stand in the order of their prefixes (a key that
// ends inside the prefix is a beginning of the other, and sorts before it
// ascending, after it descending); keys with equal prefixes may still differ
// further on, and are compared whole afterwards.
struct SortEntry {
  std::array<std::uint8_t, 16> prefix;
  int handle;
};

SortEntry EntryOf(std::string_view key, int handle, bool ascending) {
  SortEntry e{{}, handle};
  const std::size_t n = std::min(key.size(), e.prefix.size());
  for (std::size_t i = 0; i < n; ++i) e.prefix[i] = static_cast<std::uint8_t>(key[i]);
  if (!ascending)
    for (auto& byte : e.prefix) byte = static_cast<std::uint8_t>(~byte);
  return e;
}

// Stable sort by prefix: one counting pass per byte, last byte first, for the
// bytes that are not the same in every entry. Linear in the rows, and it never
// reaches into the rows for their texts, which a comparison sort does about
// log2(rows) times for every row.
void RadixSortByPrefix(std::vector<SortEntry>& entries) {
  constexpr std::size_t kBytes = std::tuple_size_v<decltype(SortEntry::prefix)>;
  if (entries.size() < 2) return;
  // Which bytes differ from the first entry's anywhere, sixteen at a time.
  std::uint64_t first[2];
  std::memcpy(first, entries.front().prefix.data(), kBytes);
  std::uint64_t differs[2] = {0, 0};
  for (const SortEntry& e : entries) {
    std::uint64_t words[2];
    std::memcpy(words, e.prefix.data(), kBytes);
    differs[0] |= words[0] ^ first[0];
    differs[1] |= words[1] ^ first[1];
  }
  std::array<std::uint8_t, kBytes> differingBytes;
  std::memcpy(differingBytes.data(), differs, kBytes);
  std::vector<std::size_t> varying;
  for (std::size_t k = kBytes; k-- > 0;)
    if (differingBytes[k] != 0) varying.push_back(k);

  std::vector<std::array<std::size_t, 256>> start(varying.size(), std::array<std::size_t, 256>{});
  for (const SortEntry& e : entries)
    for (std::size_t v = 0; v < varying.size(); ++v) ++start[v][e.prefix[varying[v]]];
  std::vector<SortEntry> sorted(entries.size());
  for (std::size_t v = 0; v < varying.size(); ++v) {
    auto& bucket = start[v];
    std::size_t sum = 0;
    for (std::size_t& slot : bucket) sum += std::exchange(slot, sum);
    const std::size_t k = varying[v];
    for (const SortEntry& e : entries) sorted[bucket[e.prefix[k]]++] = e;
    entries.swap(sorted);
  }
}

}  // namespace

const std::array<const char*, SpriteTable::kColumnCount>& SpriteTable::Captions() {
  static const std::array<const char*, kColumnCount> captions = {"SortNo", "GroupNo", "ItemNo", "PalType",
                                                                "SortKey", "P.Pos",   "PCX Name"};
  return captions;
}

void SpriteTable::Clear() {
  cells_.clear();
  chars_.clear();
  order_.clear();
  position_.clear();
  unused_ = 0;
  dirty_ = false;
}

void SpriteTable::Reserve(int rows, std::size_t textBytes) {
  cells_.reserve(static_cast<std::size_t>(rows));
  chars_.reserve(textBytes);
  order_.reserve(static_cast<std::size_t>(rows));
  position_.reserve(static_cast<std::size_t>(rows));
}

SpriteTable::Cell SpriteTable::Append(std::string_view text) {
  if (text.size() > kMaxTextBytes) throw std::length_error("SpriteTable: a text longer than a cell holds");
  const std::size_t offset = chars_.size();
  if (offset + text.size() > kOffsetMask) throw std::length_error("SpriteTable: more text than the table holds");
  chars_.resize(offset + text.size());
  if (!text.empty()) std::memcpy(chars_.data() + offset, text.data(), text.size());
  return CellOf(offset, text.size());
}

int SpriteTable::Add() { return Add(Texts{}); }

int SpriteTable::Add(const Texts& texts) {
  // A text of this table itself would move when the store grows: such a row
  // is copied out first.
  for (const std::string_view text : texts)
    if (Inside(text)) {
      std::array<std::string, kColumnCount> copies;
      Texts views;
      for (std::size_t c = 0; c < copies.size(); ++c) views[c] = copies[c] = std::string(texts[c]);
      return AddStored(views);
    }
  return AddStored(texts);
}

int SpriteTable::AddStored(const Texts& texts) {
  // Checked before any text is stored, so a refused row leaves nothing behind.
  std::size_t total = 0;
  for (const std::string_view text : texts) {
    if (text.size() > kMaxTextBytes) throw std::length_error("SpriteTable: a text longer than a cell holds");
    total += text.size();
  }
  if (chars_.size() + total > kOffsetMask) throw std::length_error("SpriteTable: more text than the table holds");
  std::size_t offset = chars_.size();
  chars_.resize(offset + total);
  std::array<Cell, kColumnCount> row;
  for (std::size_t c = 0; c < row.size(); ++c) {
    const std::string_view text = texts[c];
    if (!text.empty()) std::memcpy(chars_.data() + offset, text.data(), text.size());
    row[c] = CellOf(offset, text.size());
    offset += text.size();
  }
  const int handle = Count();
  cells_.push_back(row);
  // Until the next sort a new row stands at the end.
  order_.push_back(handle);
  position_.push_back(handle);
  MarkDirty();
  return handle;
}

bool SpriteTable::Inside(std::string_view text) const {
  const std::less<const char*> before;
  return !text.empty() && !before(text.data(), chars_.data()) && before(text.data(), chars_.data() + chars_.size());
}

void SpriteTable::SetText(int handle, int column, std::string_view text) {
  if (handle < 0 || handle >= Count() || column < 0 || column >= kColumnCount)
    throw std::out_of_range("SpriteTable::SetText: no such row or column");
  if (text.size() > kMaxTextBytes) throw std::length_error("SpriteTable: a text longer than a cell holds");
  Cell& cell = cells_[static_cast<std::size_t>(handle)][static_cast<std::size_t>(column)];
  const std::size_t offset = cell & kOffsetMask;
  const std::size_t length = cell >> kOffsetBits;
  if (text.size() <= length) {
    // Fits where the old text was: written over it (the text may be part of it).
    std::memmove(chars_.data() + offset, text.data(), text.size());
    cell = CellOf(offset, text.size());
    unused_ += length - text.size();
  } else if (Inside(text)) {
    const std::string copy(text);
    cell = Append(copy);
    unused_ += length;
  } else {
    cell = Append(text);
    unused_ += length;
  }
  if (unused_ > kCompactAbove && unused_ > chars_.size() / 2) Compact();
  if (column == sortColumn_) MarkDirty();
}

// Copies the texts in use to a new store, leaving the space old texts held.
void SpriteTable::Compact() {
  Chars kept;
  kept.reserve(chars_.size() - unused_);
  for (auto& row : cells_)
    for (Cell& cell : row) {
      const std::size_t length = cell >> kOffsetBits;
      const auto from = chars_.begin() + static_cast<std::ptrdiff_t>(cell & kOffsetMask);
      cell = CellOf(kept.size(), length);
      kept.insert(kept.end(), from, from + static_cast<std::ptrdiff_t>(length));
    }
  chars_.swap(kept);
  unused_ = 0;
}

int SpriteTable::HandleAt(int position) const {
  if (position < 1 || position > Count()) throw std::out_of_range("SpriteTable: no row at this position");
  EnsureOrder();
  return order_[static_cast<std::size_t>(position - 1)];
}

int SpriteTable::PositionOf(int handle) const {
  if (handle < 0 || handle >= Count()) throw std::out_of_range("SpriteTable: no such row");
  EnsureOrder();
  return position_[static_cast<std::size_t>(handle)] + 1;
}

void SpriteTable::SetSortColumn(int column) {
  if (column < 0 || column >= kColumnCount) throw std::out_of_range("SpriteTable: no such column");
  if (column != sortColumn_) {
    sortColumn_ = column;
    MarkDirty();
  }
}

void SpriteTable::SetSortAscending(bool ascending) {
  if (ascending != ascending_) {
    ascending_ = ascending;
    MarkDirty();
  }
}

void SpriteTable::SetSorted(bool sorted) {
  sorted_ = sorted;
  MarkDirty();
}

void SpriteTable::SetOrder(std::vector<int> order) {
  if (!sorted_ || order.size() != order_.size()) return;
  // Every handle exactly once.
  std::vector<int> position(order.size(), -1);
  for (std::size_t i = 0; i < order.size(); ++i) {
    const int handle = order[i];
    if (handle < 0 || handle >= Count() || position[static_cast<std::size_t>(handle)] >= 0) return;
    position[static_cast<std::size_t>(handle)] = static_cast<int>(i);
  }
  if (!InSortOrder(order)) return;
  order_ = std::move(order);
  position_ = std::move(position);
  dirty_ = false;
}

// True when no row of `order` should stand before the one ahead of it: keys
// in sort order, and equal keys in the order the rows were added.
bool SpriteTable::InSortOrder(const std::vector<int>& order) const {
  for (std::size_t i = 1; i < order.size(); ++i) {
    const std::string_view a = TextOfCell(order[i - 1], sortColumn_);
    const std::string_view b = TextOfCell(order[i], sortColumn_);
    const int c = ascending_ ? a.compare(b) : b.compare(a);
    if (c > 0 || (c == 0 && order[i - 1] > order[i])) return false;
  }
  return true;
}

void SpriteTable::EnsureOrder() const {
  if (!dirty_) return;
  dirty_ = false;
  const auto column = static_cast<std::size_t>(sortColumn_);
  const auto keyOf = [&](int handle) { return TextOfCell(handle, static_cast<int>(column)); };
  // Texts compare as unsigned bytes, which is the order the keys need.
  const auto before = [&](int a, int b) { return ascending_ ? keyOf(a) < keyOf(b) : keyOf(b) < keyOf(a); };

  // Rows already in order keep it, as a stable sort would leave them. The
  // loader numbers the rows along their order and then sorts by the numbers:
  // one pass instead of a second sort.
  if (std::is_sorted(order_.begin(), order_.end(), before)) return;

  std::vector<SortEntry> entries(order_.size());
  for (std::size_t i = 0; i < order_.size(); ++i) entries[i] = EntryOf(keyOf(order_[i]), order_[i], ascending_);
  RadixSortByPrefix(entries);
  // Keys that share their first 16 bytes are put in order by their whole text.
  for (auto run = entries.begin(); run != entries.end();) {
    const auto end =
        std::find_if(run + 1, entries.end(), [&](const SortEntry& e) { return e.prefix != run->prefix; });
    if (end - run > 1)
      std::stable_sort(run, end, [&](const SortEntry& a, const SortEntry& b) { return before(a.handle, b.handle); });
    run = end;
  }
  for (std::size_t i = 0; i < order_.size(); ++i) {
    order_[i] = entries[i].handle;
    position_[static_cast<std::size_t>(entries[i].handle)] = static_cast<int>(i);
  }
}

}  // namespace pelvaro::sff
