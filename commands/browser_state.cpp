#include "commands/browser_state.h"

#include <algorithm>
#include <unordered_map>

namespace pelvaro::commands {

void BrowserState::Reset(const sff::Archive* archive) {
  archive_ = archive;
  verdicts_ = archive ? std::make_unique<DecodeVerdicts>(*archive) : nullptr;
  chosen_.reset();
  Refilter();
}

void BrowserState::SetFilter(std::string text) {
  filterText_ = std::move(text);
  Refilter();
}

void BrowserState::Refilter() {
  filter_ = ParseRowFilter(filterText_);
  visible_.clear();
  groups_.clear();
  selection_.clear();
  if (archive_) {
    visible_ = FilterRows(*archive_, filter_, *verdicts_);
    std::unordered_map<std::uint16_t, std::size_t> index;
    for (const std::size_t row : visible_) {
      const std::uint16_t group = archive_->RecordOfRow(row).GroupNo;
      auto [at, fresh] = index.try_emplace(group, groups_.size());
      if (fresh) groups_.push_back({group, 0, 0});
      GroupEntry& entry = groups_[at->second];
      ++entry.count;
      if (IsLinkedRow(*archive_, row)) ++entry.linked;
    }
  }
  if (chosen_ && !std::any_of(groups_.begin(), groups_.end(), [&](const GroupEntry& g) { return g.group == *chosen_; }))
    chosen_.reset();
  CollectGroupRows();
}

bool BrowserState::IsVisible(std::size_t row) const {
  return std::binary_search(visible_.begin(), visible_.end(), row);
}

std::string BrowserState::CountText() const {
  return std::to_string(visible_.size()) + " / " + std::to_string(archive_ ? archive_->RowCount() : 0);
}

std::optional<std::size_t> BrowserState::chosenGroupIndex() const {
  if (!chosen_) return std::nullopt;
  const auto at = std::find_if(groups_.begin(), groups_.end(), [&](const GroupEntry& g) { return g.group == *chosen_; });
  if (at == groups_.end()) return std::nullopt;
  return static_cast<std::size_t>(at - groups_.begin());
}

void BrowserState::ChooseGroupOfRow(std::size_t row) {
  if (!archive_ || row >= archive_->RowCount() || !IsVisible(row)) return;
  ChooseGroup(archive_->RecordOfRow(row).GroupNo);
}

void BrowserState::ChooseGroup(std::uint16_t group) {
  if (chosen_ == group) return;
  chosen_ = group;
  selection_.clear();
  CollectGroupRows();
}

void BrowserState::CollectGroupRows() {
  groupRows_.clear();
  if (!archive_ || !chosen_) return;
  for (const std::size_t row : visible_)
    if (archive_->RecordOfRow(row).GroupNo == *chosen_) groupRows_.push_back(row);
}

void BrowserState::Select(std::vector<std::size_t> rows) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  std::erase_if(rows, [this](std::size_t row) { return !IsVisible(row); });
  selection_ = std::move(rows);
}

}  // namespace pelvaro::commands
