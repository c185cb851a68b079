#include "app/browser_panel.h"

#include "commands/browser_texts.h"
#include "commands/row_filter.h"

#include <QAction>
#include <QGuiApplication>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QTextCharFormat>
#include <QTreeView>
#include <QVBoxLayout>

namespace pelvaro::app {
namespace {

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

QTreeView* MakeList(QWidget* parent, const char* name) {
  auto* list = new QTreeView(parent);
  list->setObjectName(QString::fromUtf8(name));
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->setAllColumnsShowFocus(true);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->header()->setStretchLastSection(true);
  list->header()->setSectionsClickable(false);
  return list;
}

}  // namespace

BrowserPanel::BrowserPanel(QWidget* parent, commands::MainCommands& commands)
    : QWidget(parent), groups_(this), items_(this), commands_(commands) {
  BuildControls();
}

void BrowserPanel::BuildControls() {
  txtFilter = new QLineEdit(this);
  txtFilter->setObjectName(QStringLiteral("txtFilter"));
  txtFilter->setPlaceholderText(Text(commands::FilterPlaceholder()));
  txtFilter->setToolTip(QString::fromUtf8(commands::kFilterTip));
  txtFilter->setClearButtonEnabled(true);
  lblCount = new QLabel(this);
  lblCount->setObjectName(QStringLiteral("lblCount"));
  txtGoTo = new QLineEdit(this);
  txtGoTo->setObjectName(QStringLiteral("txtGoTo"));
  txtGoTo->setPlaceholderText(QString::fromUtf8(commands::kGoToPlaceholder));
  txtGoTo->setToolTip(QString::fromUtf8(commands::kGoToTip));

  lstGroups = MakeList(this, "lstGroups");
  lstGroups->setModel(&groups_);
  lstGroups->setSelectionMode(QAbstractItemView::SingleSelection);
  lstItems = MakeList(this, "lstItems");
  lstItems->setModel(&items_);
  lstItems->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lstItems->setSelectionBehavior(QAbstractItemView::SelectRows);
  lstItems->setIconSize(QSize(24, 24));
  lstThumbs = new QListView(this);
  lstThumbs->setObjectName(QStringLiteral("lstThumbs"));
  lstThumbs->setModel(&items_);
  lstThumbs->setViewMode(QListView::IconMode);
  lstThumbs->setFlow(QListView::LeftToRight);
  lstThumbs->setWrapping(true);
  lstThumbs->setResizeMode(QListView::Adjust);
  lstThumbs->setMovement(QListView::Static);
  lstThumbs->setUniformItemSizes(true);
  lstThumbs->setIconSize(QSize(GroupRowsModel::kThumbnailSize, GroupRowsModel::kThumbnailSize));
  lstThumbs->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lstThumbs->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // One selection for the list and the thumbnails.
  selection_ = lstItems->selectionModel();
  lstThumbs->setSelectionModel(selection_);

  cmdExport = new QPushButton(QString::fromUtf8(commands::kExportCaption), this);
  cmdExport->setObjectName(QStringLiteral("cmdExport"));
  BuildExportMenu();

  auto* filterRow = new QHBoxLayout;
  filterRow->addWidget(txtFilter, 1);
  filterRow->addWidget(lblCount);
  auto* bottomRow = new QHBoxLayout;
  bottomRow->addWidget(txtGoTo, 1);
  bottomRow->addWidget(cmdExport);
  auto* lists = new QSplitter(Qt::Vertical, this);
  lists->setObjectName(QStringLiteral("splLists"));
  auto* upper = new QSplitter(Qt::Horizontal, lists);
  upper->addWidget(lstGroups);
  upper->addWidget(lstItems);
  upper->setStretchFactor(1, 2);
  upper->setSizes({130, 260});
  lstGroups->header()->setMinimumSectionSize(24);
  lstGroups->header()->resizeSection(0, 56);
  lstGroups->header()->resizeSection(1, 40);
  lists->addWidget(upper);
  lists->addWidget(lstThumbs);
  auto* all = new QVBoxLayout(this);
  all->setContentsMargins(0, 0, 0, 0);
  all->addLayout(filterRow);
  all->addWidget(lists, 1);
  all->addLayout(bottomRow);

  connect(txtFilter, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (!drawing_) commands_.SetFilter(text.toStdString());
  });
  connect(txtGoTo, &QLineEdit::returnPressed, this, [this] {
    if (commands_.GoTo(txtGoTo->text().trimmed().toStdString())) txtGoTo->clear();
  });
  connect(lstGroups->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            if (!drawing_ && current.isValid()) commands_.ChooseGroup(static_cast<std::size_t>(current.row()));
          });
  connect(selection_, &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& current) {
    if (!drawing_ && current.isValid()) commands_.ShowRow(items_.RowAt(current.row()));
  });
  connect(selection_, &QItemSelectionModel::selectionChanged, this, [this] { ForwardSelection(); });
  // Plain steps go through the filtered rows of every group, as in the window;
  // with Shift or Ctrl they extend the selection in the list.
  lstItems->installEventFilter(this);
}

