#include "app/sprite_table_model.h"

#include "sff/sprite_rows.h"

namespace pelvaro::app {
namespace {

QVariant LeftAligned() { return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter)); }

}  // namespace

void SpriteTableModel::SetArchive(const sff::Archive* archive) {
  beginResetModel();
  archive_ = archive;
  endResetModel();
}

int SpriteTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() || !archive_ ? 0 : static_cast<int>(archive_->RowCount());
}

int SpriteTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : sff::kColumnCount; }

QVariant SpriteTableModel::data(const QModelIndex& index, int role) const {
  if (!archive_ || !index.isValid() || index.row() >= rowCount() || index.column() >= sff::kColumnCount) return {};
  if (role == Qt::DisplayRole) {
    const std::string text =
        sff::CellText(*archive_, static_cast<std::size_t>(index.row()), static_cast<sff::Column>(index.column()));
    return QString::fromStdString(text);
  }
  if (role == Qt::TextAlignmentRole) return LeftAligned();
  return {};
}

QVariant SpriteTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= sff::kColumnCount) return {};
  if (role == Qt::DisplayRole) return QString::fromUtf8(sff::kColumnCaptions[static_cast<std::size_t>(section)]);
  if (role == Qt::TextAlignmentRole) return LeftAligned();
  return {};
}

}  // namespace pelvaro::app
