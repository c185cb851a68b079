#include "export/pcx_export.h"

#include "export/atomic_file.h"
#include "sff/sprite_rows.h"

#include <algorithm>

namespace pelvaro::exporter {

std::string PcxFileBytes(const sff::Archive& archive, const sff::SpriteRecord& record) {
  // The loader keeps every payload range inside the file; clipped all the same,
  // so that no record can make the export read outside it.
  const std::span<const std::uint8_t> file = archive.SffBytes();
  const auto size = static_cast<std::int64_t>(file.size());
  const std::int64_t first = std::clamp<std::int64_t>(record.DataStart, 0, size);
  const std::int64_t end = std::clamp<std::int64_t>(std::int64_t{record.DataEnd} + 1, first, size);
  const bool withPalette = record.PalFlag == 1;
  std::string out;
  out.reserve(static_cast<std::size_t>(end - first) + (withPalette ? sff::kPaletteSize : 0));
  out.append(reinterpret_cast<const char*>(file.data()) + first, static_cast<std::size_t>(end - first));
  if (withPalette) out.append(reinterpret_cast<const char*>(archive.SharedPal().data()), archive.SharedPal().size());
  return out;
}

Result<PcxExportSummary, WriteError> ExportAllPcx(const std::string& folder, const sff::Archive& archive,
                                                  const ProgressFn& progress) {
  PcxExportSummary summary;
  const std::size_t rows = archive.RowCount();
  std::string path;
  for (std::size_t row = 0; row < rows; ++row) {
    const sff::SpriteRecord& record = archive.RecordOfRow(row);
    path = folder;
    const std::size_t folderLength = path.size();
    sff::AppendPcxName(path, archive, record);
    if (path.size() == folderLength) {
      ++summary.skipped;
    } else {
      auto written = WriteFileAtomic(path, PcxFileBytes(archive, record), archive.SourceFile());
      if (!written) return Fail(std::move(written).error());
      ++summary.written;
    }
    if (progress) progress(row + 1, rows);
  }
  return summary;
}

}  // namespace pelvaro::exporter
