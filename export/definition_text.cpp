#include "export/definition_text.h"

#include "export/atomic_file.h"
#include "export/write_target.h"
#include "sff/sprite_rows.h"
#include "text/ansi_text.h"
#include "text/cp932.h"
#include "text/decimal.h"
#include "text/native_path.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace pelvaro::exporter {
namespace {

constexpr std::string_view kCrLf = "\r\n";
// The longest number line, "-32768" and CR LF, and the most a row takes
// besides its stem: the section mark, the name's tail, four number lines.
constexpr std::size_t kNumberLineBytes = 6;
constexpr std::size_t kRowBytes = 9 + sff::kPcxNameTailBytes + 2 + 4 * (kNumberLineBytes + 2);
constexpr std::size_t kPrefetchRows = 16;

// Appends the CP932 form of `utf8`; the error when it has none.
Result<Done, TextError> AppendText(std::string& out, std::string_view utf8, TextError::Part part) {
  if (text::IsAscii(utf8)) {
    out += utf8;
    return Done{};
  }
  std::string character;
  auto bytes = text::EncodeCp932Strict(utf8, &character);
  if (!bytes) return Fail(TextError{part, std::move(character), {}, TextError::Fault::kNoCp932Form});
  out += *bytes;
  return Done{};
}

Result<Done, TextError> AppendLine(std::string& out, std::string_view utf8, TextError::Part part) {
  auto appended = AppendText(out, utf8, part);
  if (appended) out += kCrLf;
  return appended;
}

char* Put(char* out, std::string_view bytes) {
  std::memcpy(out, bytes.data(), bytes.size());
  return out + bytes.size();
}

// The stem every PCX name of the text begins with, in CP932, padded to whole
// chunks of kChunk bytes: each row copies it in fixed-size chunks, where a call
// to the library's copy for a dozen bytes costs as much as the rest of the row.
class NameStem {
 public:
  static constexpr std::size_t kChunk = 16;
  static_assert(kChunk <= sff::kPcxNameTailBytes, "a chunk runs at most into the tail, which is written next");

  explicit NameStem(std::string stem) : size_(stem.size()), padded_(std::move(stem)) {
    padded_.resize((size_ + kChunk - 1) / kChunk * kChunk);
  }
  std::size_t size() const { return size_; }

  // Writes up to kChunk - 1 bytes past the stem, where the name's tail goes.
  char* PutInto(char* out) const {
    for (std::size_t at = 0; at < size_; at += kChunk) std::memcpy(out + at, padded_.data() + at, kChunk);
    return out + size_;
  }

