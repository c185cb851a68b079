#include "export/definition_text.h"

#include "export/atomic_file.h"
#include "export/row_record.h"
#include "text/ansi_text.h"
#include "text/cp932.h"
#include "text/native_path.h"

#include <charconv>
#include <exception>
#include <system_error>
#include <thread>

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

namespace {

// The text is handed on in pieces of about this size: large enough that
// handing one on costs nothing next to making it, small enough to stay in the
// cache while it is written.
constexpr std::size_t kPieceBytes = 256 * 1024;

// Appends the lines of the rows at display positions [first, last] to
// `piece`, handing it to `sink` whenever it is full; an error when a name in
// them has no CP932 form or a row names no sprite. A sink that can take no
// more stops it early, without an error.
std::optional<ExportError> AppendRows(int first, int last, const sff::SffState& state, const sff::SpriteTable& table,
                                      std::string& piece, const PieceSink& sink) {
  std::string bad;
  for (int i = first; i <= last; ++i) {
    const auto row = table.RowAt(i);
    const std::string_view pos = row[sff::SpriteTable::kPPos];
    const sff::SpriteRecord* found = RecordForPPos(pos, state);
    if (!found)
      return ExportError{std::to_string(i) + " 行目の P.Pos「" + std::string(pos) + "」に当たるスプライトがありません。", {}};
    const sff::SpriteRecord& r = *found;
    if (r.PalFlag == 0 || i < 4) piece += "#\r\n1\r\n1\r\n";
    if (!AppendText(piece, row[sff::SpriteTable::kPcxName], &bad)) return Unrepresentable("PCXファイル名", bad);
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
    piece.append(lines, static_cast<std::size_t>(end - lines));
    if (piece.size() >= kPieceBytes && !sink(piece)) return std::nullopt;
  }
  return std::nullopt;
}

// From this many rows on, the second half of the text is made on a thread of
// its own while this one makes the first.
constexpr int kSplitFromRows = 8192;

// Makes the CP932 bytes of the definition text for the table's rows in
// display order, handing them to `sink` piece by piece; an error when a text
// in it has no CP932 form or a row names no sprite.
std::optional<ExportError> MakeSprText(const std::string& sffNameLabel, const sff::SffState& state,
                                       const sff::SpriteTable& table, const PieceSink& sink) {
  const int n = table.Count();
  std::string piece;
  piece.reserve(kPieceBytes + 1024);
  std::string bad;
  piece += "#\r\n1\r\n2\r\n";
  if (!AppendLine(piece, sffNameLabel, &bad)) return Unrepresentable("SFFファイル名", bad);

  int firstHalfEnd = n;
  std::string secondHalf;
  std::optional<ExportError> secondHalfError;
  std::exception_ptr secondHalfFailure;
  std::thread secondHalfMaker;
  if (n >= kSplitFromRows && std::thread::hardware_concurrency() > 1) {
    // Both threads read the table; it must be in order before either does.
    table.HandleAt(1);
    firstHalfEnd = n / 2;
    try {
      secondHalfMaker = std::thread([&] {
        try {
          secondHalf.reserve(static_cast<std::size_t>(n - firstHalfEnd) * 48);
          secondHalfError = AppendRows(firstHalfEnd + 1, n, state, table, secondHalf, [](std::string&) { return true; });
        } catch (...) {
          secondHalfFailure = std::current_exception();
        }
      });
    } catch (const std::system_error&) {
      firstHalfEnd = n;  // no thread to be had: all on this one
    }
  }
  struct JoinOnExit {
    std::thread& thread;
    ~JoinOnExit() {
      if (thread.joinable()) thread.join();
    }
  } joinOnExit{secondHalfMaker};

  if (auto error = AppendRows(1, firstHalfEnd, state, table, piece, sink)) return error;
  if (secondHalfMaker.joinable()) {
    secondHalfMaker.join();
    if (secondHalfFailure) std::rethrow_exception(secondHalfFailure);
    if (secondHalfError) return secondHalfError;
    if (!sink(piece) || !sink(secondHalf)) return std::nullopt;
  }
  piece += kCrLf;
  sink(piece);
  return std::nullopt;
}

}  // namespace

std::variant<std::string, ExportError> SprTextBytes(const std::string& sffNameLabel, const sff::SffState& state,
                                                   const sff::SpriteTable& table) {
  std::string out;
  out.reserve(static_cast<std::size_t>(table.Count()) * 48 + 64);
  auto error = MakeSprText(sffNameLabel, state, table, [&out](std::string& piece) {
    out += piece;
    piece.clear();
    return true;
  });
  if (error) return *std::move(error);
  return out;
}

std::optional<ExportError> WriteSprText(const std::string& path, const std::string& sffNameLabel,
                                        const sff::SffState& state, const sff::SpriteTable& table) {
  auto error = WriteFileAtomic(path, [&](const PieceSink& sink) { return MakeSprText(sffNameLabel, state, table, sink); });
  // The text's own faults name no file yet; a failed write names its file already.
  if (error && error->path.empty()) return AtPath(std::move(*error), path);
  return error;
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
  // Neither file is written unless both can be made: the batch file's bytes
  // are made first, and the definition text is written only when they are
  // there. A batch file that then cannot be written is reported by its own
  // path; the text written before it stays, complete.
  const TextNames names = MakeTextNames(textPath);
  auto batch = BuildBatBytes(programFolder, names.textName);
  if (auto* error = std::get_if<ExportError>(&batch)) {
    // The text's own fault, if it has one, is the one to report first.
    auto sprText = SprTextBytes(sffNameLabel, state, table);
    if (auto* textError = std::get_if<ExportError>(&sprText)) return AtPath(std::move(*textError), textPath);
    return AtPath(std::move(*error), names.batchPath);
  }
  if (auto error = WriteSprText(textPath, sffNameLabel, state, table)) return error;
  return WriteFileAtomic(names.batchPath, std::get<std::string>(batch));
}
}  // namespace pelvaro::exporter
