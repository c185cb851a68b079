#include "export/png_export.h"

#include "export/atomic_file.h"
#include "image/png_writer.h"
#include "sff/sprite_rows.h"

#include <span>

namespace pelvaro::exporter {
namespace {

constexpr std::string_view kPcxExtension = ".pcx";
constexpr std::string_view kPngExtension = ".png";

// `out` with the PCX name that was just appended after `start` turned into the
// PNG name; false when nothing was appended.
bool TurnIntoPngName(std::string& out, std::size_t start) {
  if (out.size() == start) return false;
  // Every PCX name is made to end in ".pcx"; checked all the same, so that a
  // name made otherwise some day gets ".png" added rather than its end cut.
  if (out.size() - start >= kPcxExtension.size() && out.ends_with(kPcxExtension))
    out.resize(out.size() - kPcxExtension.size());
  out += kPngExtension;
  return true;
}

}  // namespace

Result<image::IndexedImage, image::DecodeError> DecodeSprite(const sff::Archive& archive,
                                                             const sff::SpriteRecord& record) {
  const std::string file = PcxFileBytes(archive, record);
  return image::DecodePcx(std::span(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()));
}

void AppendPngName(std::string& out, const sff::Archive& archive, const sff::SpriteRecord& record) {
  const std::size_t start = out.size();
  sff::AppendPcxName(out, archive, record);
  TurnIntoPngName(out, start);
}

std::string PngName(const sff::Archive& archive, const sff::SpriteRecord& record) {
  std::string name;
  AppendPngName(name, archive, record);
  return name;
}

Result<PngExportSummary, WriteError> ExportAllPng(const std::string& folder, const sff::Archive& archive,
                                                  const ProgressFn& progress, const UndecodableFn& onUndecodable) {
  PngExportSummary summary;
  const std::size_t rows = archive.RowCount();
  std::string path;
  for (std::size_t row = 0; row < rows; ++row) {
    const sff::SpriteRecord& record = archive.RecordOfRow(row);
    path = folder;
    const std::size_t folderLength = path.size();
    sff::AppendPcxName(path, archive, record);
    if (!TurnIntoPngName(path, folderLength)) {
      ++summary.skipped;
    } else if (auto decoded = DecodeSprite(archive, record); !decoded) {
      ++summary.undecodable;
      if (onUndecodable) onUndecodable({row, path.substr(folderLength), decoded.error()});
    } else {
      const std::string png = image::EncodeIndexedPng(*decoded, image::kPngLevel);
      auto written = WriteFileAtomic(path, png, archive.SourceFile());
      if (!written) return Fail(std::move(written).error());
      ++summary.written;
    }
    if (progress) progress(row + 1, rows);
  }
  return summary;
}

}  // namespace pelvaro::exporter
