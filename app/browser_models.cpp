#include "app/browser_models.h"

#include "app/sprite_canvas.h"
#include "commands/browser_texts.h"
#include "commands/row_filter.h"
#include "export/png_export.h"
#include "sff/sprite_rows.h"

#include <QIcon>
#include <QPainter>

namespace pelvaro::app {
namespace {

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

}  // namespace

void GroupListModel::Reload(const commands::BrowserState* browser) {
  beginResetModel();
  groups_ = browser ? browser->groups() : std::vector<commands::GroupEntry>{};
  endResetModel();
}

int GroupListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(groups_.size());
}

int GroupListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QVariant GroupListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || static_cast<std::size_t>(index.row()) >= groups_.size()) return {};
  const commands::GroupEntry& g = groups_[static_cast<std::size_t>(index.row())];
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  if (role != Qt::DisplayRole) return {};
  switch (index.column()) {
    case 0: return QString::number(g.group);
    case 1: return QString::number(g.count);
    default: return QString::number(g.linked);
  }
}

QVariant GroupListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  const auto& captions = commands::kGroupColumnCaptions;
  return section >= 0 && section < int(captions.size()) ? QString::fromUtf8(captions[std::size_t(section)]) : QVariant();
}

void GroupRowsModel::Reload(const commands::BrowserState* browser) {
  beginResetModel();
  archive_ = browser ? browser->archive() : nullptr;
  rows_ = browser && archive_ ? browser->groupRows() : std::vector<std::size_t>{};
  std::vector<commands::SpriteBox> boxes;
  boxes.reserve(rows_.size());
  for (const std::size_t row : rows_)
    if (const auto box = commands::BoxOfRow(*archive_, row)) boxes.push_back(*box);
  frame_ = commands::AxisFrame(boxes);
  thumbnails_.assign(rows_.size(), std::nullopt);
  endResetModel();
}

std::optional<int> GroupRowsModel::IndexOf(std::size_t row) const {
  const auto at = std::lower_bound(rows_.begin(), rows_.end(), row);
  if (at == rows_.end() || *at != row) return std::nullopt;
  return static_cast<int>(at - rows_.begin());
}

int GroupRowsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int GroupRowsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant GroupRowsModel::data(const QModelIndex& index, int role) const {
  if (!archive_ || !index.isValid() || static_cast<std::size_t>(index.row()) >= rows_.size()) return {};
  const std::size_t row = rows_[static_cast<std::size_t>(index.row())];
  // An icon, not a pixmap: a view draws an icon at its own icon size (small in
  // the item list, full in the thumbnail grid), a pixmap always at its own.
  if (role == Qt::DecorationRole && index.column() == kSortNo) return QIcon(Thumbnail(index.row()));
  if (role == Qt::ToolTipRole) return Text(sff::CellText(*archive_, row, sff::Column::kPcxName));
  if (role != Qt::DisplayRole) return {};
  switch (index.column()) {
    case kSortNo: return Text(sff::CellText(*archive_, row, sff::Column::kSortNo));
    case kItemNo: return Text(sff::CellText(*archive_, row, sff::Column::kItemNo));
    case kLink: return commands::IsLinkedRow(*archive_, row) ? QString::fromUtf8(commands::kLinkedMark) : QString();
    default: return Text(sff::CellText(*archive_, row, sff::Column::kPcxName));
  }
}

QVariant GroupRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  const auto& captions = commands::kGroupRowColumnCaptions;
  return section >= 0 && section < kColumns ? QString::fromUtf8(captions[std::size_t(section)]) : QVariant();
}

QPixmap GroupRowsModel::Thumbnail(int index) const {
  std::optional<QPixmap>& cached = thumbnails_[static_cast<std::size_t>(index)];
  if (cached) return *cached;
  QPixmap cell(kThumbnailSize, kThumbnailSize);
  cell.fill(QColor::fromRgb(SpriteCanvas::kBackground));
  const std::size_t row = rows_[static_cast<std::size_t>(index)];
  const auto box = commands::BoxOfRow(*archive_, row);
  const auto decoded = exporter::DecodeSprite(*archive_, archive_->RecordOfRow(row));
  QPainter painter(&cell);
  if (box && decoded) {
    const commands::ThumbnailPlace place = commands::PlaceInCell(*box, frame_, kThumbnailSize);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, place.scale < 1);
    painter.drawImage(QRectF(place.x, place.y, decoded->width * place.scale, decoded->height * place.scale),
                      ToQImage(*decoded, true));
  } else {
    // A row with no picture: a cross in place of one.
    painter.setPen(QColor(160, 40, 40));
    painter.drawLine(8, 8, kThumbnailSize - 8, kThumbnailSize - 8);
    painter.drawLine(kThumbnailSize - 8, 8, 8, kThumbnailSize - 8);
  }
  painter.end();
  cached = cell;
  return cell;
}

}  // namespace pelvaro::app
