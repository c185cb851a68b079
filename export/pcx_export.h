#pragma once

// Writes each row of the sprite table as a standalone PCX file: the payload the
// archive stores, followed by the shared palette when the sprite uses it.

#include "export/export_error.h"
#include "sff/sff_state.h"
#include "sff/sprite_table.h"

#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace pelvaro::exporter {

// The bytes of one sprite's PCX file. An empty range gives no payload bytes;
// a range that reaches outside the archive gives nothing at all.
std::optional<std::string> PcxFileBytes(const sff::SffState& state, const sff::SpriteRecord& record);

enum class RowOutcome { kWritten, kSkipped };

// Writes the file of the row at 1-based `row`: `folder` (ending in a separator)
// followed by the row's PCX name. A row without a name is skipped.
std::variant<RowOutcome, ExportError> ExportPcx(const std::string& folder, int row, const sff::SffState& state,
                                               const sff::SpriteTable& table);

struct PcxExportResult {
  int written = 0;
  int skipped = 0;                   // rows without a PCX name
  std::optional<ExportError> error;  // the failure that ended the export
};

// Called after every row with the rows done and the row count.
using ProgressFn = std::function<void(int done, int total)>;

// All rows in display order; stops at the first failure, keeping what was written.
PcxExportResult ExportAllPcx(const std::string& folder, const sff::SffState& state, const sff::SpriteTable& table,
                             const ProgressFn& progress = {});

// The line that tells the user about skipped rows.
std::string SkippedRowsMessage(int skipped);

}  // namespace pelvaro::exporter
