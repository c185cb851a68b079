#pragma once

// The main window: the sprite list, the archive name and image count, and the
// five commands (Open SFF, Save All PCX, Make Text, About, Exit). It owns the
// archive it loaded until the next load. A double-click or Enter on a row, or
// the list's context menu, opens the sprite viewer, which follows the list's
// current row (app/frm_main_viewer.cpp).

#include "app/sprite_table_model.h"
#include "sff/archive.h"
#include "ui/common_dialog.h"
#include "ui/message_box.h"

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
class frmPath;
}

namespace pelvaro::app {

class SpriteViewer;

class frmMain final : public QWidget {
 public:
  frmMain();
  ~frmMain() override;

  // What Open SFF does once a file is chosen: the archive's name in the
  // label, the load under the busy pointer, the palette question and any
  // refusal. Opening from the command line or by a drop goes the same way.
  void OpenSff(const std::string& path);

  // The archive on show; null when none is.
  const sff::Archive* archive() const { return archive_ ? &*archive_ : nullptr; }

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

  // The sprite viewer on the list's current row, made on first use.
  void OpenViewer();
  void ShowListMenu(const QPoint& at);
  // The viewer, when it is showing, shows the list's current row.
  void FollowCurrentRow();
  // A new archive (or none): a showing viewer starts again at its first row.
  void FollowLoad();
  void StepList(int delta);
  std::optional<std::size_t> CurrentRow() const;

  void cmdSffOpen_Click();
  void cmdPCX_Click();
  void cmdText_Click();
  void cmdAbout_Click();
  void cmdEnd_Click();

  // Shows the archive, or with none empties the list and both labels.
  void Show(std::optional<sff::Archive> loaded);
  ui::Answer MsgBox(const std::vector<std::string>& lines, ui::MsgStyle style);
  // Runs the part of a command after its dialog; a failure nobody expected
  // (memory running out, say) is told with the stop icon instead of ending
  // the program.
  void RunReported(const std::function<void()>& work, const std::function<void()>& onFailure = {});

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
  // The folder of the last confirmed Save All PCX, with its closing separator;
  // empty until then. Make Text starts its dialog there.
  std::string OutputFolder;

  std::optional<sff::Archive> archive_;
  SpriteTableModel model_;
  std::unique_ptr<ui::frmPath> frmPath_;
  SpriteViewer* viewer_ = nullptr;  // a window of its own, owned as a child
};

}  // namespace pelvaro::app
