#pragma once

// The browser's lists as Qt models over the browser's state: the groups the
// filter keeps, and the rows of the chosen group with their thumbnails. Each
// cell is worked out when a view asks for it; a thumbnail is decoded when it
// first comes into view, and every thumbnail of a group shares one frame, so
// the sprites stand aligned on their axes.

#include "commands/browser_state.h"
#include "commands/thumbnail_frame.h"

#include <QAbstractTableModel>
#include <QPixmap>

#include <optional>
#include <vector>

namespace pelvaro::app {

class GroupListModel final : public QAbstractTableModel {
 public:
  explicit GroupListModel(QObject* parent) : QAbstractTableModel(parent) {}
  // Shows `browser`'s groups as they are now.
  void Reload(const commands::BrowserState* browser);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<commands::GroupEntry> groups_;
};

class GroupRowsModel final : public QAbstractTableModel {
 public:
  static constexpr int kThumbnailSize = 64;
  enum Column { kSortNo, kItemNo, kLink, kPcxName, kColumns };

  explicit GroupRowsModel(QObject* parent) : QAbstractTableModel(parent) {}
  // Shows the chosen group's rows of `browser` as they are now.
  void Reload(const commands::BrowserState* browser);
  // The display row shown at model row `index`.
  std::size_t RowAt(int index) const { return rows_[static_cast<std::size_t>(index)]; }
  // The model row that shows display row `row`, if any.
  std::optional<int> IndexOf(std::size_t row) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  QPixmap Thumbnail(int index) const;

  const sff::Archive* archive_ = nullptr;
  std::vector<std::size_t> rows_;
  commands::SceneRect frame_;
  mutable std::vector<std::optional<QPixmap>> thumbnails_;
};

}  // namespace pelvaro::app
