#pragma once

// The sprite's 256 colours as a 16 x 16 grid, index 0 at the top left and
// counting along the rows. The colour under the pointer is told through
// onHover; one index can be marked (the colour of the pixel under the pointer
// in the picture).

#include "base/palette.h"
#include "image/indexed_image.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace pelvaro::app {

class PaletteGrid final : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kColumns = 16;
  static constexpr int kCell = 12;  // screen pixels a side, the line between cells included

  explicit PaletteGrid(QWidget* parent);

  // The colours shown (null: none, the grid stays empty).
  void SetColours(const Palette* palette);
  void SetMarked(std::optional<int> index);
  // The cell of `index`, in the grid's coordinates.
  static QRect CellRect(int index);

  std::function<void(std::optional<int>)> onHover;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  std::optional<Palette> colours_;
  std::optional<int> marked_;
};

}  // namespace pelvaro::app
