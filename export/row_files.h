#pragma once

// The walk both exports make: the rows asked for, in display order, each
// named row's file at the folder followed by the row's file name.

#include "base/result.h"
#include "export/export_summary.h"
#include "export/write_error.h"
#include "sff/archive.h"

#include <cstddef>
#include <span>
#include <string>

namespace pelvaro::exporter {

// The display rows an export writes: every row, or a subset of them (each
// below the row count, ascending, so the files come out in display order).
struct RowSelection {
  bool all = true;
  std::span<const std::size_t> rows;  // when not all

  static RowSelection All() { return {}; }
  static RowSelection Only(std::span<const std::size_t> rows) { return {false, rows}; }
};

// Hands `writeRow(row, record, path)` the path of every selected row that
// `appendName` gives a name; a row without one is passed over and counted as
// skipped. Reports progress after every row, stops when the progress asks it
// to, and stops at the first write error.
template <class AppendName, class WriteRow>
Result<Done, WriteError> WalkRowFiles(const std::string& folder, const sff::Archive& archive,
                                      const RowSelection& selection, AppendName appendName,
                                      const ProgressFn& progress, ExportSummary& summary, WriteRow writeRow) {
  const std::size_t total = selection.all ? archive.RowCount() : selection.rows.size();
  std::string path;
  for (std::size_t done = 0; done < total; ++done) {
    const std::size_t row = selection.all ? done : selection.rows[done];
    if (row >= archive.RowCount()) continue;  // a stale selection of an earlier archive
    const sff::SpriteRecord& record = archive.RecordOfRow(row);
    path = folder;
    appendName(path, archive, record);
    if (path.size() == folder.size()) {
      ++summary.skipped;
    } else if (auto written = writeRow(row, record, path); !written) {
      return Fail(std::move(written).error());
    }
    if (progress && !progress(done + 1, total) && done + 1 < total) {
      summary.cancelled = true;
      break;
    }
  }
  return Done{};
}

}  // namespace pelvaro::exporter
