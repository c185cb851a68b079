#pragma once

// What a command asks of the window it runs in. Every command of the desktop
// program (commands/main_commands.h) speaks to its window only through this
// interface: the Qt program, the Win32 program and pelvaro-cli each implement
// it, and the tests implement it with a script of answers. Text crosses it as
// UTF-8; paths are UTF-8 in the platform's own separators.

#include "sff/archive.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pelvaro::commands {

class ViewerState;

// A message: its lines, shown one under the other.
using Lines = std::vector<std::string>;

// Message-box styles by the numbers a platform message box takes: buttons +
// icon + default button.
enum class MsgStyle : int {
  kInformation = 64,          // OK, information icon
  kStop = 16,                 // OK, stop icon
  kYesNoStopDefaultNo = 276,  // Yes and No, stop icon, No the default
  kYesNoQuestion = 36,        // Yes and No, question icon, Yes the default
};

enum class Answer { kOk, kYes, kNo };

// A message box passes no title of its own: its title bar shows the
// application's title, the same in every front end.
inline constexpr const char* kApplicationTitle = "Korvane";

// The file dialog's flags, as the common dialogs number them.
namespace cdl {
inline constexpr int kOverwritePrompt = 2;  // ask before replacing an existing file
inline constexpr int kHideReadOnly = 4;     // no read-only check box
}  // namespace cdl

enum class FileDialogMode { kOpen, kSave };

// One showing of a file dialog.
struct FileRequest {
  FileDialogMode mode = FileDialogMode::kOpen;
  std::string title;
  std::string filter;         // "description|pattern|description|pattern|", patterns separated by ";"
  std::string fileName;       // the proposed name
  std::string initialFolder;  // empty: the folder of the dialog's last choice, else the platform's choice
  int flags = 0;              // cdl::...; kOverwritePrompt: the dialog asks before an existing file is chosen

  bool operator==(const FileRequest&) const = default;
};

// A long piece of work in progress. Step is called after every unit of work
// and is cheap; it returns false once the user has asked to stop.
class Progress {
 public:
  virtual ~Progress() = default;
  virtual bool Step(std::size_t done, std::size_t total) = 0;
};

enum class ProgressKind { kPcx, kPng };

struct ProgressRequest {
  ProgressKind kind = ProgressKind::kPcx;
  std::string caption;  // what the work is, in the window's words
  std::size_t total = 0;
  bool cancellable = false;  // whether the window offers a way to stop
};

// The About box's texts.
struct AboutTexts {
  std::string caption;      // the window's title
  std::string productName;  // lblAppName
  std::string version;      // lblVer
  std::string notice;       // Label2
};

class Desk {
 public:
  virtual ~Desk() = default;

  // A message box; a box with OK alone answers kOk.
  virtual Answer Ask(const Lines& message, MsgStyle style) = 0;
  // The chosen full path, nothing when the user cancelled.
  virtual std::optional<std::string> ChooseFile(const FileRequest& request) = 0;
  // The output folder chooser, opened at `start` when one is given: the chosen
  // folder, always ending with one separator; nothing after Cancel.
  virtual std::optional<std::string> ChooseFolder(const std::optional<std::string>& start) = 0;
  // Progress of the work described; destroyed when the work ends.
  virtual std::unique_ptr<Progress> ShowProgress(const ProgressRequest& request) = 0;
  // The hourglass while a command reads or writes files.
  virtual void SetBusy(bool busy) = 0;

  // The archive's file name label (lblSffName).
  virtual void ShowSffName(const std::string& name) = 0;
  // The archive's rows in the list and the image count label (lblImage);
  // null with empty texts when none is open. The archive lives until the next
  // ShowArchive.
  virtual void ShowArchive(const sff::Archive* archive, const std::string& imageCount) = 0;
  // Makes display row `row` the list's current row.
  virtual void SelectRow(std::size_t row) = 0;

  // Draws the sprite viewer from its state: its window shows while the state
  // is open and is hidden when it is not.
  virtual void ShowViewer(const ViewerState& viewer) = 0;

  virtual void ShowAbout(const AboutTexts& texts) = 0;
  // Ends the program at once, without asking any window.
  virtual void EndProgram() = 0;
};

// The busy pointer for the life of the guard, whichever way a command leaves.
class BusyGuard {
 public:
  explicit BusyGuard(Desk& desk) : desk_(desk) { desk_.SetBusy(true); }
  ~BusyGuard() { desk_.SetBusy(false); }
  BusyGuard(const BusyGuard&) = delete;
  BusyGuard& operator=(const BusyGuard&) = delete;

 private:
  Desk& desk_;
};

}  // namespace pelvaro::commands
