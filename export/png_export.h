#pragma once

// Writes each row of the sprite table as an 8-bit indexed PNG file: the row's
// PCX file (PcxFileBytes, exactly what the PCX export writes) decoded, and
// written with its 256 colours and index 0 transparent. The rows, their order,
// the names and the rows skipped are the PCX export's; a linked row writes
// under the name of the image it reuses, decoded from its own PCX bytes. The
// sprite viewer decodes through DecodeSprite too, so what it shows is what
// both exports write.

#include "base/result.h"
#include "export/pcx_export.h"
#include "export/write_error.h"
#include "image/pcx_decoder.h"
#include "sff/archive.h"

#include <cstddef>
#include <functional>
#include <string>

namespace pelvaro::exporter {

// The picture of one sprite, decoded from its PCX file's bytes.
Result<image::IndexedImage, image::DecodeError> DecodeSprite(const sff::Archive& archive,
                                                             const sff::SpriteRecord& record);

// What DecodeSprite would say of the sprite, without making its picture.
Result<Done, image::DecodeError> CheckSprite(const sff::Archive& archive, const sff::SpriteRecord& record);

// A row whose image could not be decoded: nothing was written for it.
struct UndecodableRow {
  std::size_t row = 0;  // display row, from 0
  std::string file;     // the PNG name it would have had
  image::DecodeError error;
};
using UndecodableFn = std::function<void(const UndecodableRow& row)>;

// Every selected row in display order into `folder` (ending in a separator),
// each under its PNG name. A row without a name is skipped; a row whose image
// cannot be decoded is told to `onUndecodable` and the export goes on with
// the next. Stops when the progress asks it to, or at the first file that
// cannot be written, keeping those written before it; the archive's own file
// is one of those, under whatever name or link it stands in the folder.
// Throws std::bad_alloc when memory runs out.
Result<ExportSummary, WriteError> ExportPng(const std::string& folder, const sff::Archive& archive,
                                            const RowSelection& rows, const ProgressFn& progress = {},
                                            const UndecodableFn& onUndecodable = {});
inline Result<ExportSummary, WriteError> ExportAllPng(const std::string& folder, const sff::Archive& archive,
                                                      const ProgressFn& progress = {},
                                                      const UndecodableFn& onUndecodable = {}) {
  return ExportPng(folder, archive, RowSelection::All(), progress, onUndecodable);
}

}  // namespace pelvaro::exporter
