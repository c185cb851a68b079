#include "commands/row_filter.h"

#include "export/png_export.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace pelvaro::commands {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::optional<std::uint16_t> Number(std::string_view digits) {
  if (digits.empty() || digits.size() > 5) return std::nullopt;
  unsigned value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size() || value > 0xFFFF) return std::nullopt;
  return static_cast<std::uint16_t>(value);
}

bool SameWord(std::string_view term, std::string_view word) {
  return term.size() == word.size() && std::equal(term.begin(), term.end(), word.begin(), [](char a, char b) {
           return (a >= 'A' && a <= 'Z' ? char(a - 'A' + 'a') : a) == b;
         });
}

std::optional<FilterTerm> ReadTerm(std::string_view term) {
  FilterTerm read;
  if (SameWord(term, "linked")) return read.kind = FilterTerm::Kind::kLinked, read;
  if (SameWord(term, "bad")) return read.kind = FilterTerm::Kind::kBad, read;
  if (const auto comma = term.find(','); comma != std::string_view::npos) {
    const auto group = Number(term.substr(0, comma));
    const auto item = Number(term.substr(comma + 1));
    if (!group || !item) return std::nullopt;
    read.kind = FilterTerm::Kind::kPair;
    read.firstGroup = read.lastGroup = *group;
    read.item = *item;
    return read;
  }
  if (const auto dash = term.find('-'); dash != std::string_view::npos) {
    const auto first = Number(term.substr(0, dash));
    const auto last = Number(term.substr(dash + 1));
    if (!first || !last) return std::nullopt;
    // Either way round means the same groups.
    read.firstGroup = std::min(*first, *last);
    read.lastGroup = std::max(*first, *last);
    return read;
  }
  const auto group = Number(term);
  if (!group) return std::nullopt;
  read.firstGroup = read.lastGroup = *group;
  return read;
}

bool Holds(const FilterTerm& term, const sff::Archive& archive, std::size_t row, DecodeVerdicts& verdicts) {
  const sff::SpriteRecord& record = archive.RecordOfRow(row);
  switch (term.kind) {
    case FilterTerm::Kind::kGroups: return record.GroupNo >= term.firstGroup && record.GroupNo <= term.lastGroup;
    case FilterTerm::Kind::kPair: return record.GroupNo == term.firstGroup && record.ItemNo == term.item;
    case FilterTerm::Kind::kLinked: return IsLinkedRow(archive, row);
    case FilterTerm::Kind::kBad: return verdicts.Bad(row);
  }
  return false;
}

}  // namespace

bool RowFilter::asksDecoding() const {
  return std::any_of(terms.begin(), terms.end(), [](const FilterTerm& t) { return t.kind == FilterTerm::Kind::kBad; });
}

RowFilter ParseRowFilter(std::string_view text) {
  RowFilter filter;
  std::size_t at = 0;
  while (at < text.size()) {
    if (IsBlank(text[at])) {
      ++at;
      continue;
    }
    std::size_t end = at;
    while (end < text.size() && !IsBlank(text[end])) ++end;
    if (const auto term = ReadTerm(text.substr(at, end - at))) {
      filter.terms.push_back(*term);
    } else {
      filter.unreadable.push_back({at, end});
    }
    at = end;
  }
  return filter;
}

bool IsLinkedRow(const sff::Archive& archive, std::size_t row) {
  // A link to itself keeps its own image: it is no link.
  const std::uint16_t link = archive.RecordOfRow(row).LinkNo;
  return link != 0 && link != archive.DisplayOrder()[row];
}

DecodeVerdicts::DecodeVerdicts(const sff::Archive& archive)
    : archive_(archive), verdicts_(archive.SpriteInfo().size(), 0) {}

bool DecodeVerdicts::Bad(std::size_t row) {
  const std::uint32_t position = archive_.DisplayOrder()[row];
  std::uint8_t& verdict = verdicts_[position];
  if (verdict == 0) verdict = exporter::CheckSprite(archive_, archive_.RecordOfRow(row)) ? 1 : 2;
  return verdict == 2;
}

std::vector<std::size_t> FilterRows(const sff::Archive& archive, const RowFilter& filter, DecodeVerdicts& verdicts) {
  std::vector<std::size_t> rows;
  const std::size_t count = archive.RowCount();
  rows.reserve(filter.empty() ? count : 0);
  for (std::size_t row = 0; row < count; ++row) {
    const bool all = std::all_of(filter.terms.begin(), filter.terms.end(),
                                 [&](const FilterTerm& term) { return Holds(term, archive, row, verdicts); });
    if (all) rows.push_back(row);
  }
  return rows;
}

}  // namespace pelvaro::commands
