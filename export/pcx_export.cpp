#include "export/pcx_export.h"

#include "export/atomic_file.h"
#include "export/row_record.h"

#include "sff/byte_reader.h"

#include <algorithm>

namespace pelvaro::exporter {
namespace {

ExportError RowError(int row, const std::string& what) {
  return {std::to_string(row) + " 行目を出力できません。\r\n" + what, {}};
}

}  // namespace

std::optional<std::string> PcxFileBytes(const sff::SffState& state, const sff::SpriteRecord& record) {
  const std::int64_t length = std::max<std::int64_t>(static_cast<std::int64_t>(record.DataEnd) - record.DataStart + 1, 0);
  const auto payload = sff::ByteReader(state.SffBytes).Sub(length == 0 ? 0 : record.DataStart, length);
  if (!payload) return std::nullopt;
  const bool withPalette = record.PalFlag == 1;
  std::string out;
  out.reserve(payload->size() + (withPalette ? sff::kPaletteSize : 0));
  out.append(reinterpret_cast<const char*>(payload->data()), payload->size());
  if (withPalette) out.append(reinterpret_cast<const char*>(state.SharedPal.data()), state.SharedPal.size());
  return out;
}

std::variant<RowOutcome, ExportError> ExportPcx(const std::string& folder, int row, const sff::SffState& state,
                                               const sff::SpriteTable& table) {
  const auto cells = table.RowAt(row);
  const std::string_view pos = cells[sff::SpriteTable::kPPos];
  const std::string_view name = cells[sff::SpriteTable::kPcxName];
  const sff::SpriteRecord* found = RecordForPPos(pos, state);
  if (!found) return RowError(row, "P.Pos「" + std::string(pos) + "」に当たるスプライトがありません。");
  if (name.empty()) return RowOutcome::kSkipped;

  const sff::SpriteRecord& record = *found;
  const auto bytes = PcxFileBytes(state, record);
  if (!bytes)
    return RowError(row, "データ範囲 " + std::to_string(record.DataStart) + "～" + std::to_string(record.DataEnd) +
                             " がファイルの外にあります。");
  std::string path = folder;
  path += name;
  if (auto error = WriteFileAtomic(path, *bytes)) return *error;
  return RowOutcome::kWritten;
}

PcxExportResult ExportAllPcx(const std::string& folder, const sff::SffState& state, const sff::SpriteTable& table,
                             const ProgressFn& progress) {
  PcxExportResult result;
  const int n = table.Count();
  for (int row = 1; row <= n; ++row) {
    auto outcome = ExportPcx(folder, row, state, table);
    if (auto* error = std::get_if<ExportError>(&outcome)) {
      result.error = std::move(*error);
      return result;
    }
    if (std::get<RowOutcome>(outcome) == RowOutcome::kWritten) {
      ++result.written;
    } else {
      ++result.skipped;
    }
    if (progress) progress(row, n);
  }
  return result;
}

std::string SkippedRowsMessage(int skipped) {
  return "PCX名のない " + std::to_string(skipped) + " 行は出力されませんでした。";
}

}  // namespace pelvaro::exporter
