#pragma once

// The sprite list's rows as Qt sees them: a read-only view over an archive.
// A cell's text is worked out when the list asks for it, so only the rows on
// screen are ever formatted.

#include "sff/archive.h"

#include <QAbstractTableModel>

namespace pelvaro::app {

class SpriteTableModel final : public QAbstractTableModel {
 public:
  explicit SpriteTableModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

  // The archive shown from now on (null: none); it must outlive the showing.
  void SetArchive(const sff::Archive* archive);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 private:
  const sff::Archive* archive_ = nullptr;
};

}  // namespace pelvaro::app
