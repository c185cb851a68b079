#include "sff/sprite_table.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <stdexcept>
#include <tuple>

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

SortEntry EntryOf(const std::string& key, int handle, bool ascending) {
  SortEntry e{{}, handle};
  const std::size_t n = std::min(key.size(), e.prefix.size());
  for (std::size_t i = 0; i < n; ++i) e.prefix[i] = static_cast<std::uint8_t>(key[i]);
  if (!ascending)
    for (auto& byte : e.prefix) byte = static_cast<std::uint8_t>(~byte);
  return e;
}

// Stable sort by prefix: one counting pass per byte, last byte first, skipping
// bytes that are the same in every entry. Linear in the rows, and it never
// reaches into the rows for their texts, which a comparison sort does about
// log2(rows) times for every row.
void RadixSortByPrefix(std::vector<SortEntry>& entries) {
  constexpr std::size_t kBytes = std::tuple_size_v<decltype(SortEntry::prefix)>;
  std::array<std::array<std::size_t, 257>, kBytes> start{};
  for (const SortEntry& e : entries)
    for (std::size_t k = 0; k < kBytes; ++k) ++start[k][e.prefix[k] + 1u];
  std::vector<SortEntry> sorted(entries.size());
  for (std::size_t k = kBytes; k-- > 0;) {
    auto& bucket = start[k];
    if (std::find(bucket.begin() + 1, bucket.end(), entries.size()) != bucket.end()) continue;
    for (std::size_t b = 1; b < bucket.size(); ++b) bucket[b] += bucket[b - 1];
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
  rows_.clear();
  order_.clear();
  position_.clear();
  dirty_ = false;
}

void SpriteTable::Reserve(int rows) {
  rows_.reserve(static_cast<std::size_t>(rows));
  order_.reserve(static_cast<std::size_t>(rows));
  position_.reserve(static_cast<std::size_t>(rows));
}

int SpriteTable::Add() { return Add(Row{}); }

int SpriteTable::Add(Row texts) {
  const int handle = Count();
  rows_.push_back(std::move(texts));
  // Until the next sort a new row stands at the end.
  order_.push_back(handle);
  position_.push_back(handle);
  MarkDirty();
  return handle;
}

void SpriteTable::SetText(int handle, int column, std::string text) {
  if (handle < 0 || handle >= Count() || column < 0 || column >= kColumnCount)
    throw std::out_of_range("SpriteTable::SetText: no such row or column");
  rows_[static_cast<std::size_t>(handle)][static_cast<std::size_t>(column)] = std::move(text);
  if (column == sortColumn_) MarkDirty();
}

const SpriteTable::Row& SpriteTable::RowAt(int position) const {
  return rows_[static_cast<std::size_t>(HandleAt(position))];
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

void SpriteTable::EnsureOrder() const {
  if (!dirty_) return;
  dirty_ = false;
  const auto column = static_cast<std::size_t>(sortColumn_);
  const auto keyOf = [&](int handle) -> const std::string& { return rows_[static_cast<std::size_t>(handle)][column]; };
  // std::string compares as unsigned bytes, which is the order the keys need.
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
