#include "export/definition_text.h"

#include "export/atomic_file.h"
#include "export/row_record.h"
#include "text/ansi_text.h"
#include "text/cp932.h"
#include "text/native_path.h"

#include <charconv>

namespace pelvaro::exporter {
namespace {

constexpr std::string_view kCrLf = "\r\n";

ExportError Unrepresentable(const std::string& what, const std::string& character) {
  return {what + "に CP932（Shift_JIS）で表せない文字「" + character + "」が含まれているため、出力できません。", {}};
}

// Appends the CP932 form of `utf8`; false (and `*bad` set) when it has none.
bool AppendText(std::string& out, std::string_view utf8, std::string* bad) {
  if (text::IsAscii(utf8)) {
    out += utf8;
    return true;
  }
  auto bytes = text::EncodeCp932Strict(utf8, bad);
  if (!bytes) return false;
  out += *bytes;
  return true;
}

// Appends `utf8` as one CP932 line; false (and `*bad` set) when it has no CP932 form.
bool AppendLine(std::string& out, std::string_view utf8, std::string* bad) {
  if (!AppendText(out, utf8, bad)) return false;
  out += kCrLf;
  return true;
}

// The error with the file it concerns named on its last line.
ExportError AtPath(ExportError error, const std::string& path) {
  error.message += "\r\n" + path;
  error.path = path;
  return error;
}

}  // namespace

std::variant<std::string, ExportError> SprTextBytes(const std::string& sffNameLabel, const sff::SffState& state,
                                                   const sff::SpriteTable& table) {
  const int n = table.Count();
  std::string out;
  out.reserve(static_cast<std::size_t>(n) * 64 + 64);
  std::string bad;
  out += "#\r\n1\r\n2\r\n";
  if (!AppendLine(out, sffNameLabel, &bad)) return Unrepresentable("SFFファイル名", bad);
  for (int i = 1; i <= n; ++i) {
    const auto row = table.RowAt(i);
    const std::string_view pos = row[sff::SpriteTable::kPPos];
    const sff::SpriteRecord* found = RecordForPPos(pos, state);
    if (!found)
      return ExportError{std::to_string(i) + " 行目の P.Pos「" + std::string(pos) + "」に当たるスプライトがありません。", {}};
    const sff::SpriteRecord& r = *found;
    if (r.PalFlag == 0 || i < 4) out += "#\r\n1\r\n1\r\n";
    if (!AppendText(out, row[sff::SpriteTable::kPcxName], &bad)) return Unrepresentable("PCXファイル名", bad);
    // The name's line end and the four number lines go in as one piece: the
    // text has a row for every sprite, and every append has a cost of its own.
    char lines[2 + 4 * (11 + 2)];
    char* end = lines;
    *end++ = '\r';
    *end++ = '\n';
    for (const std::int32_t number : {r.GroupNo, r.ItemNo, r.AxisX, r.AxisY}) {
      end = std::to_chars(end, lines + sizeof lines, number).ptr;
      *end++ = '\r';
      *end++ = '\n';
    }
    out.append(lines, static_cast<std::size_t>(end - lines));
  }
  out += kCrLf;
  return out;
}

std::optional<ExportError> WriteSprText(const std::string& path, const std::string& sffNameLabel,
                                        const sff::SffState& state, const sff::SpriteTable& table) {
  auto bytes = SprTextBytes(sffNameLabel, state, table);
  if (auto* error = std::get_if<ExportError>(&bytes)) return AtPath(std::move(*error), path);
  return WriteFileAtomic(path, std::get<std::string>(bytes));
}

std::variant<std::string, ExportError> BuildBatBytes(const std::string& programFolder, const std::string& textName) {
  std::string command = "\"" + programFolder + text::kPathSeparator + "sprmaker.exe\" < " + textName + " > CreateLog.txt";
  std::string out = "@echo off\r\n";
  std::string bad;
  AppendLine(out, "echo SFF を作成中 ...", nullptr);
  if (!AppendLine(out, command, &bad)) return Unrepresentable("バッチファイルのコマンド行", bad);
  AppendLine(out, "echo 処理終了.", nullptr);
  AppendLine(out, "echo 処理経過のログは、 Createlog.txt を参照して下さい.", nullptr);
  out += "pause\r\n";
  return out;
}

std::optional<ExportError> WriteBuildBat(const std::string& batchPath, const std::string& textName,
                                         const std::string& programFolder) {
  auto bytes = BuildBatBytes(programFolder, textName);
  if (auto* error = std::get_if<ExportError>(&bytes)) return AtPath(std::move(*error), batchPath);
  return WriteFileAtomic(batchPath, std::get<std::string>(bytes));
}

TextNames MakeTextNames(const std::string& textPath) {
  TextNames names;
  names.textName = text::GetFileName(textPath);
  // The folder part is everything before the name. Cutting the CP932 form by
  // byte count gives the same text, but would turn a character without a CP932
  // form into "?" and so name another folder.
  names.folderPart = textPath.substr(0, textPath.size() - names.textName.size());
  const std::int32_t stemBytes = text::LenAnsi(names.textName) - 4;
  names.stem = stemBytes > 0 ? text::ToText(text::MidAnsi(names.textName, 1, stemBytes)) : std::string();
  names.batchPath = names.folderPart + names.stem + "Build.bat";
  return names;
}

std::optional<ExportError> MakeText(const std::string& textPath, const std::string& sffNameLabel,
                                    const sff::SffState& state, const sff::SpriteTable& table,
                                    const std::string& programFolder) {
  // Both files are made in memory first, so a text that cannot be written
  // stops the command before anything is on disk.
  auto sprText = SprTextBytes(sffNameLabel, state, table);
  if (auto* error = std::get_if<ExportError>(&sprText)) return AtPath(std::move(*error), textPath);
  const TextNames names = MakeTextNames(textPath);
  auto batch = BuildBatBytes(programFolder, names.textName);
  if (auto* error = std::get_if<ExportError>(&batch)) return AtPath(std::move(*error), names.batchPath);
  if (auto error = WriteFileAtomic(textPath, std::get<std::string>(sprText))) return error;
  return WriteFileAtomic(names.batchPath, std::get<std::string>(batch));
}

}  // namespace pelvaro::exporter
