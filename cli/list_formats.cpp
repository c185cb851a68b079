#include "cli/list_formats.h"

#include "cli/json_text.h"
#include "sff/sprite_rows.h"

namespace pelvaro::cli {
namespace {

// The columns that hold a plain decimal number.
bool IsNumberColumn(sff::Column column) {
  return column == sff::Column::kGroupNo || column == sff::Column::kItemNo || column == sff::Column::kPalType ||
         column == sff::Column::kPPos;
}

void AppendTsvCell(std::string& out, std::string_view cell) {
  for (const char c : cell) {
    switch (c) {
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\\': out += "\\\\"; break;
      default: out += c;
    }
  }
}

void AppendJsonRow(std::string& out, const sff::Archive& archive, std::size_t row) {
  std::string cell;
  out += '{';
  for (int c = 0; c < sff::kColumnCount; ++c) {
    const auto column = static_cast<sff::Column>(c);
    if (c) out += ", ";
    AppendJsonString(out, sff::kColumnCaptions[static_cast<std::size_t>(c)]);
    out += ": ";
    if (IsNumberColumn(column)) {
      sff::AppendCell(out, archive, row, column);
    } else {
      cell.clear();
      sff::AppendCell(cell, archive, row, column);
      AppendJsonString(out, cell);
    }
  }
  out += '}';
}

void AppendNumberField(std::string& out, const char* name, std::int64_t value) {
  out += ", \"";
  out += name;
  out += "\": ";
  out += std::to_string(value);
}

void AppendJsonFinding(std::string& out, const commands::CheckFinding& f) {
  using Kind = commands::CheckFinding::Kind;
  out += "{\"kind\": ";
  AppendJsonString(out, commands::FindingKindName(f.kind));
  if (f.row >= 0) {
    AppendNumberField(out, "row", f.row + 1);
    AppendNumberField(out, "position", f.position);
    AppendNumberField(out, "group", f.group);
    AppendNumberField(out, "item", f.item);
  }
  switch (f.kind) {
    case Kind::kDuplicatePair: AppendNumberField(out, "sameAs", f.other); break;
    case Kind::kLinkToLink:
    case Kind::kLinkToUnreached: AppendNumberField(out, "link", f.other); break;
    case Kind::kUnreached:
      AppendNumberField(out, "position", f.position);
      AppendNumberField(out, "count", f.count);
      break;
    case Kind::kUncoveredBytes:
      AppendNumberField(out, "offset", f.offset);
      AppendNumberField(out, "bytes", f.bytes);
      break;
    case Kind::kUndecodable:
    case Kind::kNoSharedPalette: break;
  }
  out += ", \"message\": ";
  AppendJsonString(out, commands::FindingText(f));
  out += '}';
}

}  // namespace

std::optional<OutputFormat> ParseOutputFormat(std::string_view word) {
  if (word == "tsv") return OutputFormat::kTsv;
  if (word == "json") return OutputFormat::kJson;
  return std::nullopt;
}

void AppendListHeader(std::string& out, OutputFormat format) {
  if (format == OutputFormat::kJson) {
    out += '[';
    return;
  }
  for (int c = 0; c < sff::kColumnCount; ++c) {
    if (c) out += '\t';
    out += sff::kColumnCaptions[static_cast<std::size_t>(c)];
  }
  out += '\n';
}

void AppendListRow(std::string& out, const sff::Archive& archive, std::size_t row, OutputFormat format) {
  if (format == OutputFormat::kJson) {
    out += row == 0 ? "\n" : ",\n";
    AppendJsonRow(out, archive, row);
    return;
  }
  if (format == OutputFormat::kTsv) {
    std::string cell;
    for (int c = 0; c < sff::kColumnCount; ++c) {
      if (c) out += '\t';
      cell.clear();
      sff::AppendCell(cell, archive, row, static_cast<sff::Column>(c));
      AppendTsvCell(out, cell);
    }
  } else {
    for (int c = 0; c < sff::kColumnCount; ++c) {
      if (c) out += '\t';
      sff::AppendCell(out, archive, row, static_cast<sff::Column>(c));
    }
  }
  out += '\n';
}

void AppendListEnd(std::string& out, OutputFormat format) {
  if (format == OutputFormat::kJson) out += "\n]\n";
}

void AppendFinding(std::string& out, const commands::CheckFinding& finding, OutputFormat format, bool first) {
  if (format != OutputFormat::kJson) {
    out += commands::FindingText(finding);
    out += '\n';
    return;
  }
  out += first ? "[\n" : ",\n";
  AppendJsonFinding(out, finding);
}

void AppendFindingsEnd(std::string& out, OutputFormat format, bool any) {
  if (format == OutputFormat::kJson) out += any ? "\n]\n" : "[]\n";
}

}  // namespace pelvaro::cli
