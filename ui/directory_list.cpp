#include "ui/directory_list.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStyle>
#include <QStyledItemDelegate>

#include <algorithm>

namespace pelvaro::ui {
namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kDepthRole = Qt::UserRole + 1;
constexpr int kIndentPerLevel = 7;

// Shifts each entry right by its depth, so the chain of open folders reads as
// a path from the root down.
class IndentDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem shifted(option);
    shifted.rect.setLeft(option.rect.left() + kIndentPerLevel * index.data(kDepthRole).toInt());
    QStyledItemDelegate::paint(painter, shifted, index);
  }
};

// The existing folder nearest to `path` (itself, or the closest ancestor).
QString ExistingFolder(const QString& path) {
  QString p = path.isEmpty() ? QDir::rootPath() : QDir(QDir::fromNativeSeparators(path)).absolutePath();
  p = QDir::cleanPath(p);
  while (!QFileInfo(p).isDir()) {
    const QString parent = QFileInfo(p).path();
    if (parent == p) return QDir::rootPath();
    p = parent;
  }
  return p;
}

}  // namespace

DirectoryList::DirectoryList(QWidget* parent) : QListWidget(parent) {
  setItemDelegate(new IndentDelegate(this));
  setSelectionMode(QAbstractItemView::SingleSelection);
  setUniformItemSizes(true);
  connect(this, &QListWidget::currentRowChanged, this, [this](int) {
    if (!filling_) emit Click();
  });
  connect(this, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { SetPath(item->data(kPathRole).toString()); });
}

QString DirectoryList::List(int index) const {
  const QListWidgetItem* entry = item(index);
  return entry ? entry->data(kPathRole).toString() : QString();
}

void DirectoryList::SetPath(const QString& path) {
  const QString folder = ExistingFolder(path);
  const QString previous = path_;
  Fill(folder);
  // Opening a nearer folder than the one asked for is a change too, so that
  // whoever follows the list learns where it really stands.
  const bool elsewhere = !path.isEmpty() && QDir::cleanPath(QDir(QDir::fromNativeSeparators(path)).absolutePath()) != folder;
  if (path_ != previous || elsewhere) emit Change();
}

void DirectoryList::Fill(const QString& folder) {
  filling_ = true;
  clear();
  QStringList chain{folder};
  for (QDir up(folder); up.cdUp();) chain.prepend(up.absolutePath());

  const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
  auto add = [this](const QIcon& icon, const QString& qtPath, const QString& name, int depth) {
    auto* entry = new QListWidgetItem(icon, name, this);
    entry->setData(kPathRole, QDir::toNativeSeparators(qtPath));
    entry->setData(kDepthRole, depth);
    entry->setToolTip(QDir::toNativeSeparators(qtPath));
  };
  for (int depth = 0; depth < chain.size(); ++depth) {
    const QString& p = chain[depth];
    const QString name = depth == 0 ? QDir::toNativeSeparators(p) : QFileInfo(p).fileName();
    add(open, p, name, depth);
  }
  const int openRow = static_cast<int>(chain.size()) - 1;
  const QFileInfoList subfolders =
      QDir(folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
  for (const QFileInfo& sub : subfolders) add(closed, sub.absoluteFilePath(), sub.fileName(), openRow + 1);

  path_ = QDir::toNativeSeparators(folder);
  setCurrentRow(openRow);
  // The parent at the top: the way up and the subfolders both in view.
  scrollToItem(item(std::max(0, openRow - 1)), QAbstractItemView::PositionAtTop);
  filling_ = false;
}

}  // namespace pelvaro::ui
