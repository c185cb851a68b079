// The way from the list to the sprite viewer: a double-click or Enter on a
// row, or the list's context menu, opens it on that row; from then on it shows
// the list's current row, however that row is chosen.

#include "app/frm_main.h"

#include <QKeyEvent>
#include <QMenu>
#include <QTreeView>

namespace pelvaro::app {

void frmMain::BuildViewerHooks() {
  mnuList = new QMenu(this);
  mnuList->setObjectName(QStringLiteral("mnuList"));
  QAction* show = mnuList->addAction(QStringLiteral("スプライトを表示(&V)"));
  show->setObjectName(QStringLiteral("mnuShowSprite"));
  connect(show, &QAction::triggered, this, [this] { commands_.OpenViewer(CurrentRow()); });

  lstFiles->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(lstFiles, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) { ShowListMenu(at); });
  // Not `activated`: on a desktop set to open items with one click, that
  // would open the viewer on every click into the list.
  connect(lstFiles, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
    if (index.isValid()) commands_.OpenViewer(CurrentRow());
  });
  lstFiles->installEventFilter(this);
  connect(lstFiles->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this] { commands_.FollowRow(CurrentRow()); });
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lstFiles && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
      commands_.OpenViewer(CurrentRow());
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void frmMain::ShowListMenu(const QPoint& at) {
  const QModelIndex index = lstFiles->indexAt(at);
  if (!index.isValid()) return;
  lstFiles->setCurrentIndex(index);
  mnuList->popup(lstFiles->viewport()->mapToGlobal(at));
}

std::optional<std::size_t> frmMain::CurrentRow() const {
  const QModelIndex current = lstFiles->currentIndex();
  if (!current.isValid() || !archive()) return std::nullopt;
  return static_cast<std::size_t>(current.row());
}

}  // namespace pelvaro::app
