#include "export/png_export.h"

#include "export/atomic_file.h"
#include "export/row_files.h"
#include "image/png_writer.h"
#include "sff/sprite_rows.h"

#include <span>

namespace pelvaro::exporter {
namespace {

constexpr std::string_view kPcxExtension = ".pcx";
constexpr std::string_view kPngExtension = ".png";

}  // namespace

Result<image::IndexedImage, image::DecodeError> DecodeSprite(const sff::Archive& archive,
                                                             const sff::SpriteRecord& record) {
  const std::string file = PcxFileBytes(archive, record);
  return image::DecodePcx(std::span(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()));
}

void AppendPngName(std::string& out, const sff::Archive& archive, const sff::SpriteRecord& record) {
  const std::size_t start = out.size();
  sff::AppendPcxName(out, archive, record);
  // Every PCX name ends in ".pcx" (sff::PutPcxName).
  if (out.size() > start) out.replace(out.size() - kPcxExtension.size(), kPcxExtension.size(), kPngExtension);
}

std::string PngName(const sff::Archive& archive, const sff::SpriteRecord& record) {
  std::string name;
  AppendPngName(name, archive, record);
  return name;
}

Result<PngExportSummary, WriteError> ExportAllPng(const std::string& folder, const sff::Archive& archive,
                                                  const ProgressFn& progress, const UndecodableFn& onUndecodable) {
  PngExportSummary summary;
  auto unnamed = WalkRowFiles(
      folder, archive, AppendPngName, progress,
      [&](std::size_t row, const sff::SpriteRecord& record, const std::string& path) -> Result<Done, WriteError> {
        auto decoded = DecodeSprite(archive, record);
        if (!decoded) {
          ++summary.undecodable;
          if (onUndecodable) onUndecodable({row, path.substr(folder.size()), decoded.error()});
          return Done{};
        }
        auto written = WriteFileAtomic(path, image::EncodeIndexedPng(*decoded, image::kPngLevel), archive.SourceFile());
        if (written) ++summary.written;
        return written;
      });
  if (!unnamed) return Fail(std::move(unnamed).error());
  summary.skipped = *unnamed;
  return summary;
}

}  // namespace pelvaro::exporter
