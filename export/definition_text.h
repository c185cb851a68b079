#pragma once

// The rebuild material: the sprite-maker definition text, the batch file that
// feeds it to sprmaker.exe, and the names the Make Text command derives.
// Both files are CP932 text with CR LF line ends and no byte-order mark.

#include "base/result.h"
#include "export/write_error.h"
#include "platform/program_folder.h"
#include "sff/archive.h"
#include "sff/byte_image.h"

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pelvaro::exporter {

// A text that has to go into a file holds a character the file cannot carry:
// one without a CP932 form, or, on the batch file's command line, one that no
// quoting keeps from cmd (a double quote or a control character).
struct TextError {
  enum class Part { kSffName, kBatchCommand };
  enum class Fault { kNoCp932Form, kCannotQuote };
  Part part = Part::kSffName;
  std::string character;  // the first character at fault
  std::string file;       // the file it was to go into
  Fault fault = Fault::kNoCp932Form;
};

using MakeTextError = std::variant<TextError, WriteError>;

// A made text's bytes, whole in memory, where they are wanted so (the file
// itself is written piece by piece): 3 MB for 65,535 rows.
using TextBytes = std::vector<char, sff::DefaultInitAllocator<char>>;
inline std::string_view View(const TextBytes& bytes) { return {bytes.data(), bytes.size()}; }

// The CP932 bytes of the definition text: the archive's name, then every row
// in display order. The error names no file yet.
Result<TextBytes, TextError> SprTextBytes(const sff::Archive& archive);
// The definition text alone, written to `path` unless that is the archive's
// own file: the same bytes, made and written kTextPieceBytes at a time.
Result<Done, MakeTextError> WriteSprText(const std::string& path, const sff::Archive& archive);
// The size of those pieces (all but the last are this size). Each write then
// begins at a whole multiple of it in the file, where the file system gives
// the file large pages of cache and takes each piece at the cost per byte of
// one large write; writes of uneven size, at uneven offsets, cost it a quarter
// more. The buffer, a piece and a row, comes as fresh pages from the system
// only the first time: the C library keeps a block of that size for the next
// one once it has been freed, and a first touch of fresh pages costs more
// than making the text does.
inline constexpr std::size_t kTextPieceBytes = 128 * 1024;

// The six CP932 lines of the batch file that runs "<programFolder>\sprmaker.exe"
// with `textName` as its input. A name of ordinary characters stands as it is;
// one with a character cmd reads specially (space & | < > ^ ( ) % ! ; , =)
// stands in double quotes. Every "%" taken from a path is doubled, so cmd
// does not expand it. The error names no file yet.
Result<std::string, TextError> BuildBatBytes(const std::string& programFolder, const std::string& textName);

// Names derived from the path chosen for the definition text.
struct TextNames {
  std::string textName;    // the file name of the text path
  std::string folderPart;  // the folder, with its closing separator
  std::string stem;        // the text name less its last four CP932 bytes ("" when shorter); a
                           // character the cut would split in half is left out whole
  std::string batchPath;   // folder part + stem + "Build.bat"
};
TextNames MakeTextNames(const std::string& textPath);

// The whole Make Text work: the definition text at `textPath`, then the batch
// file beside it. Neither is written unless both can be made and both targets
// may be written (neither is the open archive, a directory, a special file or
// read-only); a batch file that then fails to be written leaves the complete
// text behind.
Result<Done, MakeTextError> MakeText(const std::string& textPath, const sff::Archive& archive,
                                     const std::string& programFolder);

// The folder of the running executable, which the batch file names.
using platform::ProgramFolder;

}  // namespace pelvaro::exporter
