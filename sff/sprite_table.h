#pragma once

// The sprite table: rows of seven texts as the sprite list shows them, with the
// list's built-in sorting. While sorting is on, the rows stand ordered by the
// sort column (texts compared byte by byte, equal keys in the order they were
// added); the order is brought up to date when it is next read, so filling the
// table costs one sort, not one per row.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace pelvaro::sff {

class SpriteTable {
 public:
  enum Column : int { kSortNo = 0, kGroupNo, kItemNo, kPalType, kSortKey, kPPos, kPcxName };
  static constexpr int kColumnCount = 7;
  using Row = std::array<std::string, kColumnCount>;

  static const std::array<const char*, kColumnCount>& Captions();

  void Clear();
  // Adds an empty row at the end and returns its handle (valid until Clear).
  int Add();
  // Adds a row holding `texts` at the end and returns its handle: the loader's
  // way, which writes each row once instead of empty first and filled after.
  int Add(Row texts);
  void SetText(int handle, int column, std::string text);
  // Makes room for `rows` rows without reallocating while they are added.
  void Reserve(int rows);

  int Count() const { return static_cast<int>(rows_.size()); }
  // The row at 1-based `position` in the current order.
  const Row& RowAt(int position) const;
  const std::string& Text(int position, int column) const { return RowAt(position)[column]; }
  int HandleAt(int position) const;
  // 1-based position of the row with `handle` in the current order.
  int PositionOf(int handle) const;

  void SetSortColumn(int column);
  void SetSortAscending(bool ascending);
  void SetSorted(bool sorted);
  int SortColumn() const { return sortColumn_; }
  bool SortAscending() const { return ascending_; }
  bool Sorted() const { return sorted_; }

 private:
  void MarkDirty() { dirty_ = sorted_; }
  void EnsureOrder() const;

  std::vector<Row> rows_;              // in the order they were added
  mutable std::vector<int> order_;     // display position - 1 -> handle
  mutable std::vector<int> position_;  // handle -> display position - 1
  mutable bool dirty_ = false;
  int sortColumn_ = 0;
  bool ascending_ = true;
  bool sorted_ = false;
};

}  // namespace pelvaro::sff
