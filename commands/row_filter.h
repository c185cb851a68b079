#pragma once

// The rows a user asks for, in one line of terms separated by blanks, all of
// which must hold:
//
//   200         the rows of group 200
//   200,1       group 200, item 1
//   5000-5999   the rows of groups 5000 to 5999
//   linked      rows whose sprite reuses another's image
//   bad         rows whose image cannot be decoded
//
// The browser's filter field and pelvaro-cli's --rows read the same syntax.
// A filter hides rows; it never reorders or renumbers them.

#include "sff/archive.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pelvaro::commands {

struct FilterTerm {
  enum class Kind { kGroups, kPair, kLinked, kBad };
  Kind kind = Kind::kGroups;
  std::uint16_t firstGroup = 0;  // kGroups: the groups firstGroup..lastGroup; kPair: the group
  std::uint16_t lastGroup = 0;
  std::uint16_t item = 0;  // kPair
  bool operator==(const FilterTerm&) const = default;
};

// A stretch of the filter's text, in bytes.
struct TextSpan {
  std::size_t begin = 0;
  std::size_t end = 0;
  bool operator==(const TextSpan&) const = default;
};

struct RowFilter {
  std::vector<FilterTerm> terms;
  // Terms that could not be read: shown as such, and hiding nothing.
  std::vector<TextSpan> unreadable;

  bool empty() const { return terms.empty(); }
  bool asksDecoding() const;
};

// The syntax, as the filter field's placeholder and the help show it.
inline constexpr const char* kFilterSyntax = "200  200,1  5000-5999  linked  bad";

RowFilter ParseRowFilter(std::string_view text);

// Whether display row `row` reuses another sprite's image.
bool IsLinkedRow(const sff::Archive& archive, std::size_t row);

// Which rows' images cannot be decoded, worked out once per sprite when first
// asked: decoding every sprite of a large archive is the slow part of a filter.
class DecodeVerdicts {
 public:
  explicit DecodeVerdicts(const sff::Archive& archive);
  bool Bad(std::size_t row);

 private:
  const sff::Archive& archive_;
  std::vector<std::uint8_t> verdicts_;  // by chain position: 0 not yet decoded, 1 good, 2 bad
};

// The display rows that meet every term, ascending.
std::vector<std::size_t> FilterRows(const sff::Archive& archive, const RowFilter& filter, DecodeVerdicts& verdicts);

}  // namespace pelvaro::commands
