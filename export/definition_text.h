#pragma once

// The rebuild material: the sprite-maker definition text, the batch file that
// feeds it to sprmaker.exe, and the names the Make Text command derives.
// Both files are CP932 text with CR LF line ends and no byte-order mark.

#include "export/write_error.h"
#include "sff/archive.h"
#include "text/result.h"

#include <string>
#include <variant>

namespace pelvaro::exporter {

// A text that has to go into a file in CP932 holds a character CP932 lacks.
struct TextError {
  enum class Part { kSffName, kPcxName, kBatchCommand };
  Part part = Part::kSffName;
  std::string character;  // the first character without a CP932 form
  std::string file;       // the file it was to go into
};

using MakeTextError = std::variant<TextError, WriteError>;

// The CP932 bytes of the definition text: the archive's name, then every row
// in display order. The error names no file yet.
Result<std::string, TextError> SprTextBytes(const sff::Archive& archive);
Result<Done, MakeTextError> WriteSprText(const std::string& path, const sff::Archive& archive);

// The six CP932 lines of the batch file that runs "<programFolder>\sprmaker.exe"
// with `textName` as its input. The error names no file yet.
Result<std::string, TextError> BuildBatBytes(const std::string& programFolder, const std::string& textName);

// Names derived from the path chosen for the definition text.
struct TextNames {
  std::string textName;    // the file name of the text path
  std::string folderPart;  // the folder, with its closing separator
  std::string stem;        // the text name less its last four CP932 bytes ("" when shorter)
  std::string batchPath;   // folder part + stem + "Build.bat"
};
TextNames MakeTextNames(const std::string& textPath);

// The whole Make Text work: the definition text at `textPath`, then the batch
// file beside it. Neither is written unless both can be made; a batch file
// that then cannot be written leaves the complete text behind.
Result<Done, MakeTextError> MakeText(const std::string& textPath, const sff::Archive& archive,
                                     const std::string& programFolder);

// The folder of the running executable, as the platform reports it.
std::string ProgramFolder();

}  // namespace pelvaro::exporter
