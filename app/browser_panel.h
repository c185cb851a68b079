#pragma once

// The browser's side of the viewer window: the filter field with its count,
// the go-to field, the groups the filter keeps, the chosen group's rows as a
// list and as thumbnails (one selection for both), and the exports of what is
// selected, filtered or grouped. It draws the browser's state and forwards
// every change to the commands.

#include "app/browser_models.h"
#include "commands/main_commands.h"

#include <QWidget>

class QItemSelectionModel;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QPushButton;
class QTreeView;

namespace pelvaro::app {

class BrowserPanel final : public QWidget {
  Q_OBJECT

 public:
  BrowserPanel(QWidget* parent, commands::MainCommands& commands);

  void Draw(const commands::ViewerState& viewer);
  void FocusFilter();
  void FocusGoTo();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void BuildExportMenu();
  void MarkUnreadableTerms(const commands::RowFilter& filter);
  void ForwardSelection();
  // Rows one page of the item list holds.
  std::ptrdiff_t PageRows() const;

  QLineEdit* txtFilter;
  QLabel* lblCount;
  QLineEdit* txtGoTo;
  QTreeView* lstGroups;
  QTreeView* lstItems;
  QListView* lstThumbs;
  QPushButton* cmdExport;
  QMenu* mnuExport;

  GroupListModel groups_;
  GroupRowsModel items_;
  QItemSelectionModel* selection_;
  commands::MainCommands& commands_;
  bool drawing_ = false;  // changes made by Draw are not the user's
  const sff::Archive* drawnArchive_ = nullptr;
  std::optional<std::uint16_t> drawnGroup_;
  std::string drawnFilter_;
};

}  // namespace pelvaro::app
