#include "export/png_export.h"

#include "export/atomic_file.h"
#include "export/png_ahead.h"
#include "image/png_writer.h"
#include "sff/sprite_rows.h"

#include <span>

namespace pelvaro::exporter {
Result<image::IndexedImage, image::DecodeError> DecodeSprite(const sff::Archive& archive,
                                                             const sff::SpriteRecord& record) {
  const std::string file = PcxFileBytes(archive, record);
  return image::DecodePcx(std::span(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()));
}

Result<Done, image::DecodeError> CheckSprite(const sff::Archive& archive, const sff::SpriteRecord& record) {
  // The bytes PcxFileBytes would copy, looked at where they are.
  return image::CheckPcx(StoredPcxBytes(archive, record), AppendsSharedPalette(record));
}

Result<ExportSummary, WriteError> ExportPng(const std::string& folder, const sff::Archive& archive,
                                            const RowSelection& rows, const ProgressFn& progress,
                                            const UndecodableFn& onUndecodable) {
  ExportSummary summary;
  AtomicFileWriter writer(archive.SourceFile());
  PngFilesAhead ahead(archive, rows);
  auto walked =
      WalkRowFiles(folder, archive, rows, sff::AppendPngName, progress, summary,
                   [&](std::size_t row, const sff::SpriteRecord&, const std::string& path) -> Result<Done, WriteError> {
                     auto png = ahead.Take(row);
                     if (!png) {
                       ++summary.undecodable;
                       if (onUndecodable) onUndecodable({row, path.substr(folder.size()), png.error()});
                       return Done{};
                     }
                     auto written = writer.Write(path, *png);
                     if (written) ++summary.written;
                     return written;
                   });
  if (!walked) return Fail(std::move(walked).error());
  return summary;
}

}  // namespace pelvaro::exporter