 private:
  std::size_t size_;
  std::string padded_;
};

// One row's entry: a section mark for sprites with their own palette (and
// for the first three rows whatever they use), the PCX name, group, item and
// axis. `out` has room for kRowBytes plus the stem.
char* PutRow(char* out, const sff::SpriteRecord* records, const sff::SpriteRecord& r, bool firstRows,
             const NameStem& stem) {
  if (r.PalFlag == 0 || firstRows) out = Put(out, "#\r\n1\r\n1\r\n");
  if (r.NameSource != sff::SpriteRecord::kNoName)
    out = sff::PutPcxNameTail(stem.PutInto(out), records[static_cast<std::size_t>(r.NameSource)]);
  out = Put(out, kCrLf);
  // Each within the line's kNumberLineBytes + 2.
  out = text::PutDecimalLine(out, r.GroupNo);
  out = text::PutDecimalLine(out, r.ItemNo);
  out = text::PutDecimalLine(out, r.AxisX);
  return text::PutDecimalLine(out, r.AxisY);
}

template <class E>
Result<Done, MakeTextError> AtFile(E error, const std::string& file) {
  error.file = file;
  return Fail(MakeTextError(std::move(error)));
}

// The first character of `path` that no quoting keeps from cmd: a double
// quote ends the quotes, a line break ends the command.
std::optional<char> Unquotable(std::string_view path) {
  for (const char c : path)
    if (c == '"' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return c;
  return std::nullopt;
}

// `path` as a batch line takes it: cmd expands "%" even inside quotes, "%%"
// stands for one.
std::string DoublePercent(std::string_view path) {
  std::string out;
  out.reserve(path.size());
  for (const char c : path) {
    out += c;
    if (c == '%') out += '%';
  }
  return out;
}

// The text name on the command line: as it is when cmd would read it whole
// unquoted, so the names of the documented examples stay byte for byte; in
// double quotes when cmd would read part of it as anything but the name.
std::string CommandLineName(std::string_view name) {
  if (name.find_first_of(" &|<>^()%!;,=") == std::string_view::npos) return std::string(name);
  std::string quoted(1, '"');
  quoted += DoublePercent(name);
  quoted += '"';
  return quoted;
}

// The text's first lines, with the archive's name: the only part that can
// fail, so it is made before anything is written.
Result<std::string, TextError> SprTextHead(const sff::Archive& archive) {
  std::string head = "#\r\n1\r\n2\r\n";
  if (auto appended = AppendLine(head, archive.Name(), TextError::Part::kSffName); !appended)
    return Fail(std::move(appended).error());
  return head;
}

// The buffer a text is made in, kept on its thread from one text to the next
// and grown when a longer stem needs more: fresh memory costs a page fault a
// page, and under a hypervisor the 33 pages of a new buffer take a third of a
// millisecond, as long as making the text of 20,000 rows. (The C library's
// heap keeps such a block for the next text only as its thresholds happen to
// stand.) A text is made whole before the next one begins on the thread.
char* KeptPieceBuffer(std::size_t bytes) {
  struct Kept {
    std::unique_ptr<char[]> buffer;
    std::size_t bytes = 0;
  };
  thread_local Kept kept;
  if (kept.bytes < bytes) {
    kept.buffer = std::make_unique_for_overwrite<char[]>(bytes);
    kept.bytes = bytes;
  }
  return kept.buffer.get();
}

// The text after `head`, made into one buffer piece after piece: a text of
// any length takes no more memory than a piece and a row. Every piece but the
// last is exactly kTextPieceBytes long, so each write begins at a whole
// multiple of kTextPieceBytes in the file. The buffer is left uninitialised,
// as every byte written from it is put there first.
FileContent SprTextContent(std::string head, const sff::Archive& archive) {
  return [head = std::move(head), &archive](const PutPiece& put) -> platform::SystemFailure {
    // Every PCX name begins with the stem, so it is put into CP932 once. The
    // stem is the start of the name in the head, so it has a CP932 form too.
    const NameStem stem(text::EncodeCp932Lossy(archive.SffBase()));
    const std::size_t rowBytes = kRowBytes + stem.size();
    // A row is put whole past the piece's end; what runs over starts the next piece.
    char* const start = KeptPieceBuffer(kTextPieceBytes + rowBytes);
    char* const full = start + kTextPieceBytes;
    char* end = start;
    const auto putFullPiece = [&]() -> platform::SystemFailure {
      if (auto failure = put({start, kTextPieceBytes})) return failure;
      const auto over = static_cast<std::size_t>(end - full);
      std::memmove(start, full, over);
      end = start + over;
      return std::nullopt;
    };
    // The head holds the archive's name, which may be longer than a piece.
    for (std::string_view rest = head; !rest.empty();) {
      const std::size_t taken = std::min(rest.size(), static_cast<std::size_t>(full - end));
      end = Put(end, rest.substr(0, taken));
      rest.remove_prefix(taken);
      if (end == full)
        if (auto failure = putFullPiece()) return failure;
    }
    const sff::SpriteRecord* const records = archive.SpriteInfo().data();
    const std::uint32_t* const order = archive.DisplayOrder().data();
    const std::size_t rows = archive.RowCount();
    for (std::size_t row = 0; row < rows; ++row) {
      if (row + kPrefetchRows < rows) __builtin_prefetch(&records[order[row + kPrefetchRows]]);
      end = PutRow(end, records, records[order[row]], row < 3, stem);
      if (end >= full)
        if (auto failure = putFullPiece()) return failure;
    }
    end = Put(end, kCrLf);  // within the row's room: `end` is short of `full`
    return put({start, static_cast<std::size_t>(end - start)});
  };
}

// The definition text of `archive`, ready to be written; the error names no file yet.
Result<FileContent, TextError> SprText(const sff::Archive& archive) {
  auto head = SprTextHead(archive);
  if (!head) return Fail(std::move(head).error());
  return SprTextContent(*std::move(head), archive);
}

}  // namespace

Result<TextBytes, TextError> SprTextBytes(const sff::Archive& archive) {
  auto content = SprText(archive);
  if (!content) return Fail(std::move(content).error());
  TextBytes out;
  (void)(*content)([&](std::string_view piece) -> platform::SystemFailure {
    out.insert(out.end(), piece.begin(), piece.end());
    return std::nullopt;
  });
  return out;
}

Result<Done, MakeTextError> WriteSprText(const std::string& path, const sff::Archive& archive) {
  auto content = SprText(archive);
  if (!content) return AtFile(std::move(content).error(), path);
  auto written = WriteFileAtomic(path, *content, archive.SourceFile());
  if (!written) return Fail(MakeTextError(std::move(written).error()));
  return Done{};
}

Result<std::string, TextError> BuildBatBytes(const std::string& programFolder, const std::string& textName) {
  for (const std::string_view path : {std::string_view(programFolder), std::string_view(textName)}) {
    if (const auto c = Unquotable(path))
      return Fail(TextError{TextError::Part::kBatchCommand, std::string(1, *c), {}, TextError::Fault::kCannotQuote});
  }
  // Put together piece by piece: GCC 12 at -O3 mistakes a chain of "+" with
  // literals for an overlapping copy (its bug 105329).
  std::string command(1, '"');
  command += DoublePercent(programFolder);
  command += text::kPathSeparator;
  command += "sprmaker.exe\" < ";
  command += CommandLineName(textName);
  command += " > CreateLog.txt";
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
  // The stem is measured in CP932 bytes, but taken from the name itself: a
  // cut through a double-byte character drops that character, and one
  // without a CP932 form keeps its own name rather than the "?" standing for it.
  const std::int32_t stemBytes = text::LenAnsi(names.textName) - 4;
  names.stem = stemBytes > 0 ? names.textName.substr(0, text::WholeCharactersWithinCp932Bytes(
                                                            names.textName, static_cast<std::size_t>(stemBytes)))
                             : std::string();
  names.batchPath = names.folderPart + names.stem + "Build.bat";
  return names;
}

Result<Done, MakeTextError> MakeText(const std::string& textPath, const sff::Archive& archive,
                                     const std::string& programFolder) {
  const TextNames names = MakeTextNames(textPath);
  auto batch = BuildBatBytes(programFolder, names.textName);
  auto text = SprText(archive);
  // The text's own fault, if it has one, is the one to report first.
  if (!text) return AtFile(std::move(text).error(), textPath);
  if (!batch) return AtFile(std::move(batch).error(), names.batchPath);
  for (const std::string* path : {&textPath, &names.batchPath}) {
    if (auto target = InspectWriteTarget(*path, archive.SourceFile()); !target)
      return Fail(MakeTextError(std::move(target).error()));
  }
  if (auto written = WriteFileAtomic(textPath, *text, archive.SourceFile()); !written)
    return Fail(MakeTextError(std::move(written).error()));
  if (auto written = WriteFileAtomic(names.batchPath, *batch, archive.SourceFile()); !written)
    return Fail(MakeTextError(std::move(written).error()));
  return Done{};
}

}  // namespace pelvaro::exporter
