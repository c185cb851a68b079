#pragma once

// Every command of the desktop program, from the first click to the last
// message: Open SFF (from the dialog, the command line or a drop), Save All
// PCX, Make Text, About and Exit, and the sprite viewer's commands. A window
// forwards its clicks here and draws what it is told through its Desk; it
// sequences nothing itself. Owns the archive on show until the next load.

#include "commands/desk.h"
#include "commands/viewer_state.h"
#include "sff/archive.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace pelvaro::commands {

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

 private:
  void Show(std::optional<sff::Archive> loaded);
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
  ViewerState viewer_;
};

}  // namespace pelvaro::commands
