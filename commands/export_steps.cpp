#include "commands/export_steps.h"

#include "export/messages.h"
#include "export/pcx_export.h"
#include "sff/load_sff.h"
#include "text/native_path.h"

#include <memory>

namespace pelvaro::commands {
namespace {

ProgressRequest ProgressFor(const ExportRequest& request, std::size_t total) {
  ProgressRequest progress;
  progress.kind = request.format == ImageFormat::kPcx ? ProgressKind::kPcx : ProgressKind::kPng;
  progress.caption = request.format == ImageFormat::kPcx ? exporter::kPcxProgressCaption : exporter::kPngProgressCaption;
  progress.total = total;
  progress.cancellable = request.cancellable;
  return progress;
}

const char* KindName(ImageFormat format) { return format == ImageFormat::kPcx ? "PCX" : "PNG"; }

}  // namespace

Result<sff::Archive, sff::LoadError> LoadArchive(Desk& desk, const std::string& path) {
  return sff::LoadSff(path, [&desk] {
    return desk.Ask(exporter::SharedPaletteWarning(), MsgStyle::kYesNoStopDefaultNo) == Answer::kYes;
  });
}

ExportOutcome ExportRows(Desk& desk, const sff::Archive& archive, const ExportRequest& request) {
  ExportOutcome outcome;
  outcome.folder = text::WithTrailingSeparator(request.folder);
  const BusyGuard busy(desk);
  // A folder typed into the chooser that is not there yet is made.
  if (auto made = exporter::EnsureOutputFolder(request.folder); !made) {
    outcome.failure = std::move(made).error();
    return outcome;
  }
  const std::size_t total = request.rows.all ? archive.RowCount() : request.rows.rows.size();
  const std::unique_ptr<Progress> progress = desk.ShowProgress(ProgressFor(request, total));
  const exporter::ProgressFn step = [&progress](std::size_t done, std::size_t all) {
    return !progress || progress->Step(done, all);
  };
  auto written = request.format == ImageFormat::kPcx
                     ? exporter::ExportPcx(outcome.folder, archive, request.rows, step)
                     : exporter::ExportPng(outcome.folder, archive, request.rows, step, request.onUndecodable);
  if (written) {
    outcome.summary = *written;
  } else {
    outcome.failure = std::move(written).error();
  }
  return outcome;
}

Lines OutcomeMessage(const ExportOutcome& outcome, ImageFormat format) {
  if (const auto* folder = std::get_if<exporter::FolderError>(&outcome.failure))
    return exporter::DescribeFolderError(*folder);
  // The files written before a failure stay.
  if (const auto* write = std::get_if<exporter::WriteError>(&outcome.failure))
    return exporter::DescribeWriteError(*write);
  const exporter::ExportSummary& s = outcome.summary;
  if (s.cancelled) return exporter::ExportCancelledLines(KindName(format), outcome.folder, s.written);
  Lines done{format == ImageFormat::kPcx ? exporter::kPcxDone : exporter::kPngDone};
  if (s.skipped > 0) done.push_back(exporter::SkippedRowsLine(s.skipped));
  if (s.undecodable > 0) done.push_back(exporter::UndecodableRowsLine(s.undecodable));
  return done;
}

Lines BrowserOutcomeMessage(const ExportOutcome& outcome, ImageFormat format) {
  if (outcome.failed() || outcome.summary.cancelled) return OutcomeMessage(outcome, format);
  const exporter::ExportSummary& s = outcome.summary;
  Lines done = exporter::ExportDoneLines(KindName(format), outcome.folder, s.written);
  if (s.skipped > 0) done.push_back(exporter::SkippedRowsLine(s.skipped));
  if (s.undecodable > 0) done.push_back(exporter::UndecodableRowsLine(s.undecodable));
  return done;
}

MsgStyle OutcomeStyle(const ExportOutcome& outcome) {
  return outcome.failed() ? MsgStyle::kStop : MsgStyle::kInformation;
}

Result<Done, exporter::MakeTextError> WriteTextFiles(Desk& desk, const std::string& textPath,
                                                     const sff::Archive& archive, const std::string& programFolder) {
  const BusyGuard busy(desk);
  return exporter::MakeText(textPath, archive, programFolder);
}

}  // namespace pelvaro::commands
