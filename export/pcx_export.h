#pragma once

// Writes each row of the sprite table as a standalone PCX file: the payload the
// archive stores, followed by the shared palette when the sprite uses it.

#include "base/result.h"
#include "export/export_summary.h"
#include "export/row_files.h"
#include "export/write_error.h"
#include "sff/archive.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace pelvaro::exporter {

// The bytes of one sprite's PCX file: its stored bytes, then the shared
// palette when it appends it.
std::string PcxFileBytes(const sff::Archive& archive, const sff::SpriteRecord& record);
// The sprite's payload as the archive stores it, inside the archive's bytes.
std::span<const std::uint8_t> StoredPcxBytes(const sff::Archive& archive, const sff::SpriteRecord& record);
// A sprite that uses the shared palette is written with it after its bytes.
inline bool AppendsSharedPalette(const sff::SpriteRecord& record) { return record.PalFlag == 1; }

// Every selected row in display order into `folder` (ending in a separator),
// each under its PCX name; a row without a name is skipped. Stops when the
// progress asks it to, or at the first file that cannot be written, keeping
// those written before it; the archive's own file is one of those, under
// whatever name or link it stands in the folder.
Result<ExportSummary, WriteError> ExportPcx(const std::string& folder, const sff::Archive& archive,
                                            const RowSelection& rows, const ProgressFn& progress = {});
inline Result<ExportSummary, WriteError> ExportAllPcx(const std::string& folder, const sff::Archive& archive,
                                                      const ProgressFn& progress = {}) {
  return ExportPcx(folder, archive, RowSelection::All(), progress);
}

}  // namespace pelvaro::exporter
