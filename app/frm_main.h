#pragma once

// The main window: the sprite list, the archive name and image count, and the
// buttons of the five commands (Open SFF, Save All PCX, Make Text, About,
// Exit). It is a view over the commands (commands/main_commands.h): a click
// goes to them, and they draw through the window's Desk
// (app/frm_main_desk.cpp). A double-click or Enter on a row, or the list's
// context menu, opens the sprite viewer, which follows the list's current row
// (app/frm_main_viewer.cpp).

#include "app/sprite_table_model.h"
#include "commands/desk.h"
#include "commands/main_commands.h"
#include "sff/archive.h"
#include "ui/common_dialog.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QMenu;
class QPushButton;
class QTreeView;

namespace pelvaro::ui {
class BusyPointer;
class frmPath;
}

namespace pelvaro::app {

class SpriteViewer;

class frmMain final : public QWidget, private commands::Desk {
 public:
  frmMain();
  ~frmMain() override;

  // What Open SFF does once a file is chosen. Opening from the command line
  // or by a drop goes the same way.
  void OpenSff(const std::string& path) { commands_.OpenSff(path); }

  // The archive on show; null when none is.
  const sff::Archive* archive() const { return commands_.archive(); }

 protected:
  // One local .sff file dragged onto the window opens through OpenSff; any
  // other drag (a folder, several files, another kind of file, a remote
  // address) is not taken, so nothing happens and nothing is asked
  // (app/frm_main_drop.cpp).
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  // Enter on the list opens the sprite viewer.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void BuildList();
  void BuildViewerHooks();

  void ShowListMenu(const QPoint& at);
  std::optional<std::size_t> CurrentRow() const;

  // The Desk: what the commands ask of this window (app/frm_main_desk.cpp).
  commands::Answer Ask(const commands::Lines& message, commands::MsgStyle style) override;
  std::optional<std::string> ChooseFile(const commands::FileRequest& request) override;
  std::optional<std::string> ChooseFolder(const std::optional<std::string>& start) override;
  std::unique_ptr<commands::Progress> ShowProgress(const commands::ProgressRequest& request) override;
  void SetBusy(bool busy) override;
  void ShowSffName(const std::string& name) override;
  void ShowArchive(const sff::Archive* archive, const std::string& imageCount) override;
  void SelectRow(std::size_t row) override;
  void ShowViewer(const commands::ViewerState& viewer) override;
  void ShowAbout(const commands::AboutTexts& texts) override;
  void EndProgram() override;

  QPushButton* cmdSffOpen;
  QLabel* lblSffName;
  QTreeView* lstFiles;
  QPushButton* cmdPCX;
  QPushButton* cmdText;
  QPushButton* cmdAbout;
  QPushButton* cmdEnd;
  QLabel* lblImage;
  QLabel* Label4;
  QMenu* mnuList;

  ui::CommonDialog cdl1;
  SpriteTableModel model_;
  std::unique_ptr<ui::frmPath> frmPath_;
  SpriteViewer* viewer_ = nullptr;  // a window of its own, owned as a child
  std::unique_ptr<ui::BusyPointer> busy_;
  int busyDepth_ = 0;

  commands::MainCommands commands_;  // last: it may speak to the window as soon as it exists
};

}  // namespace pelvaro::app
