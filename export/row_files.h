#pragma once

// The walk both exports make: every row in display order, each named row's
// file at the folder followed by the row's file name.

#include "export/pcx_export.h"
#include "export/write_error.h"
#include "sff/archive.h"
#include "text/result.h"

#include <cstddef>
#include <string>

namespace pelvaro::exporter {

// Hands `writeRow(row, record, path)` the path of every row that
// `appendName` gives a name; a row without one is passed over and counted.
// Reports progress after every row and stops at the first write error.
// Returns the rows passed over.
template <class AppendName, class WriteRow>
Result<std::size_t, WriteError> WalkRowFiles(const std::string& folder, const sff::Archive& archive,
                                             AppendName appendName, const ProgressFn& progress, WriteRow writeRow) {
  std::size_t unnamed = 0;
  std::string path;
  for (std::size_t row = 0; row < archive.RowCount(); ++row) {
    const sff::SpriteRecord& record = archive.RecordOfRow(row);
    path = folder;
    appendName(path, archive, record);
    if (path.size() == folder.size()) {
      ++unnamed;
    } else if (auto written = writeRow(row, record, path); !written) {
      return Fail(std::move(written).error());
    }
    if (progress) progress(row + 1, archive.RowCount());
  }
  return unnamed;
}

}  // namespace pelvaro::exporter
