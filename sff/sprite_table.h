#pragma once

// The sprite table: rows of seven texts as the sprite list shows them, with the
// list's built-in sorting. While sorting is on, the rows stand ordered by the
// sort column (texts compared byte by byte, equal keys in the order they were
// added); the order is brought up to date when it is next read, so filling the
// table costs one sort, not one per row.
//
// All texts live in one character store and a row is seven (offset, length)
// cells into it: an archive lists tens of thousands of sprites, and seven
// separately allocated strings a row cost more to build, sort through and free
// than everything else the loader does.

#include "sff/byte_image.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pelvaro::sff {

class SpriteTable {
 public:
  enum Column : int { kSortNo = 0, kGroupNo, kItemNo, kPalType, kSortKey, kPPos, kPcxName };
  static constexpr int kColumnCount = 7;
  using Texts = std::array<std::string_view, kColumnCount>;
  // The longest text a cell holds (16 MiB less one byte).
  static constexpr std::size_t kMaxTextBytes = (std::size_t{1} << 24) - 1;

  // The texts of one row; valid until the table next changes.
  class RowView {
   public:
    std::string_view operator[](int column) const { return table_->TextOfCell(handle_, column); }

   private:
    friend class SpriteTable;
    RowView(const SpriteTable* table, int handle) : table_(table), handle_(handle) {}
    const SpriteTable* table_;
    int handle_;
  };

  static const std::array<const char*, kColumnCount>& Captions();

  void Clear();
  // Adds an empty row at the end and returns its handle (valid until Clear).
  int Add();
  // Adds a row holding `texts` at the end and returns its handle: the loader's
  // way, which writes each row once instead of empty first and filled after.
  int Add(const Texts& texts);
  void SetText(int handle, int column, std::string_view text);
  // Makes room for `rows` rows holding `textBytes` bytes of text in all,
  // so that adding them does not move what is already there.
  void Reserve(int rows, std::size_t textBytes = 0);

  int Count() const { return static_cast<int>(cells_.size()); }
  // The row at 1-based `position` in the current order.
  RowView RowAt(int position) const { return RowView(this, HandleAt(position)); }
  std::string_view Text(int position, int column) const { return RowAt(position)[column]; }
  int HandleAt(int position) const;
  // 1-based position of the row with `handle` in the current order.
  int PositionOf(int handle) const;

  void SetSortColumn(int column);
  void SetSortAscending(bool ascending);
  void SetSorted(bool sorted);
  // Takes `order` (every handle once, in display order) as the order of a
  // sorted table when it is the one sorting would give, without sorting:
  // for callers that can order their rows more quickly than as texts. Any
  // other order is ignored and the rows are sorted as usual.
  void SetOrder(std::vector<int> order);
  int SortColumn() const { return sortColumn_; }
  bool SortAscending() const { return ascending_; }
  bool Sorted() const { return sorted_; }

 private:
  // A text's place in chars_: offset in the low 40 bits, length in the high 24.
  using Cell = std::uint64_t;

  std::string_view TextOfCell(int handle, int column) const {
    const Cell cell = cells_[static_cast<std::size_t>(handle)][static_cast<std::size_t>(column)];
    return {chars_.data() + (cell & kOffsetMask), static_cast<std::size_t>(cell >> kOffsetBits)};
  }
  static Cell CellOf(std::size_t offset, std::size_t length) { return Cell{offset} | Cell{length} << kOffsetBits; }
  Cell Append(std::string_view text);
  int AddStored(const Texts& texts);
  bool Inside(std::string_view text) const;
  void Compact();
  void MarkDirty() { dirty_ = sorted_; }
  void EnsureOrder() const;
  bool InSortOrder(const std::vector<int>& order) const;

  static constexpr int kOffsetBits = 40;
  static constexpr Cell kOffsetMask = (Cell{1} << kOffsetBits) - 1;
  // Texts replaced by longer ones leave their space unused; past this much,
  // and more than half the store, the store is rebuilt without it.
  static constexpr std::size_t kCompactAbove = 1 << 20;

  // Grown without zero-filling: every byte is written as its text is stored.
  using Chars = std::vector<char, DefaultInitAllocator<char>>;

  std::vector<std::array<Cell, kColumnCount>> cells_;  // in the order the rows were added
  Chars chars_;                                         // every text, one after another
  std::size_t unused_ = 0;                              // bytes of chars_ no cell covers
  mutable std::vector<int> order_;                      // display position - 1 -> handle
  mutable std::vector<int> position_;                   // handle -> display position - 1
  mutable bool dirty_ = false;
  int sortColumn_ = 0;
  bool ascending_ = true;
  bool sorted_ = false;
};

}  // namespace pelvaro::sff
