#pragma once

// The steps every front end takes with an archive: the load with its
// palette question, the output folder made when it is missing, the export
// under the busy pointer with progress, and the definition text with its
// batch file. The windows' commands and pelvaro-cli both come here, so
// the work and its outcome are the same wherever it is started.

#include "commands/desk.h"
#include "export/definition_text.h"
#include "export/export_summary.h"
#include "export/output_folder.h"
#include "export/png_export.h"
#include "export/row_files.h"
#include "export/write_error.h"
#include "sff/archive.h"
#include "sff/load_error.h"
#include "text/result.h"

#include <cstddef>
#include <string>
#include <variant>

namespace pelvaro::commands {

enum class ImageFormat { kPcx, kPng };

struct ExportRequest {
  ImageFormat format = ImageFormat::kPcx;
  std::string folder;  // as chosen or typed; a closing separator is added when missing
  exporter::RowSelection rows = exporter::RowSelection::All();
  bool cancellable = false;  // offer the user a way to stop
  // PNG only: told of each row whose image cannot be decoded, as it happens.
  exporter::UndecodableFn onUndecodable;
};

// What an export came to: its summary, or why it stopped.
struct ExportOutcome {
  std::string folder;  // with its closing separator
  exporter::ExportSummary summary;
  // Set when the work stopped on a failure: the folder could not be made, or a file could not be written.
  std::variant<std::monostate, exporter::FolderError, exporter::WriteError> failure;

  bool failed() const { return failure.index() != 0; }
};

// Loads the archive at `path`, asking the desk the shared-palette question
// when the archive is not in shared palette mode.
Result<sff::Archive, sff::LoadError> LoadArchive(Desk& desk, const std::string& path);

// The folder made when missing, then the rows written under the busy
// pointer, with the desk's progress.
ExportOutcome ExportRows(Desk& desk, const sff::Archive& archive, const ExportRequest& request);

// The message that tells an outcome in a window: the failure, the stop, or
// the done message with the skipped-rows line.
Lines OutcomeMessage(const ExportOutcome& outcome, ImageFormat format);
MsgStyle OutcomeStyle(const ExportOutcome& outcome);
// The same for an export the browser started, whose done message also says
// where the files went and how many were written.
Lines BrowserOutcomeMessage(const ExportOutcome& outcome, ImageFormat format);

// The definition text at `textPath` and the batch file beside it, under the busy pointer.
Result<Done, exporter::MakeTextError> WriteTextFiles(Desk& desk, const std::string& textPath,
                                                     const sff::Archive& archive, const std::string& programFolder);

}  // namespace pelvaro::commands
