#pragma once

// The rebuild material: the sprite-maker definition text, the batch file that
// feeds it to sprmaker.exe, and the names the Make Text command derives.
// Both files are CP932 text with CR LF line ends and no byte-order mark.

#include "export/export_error.h"
#include "sff/sff_state.h"
#include "sff/sprite_table.h"

#include <optional>
#include <string>
#include <variant>

namespace pelvaro::exporter {

// The CP932 bytes of the definition text for the table's rows in display
// order; an error when a text in it has no CP932 form.
std::variant<std::string, ExportError> SprTextBytes(const std::string& sffNameLabel, const sff::SffState& state,
                                                   const sff::SpriteTable& table);
std::optional<ExportError> WriteSprText(const std::string& path, const std::string& sffNameLabel,
                                        const sff::SffState& state, const sff::SpriteTable& table);

// The six CP932 lines of the batch file that runs "<programFolder>\sprmaker.exe".
std::variant<std::string, ExportError> BuildBatBytes(const std::string& programFolder, const std::string& textName);
std::optional<ExportError> WriteBuildBat(const std::string& batchPath, const std::string& textName,
                                         const std::string& programFolder);

// Names derived from the path chosen for the definition text.
struct TextNames {
  std::string textName;    // the file name of the text path
  std::string folderPart;  // the folder, with its closing separator
  std::string stem;        // the text name less its last four CP932 bytes ("" when shorter)
  std::string batchPath;   // folder part + stem + "Build.bat"
};
TextNames MakeTextNames(const std::string& textPath);

// The whole Make Text work: the definition text at `textPath`, then the batch
// file beside it. Nothing of the batch is written when the text fails.
std::optional<ExportError> MakeText(const std::string& textPath, const std::string& sffNameLabel,
                                    const sff::SffState& state, const sff::SpriteTable& table,
                                    const std::string& programFolder);

// The folder of the running executable, as the platform reports it.
std::string ProgramFolder();

}  // namespace pelvaro::exporter
