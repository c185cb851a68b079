#include "app/sprite_canvas.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace pelvaro::app {
namespace {

// Two squares of each shade, one tile of the checkerboard.
const QBrush& CheckerBrush() {
  static const QBrush brush = [] {
    constexpr int size = SpriteCanvas::kCheckerSize;
    QImage tile(2 * size, 2 * size, QImage::Format_RGB32);
    for (int y = 0; y < tile.height(); ++y)
      for (int x = 0; x < tile.width(); ++x)
        tile.setPixel(x, y, (x / size + y / size) % 2 ? SpriteCanvas::kCheckerDark : SpriteCanvas::kCheckerLight);
    return QBrush(tile);
  }();
  return brush;
}

}  // namespace

QImage ToQImage(const image::IndexedImage& sprite, bool zeroTransparent) {
  QImage image(sprite.width, sprite.height, QImage::Format_Indexed8);
  if (image.isNull()) return image;  // no memory for it: nothing is shown, nothing copied
  QList<QRgb> colours(256);
  for (int i = 0; i < 256; ++i) {
    const auto at = static_cast<std::size_t>(i) * 3;
    colours[i] = qRgba(sprite.palette[at], sprite.palette[at + 1], sprite.palette[at + 2],
                       i == 0 && zeroTransparent ? 0 : 255);
  }
  image.setColorTable(colours);
  const auto width = static_cast<std::size_t>(sprite.width);
  for (int y = 0; y < sprite.height; ++y)
    std::memcpy(image.scanLine(y), sprite.pixels.data() + static_cast<std::size_t>(y) * width, width);
  return image;
}

SpriteCanvas::SpriteCanvas(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  Relayout();
}

void SpriteCanvas::SetSprite(const image::IndexedImage* sprite, QPoint axis) {
  indexed_ = sprite ? ToQImage(*sprite, transparencyShown_) : QImage();
  axis_ = axis;
  Relayout();
}

void SpriteCanvas::SetZoom(int zoom) {
  zoom_ = std::clamp(zoom, 1, kMaxZoom);
  Relayout();
}

void SpriteCanvas::SetTransparencyShown(bool shown) {
  transparencyShown_ = shown;
  // Colour 0 keeps its red, green and blue either way.
  if (!indexed_.isNull()) {
    const QRgb colour = indexed_.color(0);
    indexed_.setColor(0, shown ? colour & 0x00FFFFFFu : colour | 0xFF000000u);
  }
  update();
}

void SpriteCanvas::SetAxisShown(bool shown) {
  axisShown_ = shown;
  update();
}

QRect SpriteCanvas::Scene() const {
  if (indexed_.isNull()) return QRect(0, 0, 0, 0);
  const commands::SceneRect scene = commands::SpriteScene(indexed_.width(), indexed_.height(), axis_.x(), axis_.y());
  return QRect(scene.x, scene.y, scene.width, scene.height);
}

void SpriteCanvas::SetRoom(QSize room) {
  room_ = room;
  Relayout();
}

QSize SpriteCanvas::ContentSize() const { return Scene().size() * zoom_ + QSize(2 * kMargin, 2 * kMargin); }

QPoint SpriteCanvas::PictureOrigin() const {
  const QSize spare = size() - ContentSize();
  return QPoint(spare.width() / 2 + kMargin, spare.height() / 2 + kMargin) - Scene().topLeft() * zoom_;
}

void SpriteCanvas::Relayout() {
  resize(ContentSize().expandedTo(room_));
  update();
}

void SpriteCanvas::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect exposed = event->rect();
  painter.fillRect(exposed, QColor::fromRgb(kBackground));
  if (indexed_.isNull()) return;

  const QPoint origin = PictureOrigin();
  const QRect picture(origin, indexed_.size() * zoom_);
  const QRect drawn = picture & exposed;
  if (!drawn.isEmpty()) {
    if (transparencyShown_) {
      // The squares start at the picture's corner, wherever the exposed part begins.
      painter.setBrushOrigin(origin);
      painter.fillRect(drawn, CheckerBrush());
    }
    // Only the sprite pixels under the exposed part, each drawn as a square
    // of zoom x zoom screen pixels (no smoothing).
    const QRect source(QPoint((drawn.left() - origin.x()) / zoom_, (drawn.top() - origin.y()) / zoom_),
                       QPoint((drawn.right() - origin.x()) / zoom_, (drawn.bottom() - origin.y()) / zoom_));
    const QRect target(origin + source.topLeft() * zoom_, source.size() * zoom_);
    painter.drawImage(target, indexed_.copy(source));
  }

  if (axisShown_) {
    const int x = origin.x() + axis_.x() * zoom_ + zoom_ / 2;
    const int y = origin.y() + axis_.y() * zoom_ + zoom_ / 2;
    // Black under white dashes: seen on any colour.
    for (const Qt::PenStyle style : {Qt::SolidLine, Qt::DashLine}) {
      painter.setPen(QPen(style == Qt::SolidLine ? Qt::black : Qt::white, 1, style));
      painter.drawLine(x, 0, x, height() - 1);
      painter.drawLine(0, y, width() - 1, y);
    }
  }
}

void SpriteCanvas::mouseMoveEvent(QMouseEvent* event) {
  if (!onHover) return;
  if (indexed_.isNull()) {
    onHover(std::nullopt);
    return;
  }
  const QPoint offset = event->position().toPoint() - PictureOrigin();
  // Rounded towards minus infinity: the pixel left of or above the picture is -1, not 0.
  const auto floorDiv = [](int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
  const QPoint pixel(floorDiv(offset.x(), zoom_), floorDiv(offset.y(), zoom_));
  if (QRect(QPoint(0, 0), indexed_.size()).contains(pixel)) {
    onHover(pixel);
  } else {
    onHover(std::nullopt);
  }
}

void SpriteCanvas::leaveEvent(QEvent*) {
  if (onHover) onHover(std::nullopt);
}

}  // namespace pelvaro::app
