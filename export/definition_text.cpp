#include "export/definition_text.h"

#include "export/atomic_file.h"
#include "sff/sprite_rows.h"
#include "text/ansi_text.h"
#include "text/cp932.h"
#include "text/native_path.h"

#include <charconv>

namespace pelvaro::exporter {
namespace {

constexpr std::string_view kCrLf = "\r\n";

// Appends the CP932 form of `utf8`; the error when it has none.
Result<Done, TextError> AppendText(std::string& out, std::string_view utf8, TextError::Part part) {
  if (text::IsAscii(utf8)) {
    out += utf8;
    return Done{};
  }
  std::string character;
  auto bytes = text::EncodeCp932Strict(utf8, &character);
  if (!bytes) return Fail(TextError{part, std::move(character), {}});
  out += *bytes;
  return Done{};
}

Result<Done, TextError> AppendLine(std::string& out, std::string_view utf8, TextError::Part part) {
  auto appended = AppendText(out, utf8, part);
  if (appended) out += kCrLf;
  return appended;
}

// One row's entry: a section mark for sprites with their own palette (and
// for the first three rows whatever they use), the PCX name, group, item and axis.
Result<Done, TextError> AppendRow(std::string& out, const sff::Archive& archive, std::size_t row, std::string& name) {
  const sff::SpriteRecord& r = archive.RecordOfRow(row);
  if (r.PalFlag == 0 || row < 3) out += "#\r\n1\r\n1\r\n";
  name.clear();
  sff::AppendPcxName(name, archive, r);
  auto appended = AppendLine(out, name, TextError::Part::kPcxName);
  if (!appended) return appended;
  char lines[4 * (11 + 2)];
  char* end = lines;
  for (const std::int32_t number : {std::int32_t{r.GroupNo}, std::int32_t{r.ItemNo}, std::int32_t{r.AxisX},
                                    std::int32_t{r.AxisY}}) {
    end = std::to_chars(end, lines + sizeof lines, number).ptr;
    *end++ = '\r';
    *end++ = '\n';
  }
  out.append(lines, static_cast<std::size_t>(end - lines));
  return Done{};
}

template <class E>
Result<Done, MakeTextError> AtFile(E error, const std::string& file) {
  error.file = file;
  return Fail(MakeTextError(std::move(error)));
}

}  // namespace

Result<std::string, TextError> SprTextBytes(const sff::Archive& archive) {
  std::string out;
  out.reserve(archive.RowCount() * 48 + 64);
  out += "#\r\n1\r\n2\r\n";
  if (auto appended = AppendLine(out, archive.Name(), TextError::Part::kSffName); !appended)
    return Fail(std::move(appended).error());
  std::string name;
  for (std::size_t row = 0; row < archive.RowCount(); ++row)
    if (auto appended = AppendRow(out, archive, row, name); !appended) return Fail(std::move(appended).error());
  out += kCrLf;
  return out;
}

Result<Done, MakeTextError> WriteSprText(const std::string& path, const sff::Archive& archive) {
  auto bytes = SprTextBytes(archive);
  if (!bytes) return AtFile(std::move(bytes).error(), path);
  auto written = WriteFileAtomic(path, *bytes);
  if (!written) return Fail(MakeTextError(std::move(written).error()));
  return Done{};
}

Result<std::string, TextError> BuildBatBytes(const std::string& programFolder, const std::string& textName) {
  const std::string command =
      "\"" + programFolder + text::kPathSeparator + "sprmaker.exe\" < " + textName + " > CreateLog.txt";
  std::string out = "@echo off\r\n";
  (void)AppendLine(out, "echo SFF を作成中 ...", TextError::Part::kBatchCommand);
  if (auto appended = AppendLine(out, command, TextError::Part::kBatchCommand); !appended)
    return Fail(std::move(appended).error());
  (void)AppendLine(out, "echo 処理終了.", TextError::Part::kBatchCommand);
  (void)AppendLine(out, "echo 処理経過のログは、 Createlog.txt を参照して下さい.", TextError::Part::kBatchCommand);
  out += "pause\r\n";
  return out;
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

Result<Done, MakeTextError> MakeText(const std::string& textPath, const sff::Archive& archive,
                                     const std::string& programFolder) {
  const TextNames names = MakeTextNames(textPath);
  auto batch = BuildBatBytes(programFolder, names.textName);
  if (!batch) {
    // The text's own fault, if it has one, is the one to report first.
    if (auto text = SprTextBytes(archive); !text) return AtFile(std::move(text).error(), textPath);
    return AtFile(std::move(batch).error(), names.batchPath);
  }
  if (auto written = WriteSprText(textPath, archive); !written) return written;
  auto written = WriteFileAtomic(names.batchPath, *batch);
  if (!written) return Fail(MakeTextError(std::move(written).error()));
  return Done{};
}

}  // namespace pelvaro::exporter
