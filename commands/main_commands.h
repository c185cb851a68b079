#pragma once

// Every command of the desktop program, from the first click to the last
// message: Open SFF (from the dialog, the command line or a drop), Save All
// PCX, Make Text, About and Exit, and the sprite viewer's commands. A window
// forwards its clicks here and draws what it is told through its Desk; it
// sequences nothing itself. Owns the archive on show until the next load.

#include "commands/desk.h"
#include "commands/export_steps.h"
#include "commands/viewer_state.h"
#include "sff/archive.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pelvaro::commands {

// Which rows an export from the browser writes.
enum class BrowserScope { kSelection, kFiltered, kGroup, kAll };

class MainCommands {
 public:
  // `programFolder` is where the batch file looks for sprmaker.exe.
  MainCommands(Desk& desk, std::string programFolder);

  // Open SFF: the dialog, then OpenSff with the chosen file.
  void cmdSffOpen_Click();
  // Opens `path` as Open SFF does once its dialog is closed: the name in the
  // label, the load under the busy pointer, the palette question, any
  // refusal. A file named on the command line or dropped comes here too.
  void OpenSff(const std::string& path);
  // Save All PCX: the folder chooser, then every row into the folder chosen.
  void cmdPCX_Click();
  // Make Text: the save dialog, then the definition text and the batch file.
  void cmdText_Click();
  void cmdAbout_Click();
  // Exit: asks, and ends the program on Yes.
  void cmdEnd_Click();

  // The archive on show; null when none is.
  const sff::Archive* archive() const { return archive_ ? &*archive_ : nullptr; }
  // The folder of the last confirmed Save All PCX, with its closing separator; empty until then.
  const std::string& outputFolder() const { return OutputFolder; }

  // The sprite viewer. It opens on the list's current row and from then on
  // shows the row the list makes current; a new archive starts it again at
  // its first row.
  const ViewerState& viewer() const { return viewer_; }
  ViewerState& viewer() { return viewer_; }
  void OpenViewer(std::optional<std::size_t> currentRow);
  void CloseViewer();
  // The list's current row changed (or there is none).
  void FollowRow(std::optional<std::size_t> row);
  // Up, Down, PageUp, PageDown, Home and End in the viewer: the list's current
  // row moves by `delta` rows, held inside the list.
  void StepRow(std::ptrdiff_t delta);
  // Save as PNG of the sprite on show: the save dialog, the write, and the
  // outcome in the viewer's status.
  void cmdSavePng_Click();

  // The browser. Row numbers are display rows throughout.
  // Makes `row` the list's current row, as a click on it in the browser does.
  void ShowRow(std::size_t row);
  // The filter's text changed: a current row the filter hides gives way to
  // the first row it keeps.
  void SetFilter(std::string text);
  // Goes to the first row of the group at `index` in the browser's group list.
  void ChooseGroup(std::size_t index);
  // Goes to a row by its number ("123") or its group and item ("200,1");
  // a row the filter hides is shown by clearing the filter. False, with the
  // status saying so, when there is no such row.
  bool GoTo(const std::string& asked);
  void SelectRows(std::vector<std::size_t> rows);
  // Writes rows chosen in the browser into a folder picked with the chooser,
  // with progress and Cancel.
  void ExportFromBrowser(BrowserScope scope, ImageFormat format);

 private:
  void Show(std::optional<sff::Archive> loaded);
  // The browser shows the archive on show, the viewer's row's group chosen.
  void SyncBrowser();
  // Runs the part of a command after its dialog; a failure nobody expected
  // (memory running out, say) is told with the stop icon instead of ending
  // the program.
  void RunReported(const std::function<void()>& work, const std::function<void()>& onFailure = {});
  // The main window's file dialog: an empty start folder is the folder of its last choice.
  std::optional<std::string> ChooseFile(FileRequest request, std::string& lastFolder);

  Desk& desk_;
  std::string programFolder_;
  std::optional<sff::Archive> archive_;
  std::string OutputFolder;
  std::string lastDialogFolder_;  // cdl1's: Open SFF and Make Text share it
  std::string lastPngFolder_;     // the viewer's Save as PNG dialog's
  std::string browserFolder_;     // the last folder the browser exported into
  ViewerState viewer_;
};

}  // namespace pelvaro::commands
