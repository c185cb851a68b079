#include "app/palette_grid.h"

#include <QMouseEvent>
#include <QPainter>

namespace pelvaro::app {

PaletteGrid::PaletteGrid(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setFixedSize(sizeHint());
}

QSize PaletteGrid::sizeHint() const { return QSize(kColumns * kCell + 1, kColumns * kCell + 1); }

void PaletteGrid::SetColours(const Palette* palette) {
  if (palette) {
    colours_ = *palette;
  } else {
    colours_.reset();
  }
  update();
}

void PaletteGrid::SetMarked(std::optional<int> index) {
  if (marked_ == index) return;
  marked_ = index;
  update();
}

QRect PaletteGrid::CellRect(int index) {
  return QRect((index % kColumns) * kCell, (index / kColumns) * kCell, kCell + 1, kCell + 1);
}

void PaletteGrid::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  painter.setPen(palette().color(QPalette::Mid));
  for (int i = 0; i < kColumns * kColumns; ++i) {
    const QRect cell = CellRect(i);
    if (colours_) {
      const auto at = static_cast<std::size_t>(i) * 3;
      painter.setBrush(QColor((*colours_)[at], (*colours_)[at + 1], (*colours_)[at + 2]));
    } else {
      painter.setBrush(Qt::NoBrush);
    }
    painter.drawRect(cell.adjusted(0, 0, -1, -1));
  }
  if (colours_ && marked_) {
    // Black inside white, seen on any colour.
    const QRect cell = CellRect(*marked_).adjusted(0, 0, -1, -1);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(Qt::white);
    painter.drawRect(cell);
    painter.setPen(Qt::black);
    painter.drawRect(cell.adjusted(1, 1, -1, -1));
  }
}

void PaletteGrid::mouseMoveEvent(QMouseEvent* event) {
  if (!onHover) return;
  const QPoint at = event->position().toPoint();
  const int column = at.x() / kCell;
  const int row = at.y() / kCell;
  if (!colours_ || at.x() < 0 || at.y() < 0 || column >= kColumns || row >= kColumns) {
    onHover(std::nullopt);
  } else {
    onHover(row * kColumns + column);
  }
}

void PaletteGrid::leaveEvent(QEvent*) {
  if (onHover) onHover(std::nullopt);
}

}  // namespace pelvaro::app
