#pragma once

// Writes each row of the sprite table as a standalone PCX file: the payload the
// archive stores, followed by the shared palette when the sprite uses it.

#include "export/write_error.h"
#include "sff/archive.h"
#include "text/result.h"

#include <cstddef>
#include <functional>
#include <string>

namespace pelvaro::exporter {

// The bytes of one sprite's PCX file.
std::string PcxFileBytes(const sff::Archive& archive, const sff::SpriteRecord& record);

struct PcxExportSummary {
  std::size_t written = 0;
  std::size_t skipped = 0;  // rows without a PCX name
};

// Called after every row with the rows done and the row count.
using ProgressFn = std::function<void(std::size_t done, std::size_t total)>;

// Every row in display order into `folder` (ending in a separator), each under
// its PCX name; a row without a name is skipped. Stops at the first file that
// cannot be written, keeping those written before it; the archive's own file
// is one of those, under whatever name or link it stands in the folder.
Result<PcxExportSummary, WriteError> ExportAllPcx(const std::string& folder, const sff::Archive& archive,
                                                  const ProgressFn& progress = {});

}  // namespace pelvaro::exporter
