#include "export/pcx_export.h"

#include "export/atomic_file.h"
#include "sff/sprite_rows.h"

#include <algorithm>

namespace pelvaro::exporter {

std::span<const std::uint8_t> StoredPcxBytes(const sff::Archive& archive, const sff::SpriteRecord& record) {
  // The loader keeps every payload range inside the file; clipped all the same,
  // so that no record can make the export read outside it.
  const std::span<const std::uint8_t> file = archive.SffBytes();
  const auto size = static_cast<std::int64_t>(file.size());
  const std::int64_t first = std::clamp<std::int64_t>(record.DataStart, 0, size);
  const std::int64_t end = std::clamp<std::int64_t>(std::int64_t{record.DataEnd} + 1, first, size);
  return file.subspan(static_cast<std::size_t>(first), static_cast<std::size_t>(end - first));
}

std::string PcxFileBytes(const sff::Archive& archive, const sff::SpriteRecord& record) {
  const auto stored = StoredPcxBytes(archive, record);
  const bool withPalette = AppendsSharedPalette(record);
  std::string out;
  out.reserve(stored.size() + (withPalette ? sff::kPaletteSize : 0));
  out.append(reinterpret_cast<const char*>(stored.data()), stored.size());
  if (withPalette) out.append(reinterpret_cast<const char*>(archive.SharedPal().data()), archive.SharedPal().size());
  return out;
}

Result<ExportSummary, WriteError> ExportPcx(const std::string& folder, const sff::Archive& archive,
                                            const RowSelection& rows, const ProgressFn& progress) {
  ExportSummary summary;
  AtomicFileWriter writer(archive.SourceFile());
  auto walked = WalkRowFiles(
      folder, archive, rows, sff::AppendPcxName, progress, summary,
      [&](std::size_t, const sff::SpriteRecord& record, const std::string& path) {
        auto written = writer.Write(path, PcxFileBytes(archive, record));
        if (written) ++summary.written;
        return written;
      });
  if (!walked) return Fail(std::move(walked).error());
  return summary;
}

}  // namespace pelvaro::exporter
