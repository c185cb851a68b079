#include "commands/main_commands.h"

#include "commands/export_steps.h"
#include "export/messages.h"
#include "pelvaro_version.h"
#include "text/native_path.h"

#include <algorithm>
#include <exception>

namespace pelvaro::commands {

MainCommands::MainCommands(Desk& desk, std::string programFolder)
    : desk_(desk), programFolder_(std::move(programFolder)) {}

std::optional<std::string> MainCommands::ChooseFile(FileRequest request, std::string& lastFolder) {
  if (request.initialFolder.empty()) request.initialFolder = lastFolder;
  auto chosen = desk_.ChooseFile(request);
  if (chosen) lastFolder = chosen->substr(0, chosen->size() - text::GetFileName(*chosen).size());
  return chosen;
}

void MainCommands::cmdSffOpen_Click() {
  // Cancel ends the command without a word and without touching the labels,
  // the list or the archive.
  FileRequest request;
  request.mode = FileDialogMode::kOpen;
  request.flags = cdl::kHideReadOnly;
  request.fileName = "USER.sff";
  request.title = "Select Sff File";
  request.filter = "Sff Files (*.sff)|*.sff|";
  if (const auto path = ChooseFile(request, lastDialogFolder_)) OpenSff(*path);
}

void MainCommands::OpenSff(const std::string& path) {
  desk_.ShowSffName(text::GetFileName(path));
  RunReported(
      [&] {
        // The palette question and a refusal come while the pointer is still busy.
        const BusyGuard busy(desk_);
        auto loaded = LoadArchive(desk_, path);
        if (loaded) {
          Show(std::move(*loaded));
          return;
        }
        // The list and the labels are emptied before the refusal is told.
        Show(std::nullopt);
        const Lines refusal = exporter::DescribeLoadError(loaded.error());
        if (!refusal.empty()) desk_.Ask(refusal, MsgStyle::kStop);
      },
      [this] { Show(std::nullopt); });
}

void MainCommands::Show(std::optional<sff::Archive> loaded) {
  // Nothing may point into the archive that goes.
  viewer_.Forget();
  desk_.ShowArchive(nullptr, "");
  archive_ = std::move(loaded);
  if (!archive_) {
    desk_.ShowSffName("");
  } else {
    desk_.ShowArchive(archive(), std::to_string(archive_->SpriteInfo().size()));
  }
  // A showing viewer starts again at the first row of what is on show now.
  if (viewer_.open()) {
    const bool rows = archive_ && archive_->RowCount() > 0;
    if (rows) desk_.SelectRow(0);
    viewer_.Show(archive(), rows ? std::optional<std::size_t>(0) : std::nullopt);
    SyncBrowser();
    desk_.ShowViewer(viewer_);
  }
}

void MainCommands::cmdPCX_Click() {
  if (!archive_ || archive_->RowCount() == 0) return;
  // The last output folder is where the chooser opens.
  const auto folder = desk_.ChooseFolder(OutputFolder.empty() ? std::nullopt : std::optional(OutputFolder));
  if (!folder) return;
  // Kept even when the export below fails: it is the folder the user chose.
  OutputFolder = *folder;
  RunReported([this] {
    ExportRequest request;
    request.format = ImageFormat::kPcx;
    request.folder = OutputFolder;
    request.cancellable = true;
    const ExportOutcome outcome = ExportRows(desk_, *archive_, request);
    // Told once the pointer is back to normal, as every message of a command is.
    desk_.Ask(OutcomeMessage(outcome, request.format), OutcomeStyle(outcome));
  });
}

void MainCommands::cmdText_Click() {
  if (!archive_ || archive_->RowCount() == 0) return;
  // Set up afresh on every run, so the proposal always comes from the open
  // archive's stem, never from an earlier choice. No default extension: a
  // name is taken as typed.
  FileRequest request;
  request.mode = FileDialogMode::kSave;
  request.flags = cdl::kOverwritePrompt + cdl::kHideReadOnly;
  request.initialFolder = OutputFolder;
  request.fileName = archive_->SffBase() + "_SFF.txt";
  request.title = "Act File Save";
  request.filter = "txt Files(*.txt)|*.txt|";
  const auto textPath = ChooseFile(request, lastDialogFolder_);
  if (!textPath) return;
  RunReported([&] {
    const auto made = WriteTextFiles(desk_, *textPath, *archive_, programFolder_);
    if (!made) {
      desk_.Ask(exporter::DescribeMakeTextError(made.error()), MsgStyle::kStop);
      return;
    }
    desk_.Ask({exporter::kTextDone}, MsgStyle::kInformation);
  });
}

void MainCommands::cmdAbout_Click() {
  AboutTexts texts;
  texts.caption = exporter::AboutCaption(kProductTitle);
  texts.productName = kProductTitle;
  texts.version = exporter::AboutVersion(kVersionMajor, kVersionMinor, kVersionRevision);
  texts.notice = exporter::kAboutNotice;
  desk_.ShowAbout(texts);
}

void MainCommands::cmdEnd_Click() {
  if (desk_.Ask({exporter::kExitQuestion}, MsgStyle::kYesNoQuestion) == Answer::kNo) return;
  desk_.EndProgram();
}

void MainCommands::OpenViewer(std::optional<std::size_t> currentRow) {
  if (!currentRow || !archive_) return;
  viewer_.SetOpen(true);
  viewer_.Show(archive(), currentRow);
  SyncBrowser();
  desk_.ShowViewer(viewer_);
}

void MainCommands::SyncBrowser() {
  BrowserState& browser = viewer_.browser();
  if (browser.archive() != archive()) browser.Reset(archive());
  if (const auto row = viewer_.row()) browser.ChooseGroupOfRow(*row);
}

void MainCommands::CloseViewer() {
  if (!viewer_.open()) return;
  viewer_.SetOpen(false);
  desk_.ShowViewer(viewer_);
}

void MainCommands::FollowRow(std::optional<std::size_t> row) {
  if (!viewer_.open()) return;
  const auto before = viewer_.row();
  const auto group = viewer_.browser().chosenGroup();
  viewer_.Show(archive(), archive_ ? row : std::nullopt);
  SyncBrowser();
  if (viewer_.row() != before || !row || viewer_.browser().chosenGroup() != group) desk_.ShowViewer(viewer_);
}

void MainCommands::StepRow(std::ptrdiff_t delta) {
  if (!archive_ || archive_->RowCount() == 0) return;
  // Steps go through the rows the browser's filter keeps; with no filter, every row.
  const BrowserState& browser = viewer_.browser();
  const bool filtered = browser.archive() == archive() && !browser.filter().empty();
  const std::vector<std::size_t>& kept = browser.visibleRows();
  const auto count = static_cast<std::ptrdiff_t>(filtered ? kept.size() : archive_->RowCount());
  if (count == 0) return;
  const auto rowAt = [&](std::ptrdiff_t i) { return filtered ? kept[static_cast<std::size_t>(i)] : std::size_t(i); };
  std::ptrdiff_t at = 0;
  if (const auto current = viewer_.row()) {
    at = filtered ? std::lower_bound(kept.begin(), kept.end(), *current) - kept.begin()
                  : static_cast<std::ptrdiff_t>(*current);
    // From a row the filter hides, a step forward lands on the next row it keeps.
    const bool onKeptRow = at < count && rowAt(at) == *current;
    at = std::clamp(onKeptRow || delta < 0 ? at + delta : at + delta - 1, std::ptrdiff_t{0}, count - 1);
  }
  ShowRow(rowAt(at));
}

void MainCommands::ShowRow(std::size_t row) {
  if (!archive_ || row >= archive_->RowCount()) return;
  desk_.SelectRow(row);
  FollowRow(row);
}

void MainCommands::SetFilter(std::string text) {
  BrowserState& browser = viewer_.browser();
  if (browser.archive() != archive()) browser.Reset(archive());
  browser.SetFilter(std::move(text));
  const auto row = viewer_.row();
  if (row && !browser.IsVisible(*row) && !browser.visibleRows().empty()) {
    ShowRow(browser.visibleRows().front());
    return;
  }
  SyncBrowser();
  desk_.ShowViewer(viewer_);
}

void MainCommands::ChooseGroup(std::size_t index) {
  const BrowserState& browser = viewer_.browser();
  if (index >= browser.groups().size()) return;
  const std::uint16_t group = browser.groups()[index].group;
  for (const std::size_t row : browser.visibleRows()) {
    if (archive_->RecordOfRow(row).GroupNo == group) {
      ShowRow(row);
      return;
    }
  }
}

bool MainCommands::GoTo(const std::string& asked) {
  if (!archive_) return false;
  std::optional<std::size_t> target;
  const RowFilter read = ParseRowFilter(asked);
  if (read.unreadable.empty() && read.terms.size() == 1) {
    const FilterTerm& term = read.terms[0];
    if (term.kind == FilterTerm::Kind::kGroups && term.firstGroup == term.lastGroup &&
        asked.find('-') == std::string::npos) {
      // A lone number is a row number, counted from 1 as the list counts.
      if (term.firstGroup >= 1 && term.firstGroup <= archive_->RowCount()) target = term.firstGroup - 1u;
    } else if (term.kind == FilterTerm::Kind::kPair) {
      for (std::size_t row = 0; row < archive_->RowCount() && !target; ++row) {
        const sff::SpriteRecord& r = archive_->RecordOfRow(row);
        if (r.GroupNo == term.firstGroup && r.ItemNo == term.item) target = row;
      }
    }
  }
  if (!target) {
    viewer_.SetNote(exporter::NotFoundLine(asked));
    desk_.ShowViewer(viewer_);
    return false;
  }
  if (!viewer_.browser().IsVisible(*target)) viewer_.browser().SetFilter("");
  ShowRow(*target);
  return true;
}

void MainCommands::SelectRows(std::vector<std::size_t> rows) { viewer_.browser().Select(std::move(rows)); }

void MainCommands::ExportFromBrowser(BrowserScope scope, ImageFormat format) {
  if (!archive_ || archive_->RowCount() == 0) return;
  const BrowserState& browser = viewer_.browser();
  const std::vector<std::size_t>* rows = nullptr;
  switch (scope) {
    case BrowserScope::kSelection: rows = &browser.selection(); break;
    case BrowserScope::kFiltered: rows = &browser.visibleRows(); break;
    case BrowserScope::kGroup: rows = &browser.groupRows(); break;
    case BrowserScope::kAll: break;
  }
  if (rows && rows->empty()) {
    desk_.Ask({exporter::kNothingToExport}, MsgStyle::kInformation);
    return;
  }
  const std::string& start = browserFolder_.empty() ? OutputFolder : browserFolder_;
  const auto folder = desk_.ChooseFolder(start.empty() ? std::nullopt : std::optional(start));
  if (!folder) return;
  browserFolder_ = *folder;
  // The rows are copied: the export's progress lets the window run, and the
  // selection may change while the files are written.
  const std::vector<std::size_t> chosen = rows ? *rows : std::vector<std::size_t>{};
  RunReported([&] {
    ExportRequest request;
    request.format = format;
    request.folder = browserFolder_;
    request.rows = rows ? exporter::RowSelection::Only(chosen) : exporter::RowSelection::All();
    request.cancellable = true;
    const ExportOutcome outcome = ExportRows(desk_, *archive_, request);
    desk_.Ask(BrowserOutcomeMessage(outcome, format), OutcomeStyle(outcome));
  });
}

void MainCommands::cmdSavePng_Click() {
  const ViewedSprite* shown = viewer_.shown();
  if (!shown || !shown->image) return;
  // Set up afresh each time, so the proposal is the row's own name; the
  // folder is the one of the last save.
  FileRequest request;
  request.mode = FileDialogMode::kSave;
  request.flags = cdl::kOverwritePrompt + cdl::kHideReadOnly;
  request.fileName = shown->pngName;
  request.title = "PNG として保存";
  request.filter = "PNG ファイル (*.png)|*.png|";
  const auto path = ChooseFile(request, lastPngFolder_);  // a name is taken as typed, as Make Text takes it
  if (!path) return;
  RunReported([&] {
    const auto written = WriteSpritePng(*path, *shown);
    if (!written) {
      desk_.Ask(exporter::DescribeWriteError(written.error()), MsgStyle::kStop);
      return;
    }
    viewer_.SetNote(exporter::PngSavedLine(*path));
    desk_.ShowViewer(viewer_);
  });
}

void MainCommands::RunReported(const std::function<void()>& work, const std::function<void()>& onFailure) {
  Lines message;
  try {
    work();
    return;
  } catch (const std::exception& e) {
    message = exporter::DescribeStoppedWork(e);
  }
  if (onFailure) onFailure();
  desk_.Ask(message, MsgStyle::kStop);
}

}  // namespace pelvaro::commands
