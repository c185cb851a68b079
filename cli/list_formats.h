#pragma once

// The forms pelvaro-cli's list and check print in.
//
//   plain  list: the table as it has always been printed, cells as they are,
//          separated by TAB; check: one finding a line
//   tsv    list: the same header and rows, with a TAB, a line end or a
//          backslash inside a cell written \t, \n, \r, \\ (a file name on
//          Linux may hold any of them), so that every line is one row
//   json   an array with one object a line: for list the seven columns by
//          their captions (numbers as numbers), for check each finding

#include "commands/archive_check.h"
#include "sff/archive.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pelvaro::cli {

enum class OutputFormat { kPlain, kTsv, kJson };

// The format a --format word names, or nothing.
std::optional<OutputFormat> ParseOutputFormat(std::string_view word);

void AppendListHeader(std::string& out, OutputFormat format);
// Display row `row` (from 0) as a line of its own.
void AppendListRow(std::string& out, const sff::Archive& archive, std::size_t row, OutputFormat format);
void AppendListEnd(std::string& out, OutputFormat format);

// One check finding as a line; `first` tells whether it opens the JSON array.
void AppendFinding(std::string& out, const commands::CheckFinding& finding, OutputFormat format, bool first);
// What closes the findings: for JSON the array's end ("[]" when there were none).
void AppendFindingsEnd(std::string& out, OutputFormat format, bool any);

}  // namespace pelvaro::cli
