#include "export/pcx_export.h"

#include "export/atomic_file.h"

#include <charconv>

namespace pelvaro::exporter {
namespace {

ExportError RowError(int row, const std::string& what) {
  return {std::to_string(row) + " 行目を出力できません。\r\n" + what, {}};
}

}  // namespace

std::string PcxFileBytes(const sff::SffState& state, const sff::SpriteRecord& record) {
  std::string out;
  const std::int64_t start = record.DataStart;
  const std::int64_t length = static_cast<std::int64_t>(record.DataEnd) - start + 1;
  const bool withPalette = record.PalFlag == 1;
  out.reserve(static_cast<std::size_t>(std::max<std::int64_t>(length, 0)) + (withPalette ? sff::kPaletteSize : 0));
  if (length > 0) out.append(reinterpret_cast<const char*>(state.SffBytes.data() + start), static_cast<std::size_t>(length));
  if (withPalette) out.append(reinterpret_cast<const char*>(state.SharedPal.data()), state.SharedPal.size());
  return out;
}

std::variant<RowOutcome, ExportError> ExportPcx(const std::string& folder, int row, const sff::SffState& state,
                                               const sff::SpriteTable& table) {
  const auto& cells = table.RowAt(row);
  const std::string& pos = cells[sff::SpriteTable::kPPos];
  const std::string& name = cells[sff::SpriteTable::kPcxName];
  std::int32_t k = -1;
  const auto [end, ec] = std::from_chars(pos.data(), pos.data() + pos.size(), k);
  if (ec != std::errc() || end != pos.data() + pos.size() || k < 0 ||
      k >= static_cast<std::int32_t>(state.SpriteInfo.size()))
    return RowError(row, "P.Pos「" + pos + "」に当たるスプライトがありません。");
  if (name.empty()) return RowOutcome::kSkipped;

  const sff::SpriteRecord& record = state.SpriteInfo[static_cast<std::size_t>(k)];
  const auto size = static_cast<std::int64_t>(state.SffBytes.size());
  if (record.DataEnd >= record.DataStart && (record.DataStart < 0 || record.DataEnd >= size))
    return RowError(row, "データ範囲 " + std::to_string(record.DataStart) + "～" + std::to_string(record.DataEnd) +
                             " がファイルの外にあります。");
  const std::string path = folder + name;
  if (auto error = WriteFileAtomic(path, PcxFileBytes(state, record))) return *error;
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