void BrowserPanel::BuildExportMenu() {
  mnuExport = new QMenu(this);
  mnuExport->setObjectName(QStringLiteral("mnuExport"));
  for (const commands::ExportEntry& e : commands::kExportEntries) {
    if (e.scope == commands::BrowserScope::kAll) mnuExport->addSeparator();
    QAction* action = mnuExport->addAction(QString::fromUtf8(e.caption));
    action->setObjectName(QString::fromUtf8(e.name));
    connect(action, &QAction::triggered, this, [this, e] { commands_.ExportFromBrowser(e.scope, e.format); });
  }
  cmdExport->setMenu(mnuExport);
}

void BrowserPanel::Draw(const commands::ViewerState& viewer) {
  const commands::BrowserState& browser = viewer.browser();
  drawing_ = true;
  const bool newRows = drawnArchive_ != browser.archive() || drawnFilter_ != browser.filterText();
  if (txtFilter->text().toStdString() != browser.filterText()) txtFilter->setText(Text(browser.filterText()));
  if (newRows) {
    groups_.Reload(&browser);
    MarkUnreadableTerms(browser.filter());
  }
  if (newRows || drawnGroup_ != browser.chosenGroup()) {
    items_.Reload(&browser);
    const auto group = browser.chosenGroupIndex();
    lstGroups->selectionModel()->setCurrentIndex(group ? groups_.index(static_cast<int>(*group), 0) : QModelIndex(),
                                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
  drawnArchive_ = browser.archive();
  drawnFilter_ = browser.filterText();
  drawnGroup_ = browser.chosenGroup();
  lblCount->setText(Text(browser.CountText()));
  if (const auto row = viewer.row()) {
    if (const auto at = items_.IndexOf(*row); at && selection_->currentIndex().row() != *at) {
      const QModelIndex index = items_.index(*at, 0);
      selection_->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
      lstItems->scrollTo(index);
      lstThumbs->scrollTo(index);
    }
  }
  drawing_ = false;
  ForwardSelection();
}

void BrowserPanel::ForwardSelection() {
  std::vector<std::size_t> rows;
  for (const QModelIndex& index : selection_->selectedRows()) rows.push_back(items_.RowAt(index.row()));
  commands_.SelectRows(std::move(rows));
}

// A QLineEdit draws formats only from an input method's attributes; the
// unreadable terms get a red wavy underline that way, and the tip names them.
void BrowserPanel::MarkUnreadableTerms(const commands::RowFilter& filter) {
  QList<QInputMethodEvent::Attribute> marks;
  QStringList terms;
  const std::string text = txtFilter->text().toStdString();
  const int cursor = txtFilter->cursorPosition();
  for (const commands::TextSpan& span : filter.unreadable) {
    const QString before = Text(text.substr(0, span.begin));
    const QString term = Text(text.substr(span.begin, span.end - span.begin));
    QTextCharFormat format;
    format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    format.setUnderlineColor(Qt::red);
    format.setForeground(Qt::red);
    marks.append({QInputMethodEvent::TextFormat, static_cast<int>(before.size()) - cursor,
                  static_cast<int>(term.size()), format});
    terms << term;
  }
  QInputMethodEvent event(QString(), marks);
  QCoreApplication::sendEvent(txtFilter, &event);
  txtFilter->setProperty("unreadableTerms", terms);
  lblCount->setToolTip(terms.isEmpty() ? QString() : QStringLiteral("読み取れない条件: ") + terms.join(QLatin1Char(' ')));
}

std::ptrdiff_t BrowserPanel::PageRows() const {
  const int rowHeight = std::max(1, lstItems->sizeHintForRow(0));
  return std::max<std::ptrdiff_t>(1, lstItems->viewport()->height() / rowHeight - 1);
}

void BrowserPanel::FocusFilter() {
  txtFilter->setFocus(Qt::ShortcutFocusReason);
  txtFilter->selectAll();
}

void BrowserPanel::FocusGoTo() {
  txtGoTo->setFocus(Qt::ShortcutFocusReason);
  txtGoTo->selectAll();
}

bool BrowserPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lstItems && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)) == 0) {
      constexpr std::ptrdiff_t kFar = PTRDIFF_MAX / 2;
      switch (key->key()) {
        case Qt::Key_Up: commands_.StepRow(-1); return true;
        case Qt::Key_Down: commands_.StepRow(1); return true;
        case Qt::Key_PageUp: commands_.StepRow(-PageRows()); return true;
        case Qt::Key_PageDown: commands_.StepRow(PageRows()); return true;
        case Qt::Key_Home: commands_.StepRow(-kFar); return true;
        case Qt::Key_End: commands_.StepRow(kFar); return true;
        default: break;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace pelvaro::app
