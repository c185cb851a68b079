#include "sff/sprite_table.h"

#include <algorithm>
#include <stdexcept>

namespace pelvaro::sff {

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

int SpriteTable::Add() {
  const int handle = Count();
  rows_.emplace_back();
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
  // std::string compares as unsigned bytes, which is the order the keys need.
  if (ascending_) {
    std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) {
      return rows_[static_cast<std::size_t>(a)][column] < rows_[static_cast<std::size_t>(b)][column];
    });
  } else {
    std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) {
      return rows_[static_cast<std::size_t>(b)][column] < rows_[static_cast<std::size_t>(a)][column];
    });
  }
  for (std::size_t i = 0; i < order_.size(); ++i) position_[static_cast<std::size_t>(order_[i])] = static_cast<int>(i);
}

}  // namespace pelvaro::sff
