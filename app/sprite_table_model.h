#pragma once

// The sprite list's rows as Qt sees them: a read-only view over the core's
// sprite table, which stays the one owner of the texts. Rows are read in the
// table's display order when the list paints them; nothing is copied.

#include "sff/sprite_table.h"

#include <QAbstractTableModel>

namespace pelvaro::app {

class SpriteTableModel final : public QAbstractTableModel {
 public:
  explicit SpriteTableModel(const sff::SpriteTable& table, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  // Around every change of the table's rows. A reset that an exception cut
  // short is ended by the next EndReset; a second BeginReset does not nest.
  void BeginReset();
  void EndReset();

 private:
  const sff::SpriteTable& table_;
  bool resetting_ = false;
};

}  // namespace pelvaro::app
