#include "app/sprite_table_model.h"

namespace pelvaro::app {

SpriteTableModel::SpriteTableModel(const sff::SpriteTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table) {}

int SpriteTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : table_.Count(); }

int SpriteTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : sff::SpriteTable::kColumnCount;
}

QVariant SpriteTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= table_.Count() || index.column() >= sff::SpriteTable::kColumnCount)
    return {};
  if (role == Qt::DisplayRole) {
    const std::string_view text = table_.Text(index.row() + 1, index.column());
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  }
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
  return {};
}

QVariant SpriteTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= sff::SpriteTable::kColumnCount) return {};
  if (role == Qt::DisplayRole)
    return QString::fromUtf8(sff::SpriteTable::Captions()[static_cast<std::size_t>(section)]);
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
  return {};
}

void SpriteTableModel::BeginReset() {
  if (resetting_) return;
  resetting_ = true;
  beginResetModel();
}

void SpriteTableModel::EndReset() {
  if (!resetting_) return;
  resetting_ = false;
  endResetModel();
}

}  // namespace pelvaro::app
