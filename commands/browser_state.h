#pragma once

// What the sprite browser shows beside the sprite on show: the rows the
// filter keeps, the groups they fall into with their counts, the rows of the
// chosen group, and the user's selection. Row numbers are always the list's
// display rows, so a filtered row keeps the number and file name that Save All
// gives it.

#include "commands/row_filter.h"
#include "sff/archive.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pelvaro::commands {

struct GroupEntry {
  std::uint16_t group = 0;
  std::size_t count = 0;   // rows of the group the filter keeps
  std::size_t linked = 0;  // how many of them are linked
  bool operator==(const GroupEntry&) const = default;
};

class BrowserState {
 public:
  // Starts again on `archive` (or none), keeping the filter's text.
  void Reset(const sff::Archive* archive);
  const sff::Archive* archive() const { return archive_; }

  void SetFilter(std::string text);
  const std::string& filterText() const { return filterText_; }
  const RowFilter& filter() const { return filter_; }

  // The rows the filter keeps, ascending.
  const std::vector<std::size_t>& visibleRows() const { return visible_; }
  bool IsVisible(std::size_t row) const;
  // "n / total".
  std::string CountText() const;

  // The groups of the visible rows, in the order their first rows come.
  const std::vector<GroupEntry>& groups() const { return groups_; }
  std::optional<std::uint16_t> chosenGroup() const { return chosen_; }
  // The index in groups() of the chosen group.
  std::optional<std::size_t> chosenGroupIndex() const;
  // The visible rows of the chosen group, ascending.
  const std::vector<std::size_t>& groupRows() const { return groupRows_; }
  // Chooses the group of display row `row`, when that row is visible.
  void ChooseGroupOfRow(std::size_t row);
  void ChooseGroup(std::uint16_t group);

  // The selected display rows, ascending and visible.
  const std::vector<std::size_t>& selection() const { return selection_; }
  void Select(std::vector<std::size_t> rows);

 private:
  void Refilter();
  void CollectGroupRows();

  const sff::Archive* archive_ = nullptr;
  std::unique_ptr<DecodeVerdicts> verdicts_;
  std::string filterText_;
  RowFilter filter_;
  std::vector<std::size_t> visible_;
  std::vector<GroupEntry> groups_;
  std::optional<std::uint16_t> chosen_;
  std::vector<std::size_t> groupRows_;
  std::vector<std::size_t> selection_;
};

}  // namespace pelvaro::commands
